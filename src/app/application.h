#pragma once
// The program's start and end. Main runs start-up in its fixed order: refuse a second copy, show the progress
// window, read the debug switch, load the main window disabled, offer the one-time upgrade import, read and
// apply every setting (GetDefaults), paint the colours, and finally show and enable the main window and start
// its timer. ExitProgram is the one way out: it asks for confirmation, stops everything, saves the window
// position and whether the microphone window was open, closes every window and ends the program.
//
// UI thread only.

#include "common/colorscheme.h"
#include "console/consolestate.h"

#include <QObject>
#include <QRandomGenerator>

#include <functional>
#include <memory>

namespace marvane {

class Dialogs;
class ErrorTrap;
class MainForm;
class ProgressWindow;
class SettingsStore;
class SingleInstance;

class Application : public QObject {
  Q_OBJECT

 public:
  static const QString kExitQuestion;

  Application(SettingsStore& settings, Dialogs& dialogs, QObject* parent = nullptr);
  ~Application() override;

  // Start-up. commandLine is the whole command line after the program's name. Returns false when another copy
  // already runs (it has been asked to show its main window and nothing was loaded here).
  bool Main(const QString& commandLine, SingleInstance& instance);

  // Ends the program after asking, when confirm is true. Returns false when the user declined; then nothing
  // has changed. Otherwise every window is closed and endProgram runs.
  bool ExitProgram(bool confirm);

  bool DebugMode() const { return debugMode_; }
  bool ClosingDown() const { return closingDown_; }

  // Window-open flags, each set while its window is loaded.
  bool EditorOpen = false;
  bool OptionsOpen = false;
  bool AboutOpen = false;
  bool ViewerOpen = false;
  bool MicWindowOpen = false;

  MainForm* Form() const { return form_.get(); }
  ProgressWindow* SP2() const { return sp2_.get(); }
  ConsoleState& State() { return state_; }
  const ColorScheme& Colors() const { return colors_; }
  SettingsStore& Settings() { return settings_; }
  QRandomGenerator& Random() { return random_; }

  // What ends the program; by default it leaves the event loop. Tests replace it.
  std::function<void()> endProgram;
  // Told of every progress stage: the Action caption and the Stat width in twips.
  std::function<void(const QString& action, int statWidth)> onProgress;

 private:
  void GetDefaults();
  void ApplyLineSettings(int n, ErrorTrap& trap);
  void PlaceMainWindow(ErrorTrap& trap);
  void Progress(const QString& action, int statWidth);
  void ProgressBar(int statWidth);
  void SetProgressVisible(bool visible);
  void ShowMainWindow();

  SettingsStore& settings_;
  Dialogs& dialogs_;
  std::unique_ptr<ProgressWindow> sp2_;
  std::unique_ptr<MainForm> form_;
  ConsoleState state_;
  ColorScheme colors_;
  QRandomGenerator random_;
  bool debugMode_ = false;
  bool closingDown_ = false;
};

}  // namespace marvane
