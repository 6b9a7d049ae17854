#pragma once
// The program's start and end. Main runs start-up in its fixed order: refuse a second copy, show the progress
// window, read the debug switch, load the main window disabled, offer the one-time upgrade import, read and
// apply every setting (GetDefaults), paint the colours, and finally show and enable the main window and start
// its timer. ExitProgram is the one way out: it asks for confirmation, stops everything, saves the window
// position and whether the microphone window was open, closes every window and ends the program.
//
// UI thread only.

#include "common/clock.h"
#include "common/colorscheme.h"
#include "console/consolestate.h"

#include <QObject>
#include <QPointer>
#include <QRandomGenerator>

#include <functional>
#include <memory>

namespace marvane {

class AboutWindow;
class AudioEngine;
class AudioOutput;
class AutoPilot;
class Console;
class MainTimer;
class ListTimeLeft;
class MixRecording;
class SongLevels;
class NextSongChooser;
class PlaylistFlow;
class SongLog;
class StatusHelp;
struct Playlist;
class Dialogs;
class ErrorTrap;
class MainForm;
class MasterStrip;
class MicWindow;
class Mixer;
class MixerBackend;
class ProgressWindow;
class SettingsStore;
class SingleInstance;
class HelpPage;
class ListEditor;
class View;
class FaceLoader;
class OptionsDialog;
struct OutputChoice;

// Where the program's sound goes, which sound-card mixer it sets and which clock it runs on: the real ones by
// default, others in tests, a soak test or an offline render.
struct Devices {
  // Opens the audio output a choice names (device, buffer size, rate); null with the reason in *error.
  std::function<std::unique_ptr<AudioOutput>(const OutputChoice& choice, QString* error)> output;
  // The output devices the Options dialog offers, the default device first.
  std::function<QStringList()> outputDevices;
  std::function<std::unique_ptr<MixerBackend>()> mixer;
  // The console's timers, the players' timers and the time of day (the song log's, the clock's). It must outlive
  // the Application.
  Clock* clock = &SystemClock();

  static Devices Real();
};

class Application : public QObject {
  Q_OBJECT

 public:
  static const QString kExitQuestion;

  Application(SettingsStore& settings, Dialogs& dialogs, Devices devices = Devices::Real(),
              QObject* parent = nullptr);
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
  bool AboutOpen() const;
  bool ViewerOpen() const;
  bool MicWindowOpen() const;

  MainForm* Form() const { return form_.get(); }
  ProgressWindow* SP2() const { return sp2_.get(); }
  ConsoleState& State() { return state_; }
  const ColorScheme& Colors() const { return colors_; }
  SettingsStore& Settings() { return settings_; }
  // The parts created by start-up (null before Main).
  AudioEngine* Engine() const { return engine_.get(); }
  Mixer* MixerAccess() const { return mixer_.get(); }
  MicWindow* Mic() const { return micWindow_.get(); }
  marvane::Console* ConsoleParts() const { return console_.get(); }
  marvane::AutoPilot* AutoPilotParts() const { return autoPilot_.get(); }
  marvane::Playlist& CurrentPlaylist() { return *playlist_; }
  PlaylistFlow* Playlists() const { return flow_.get(); }
  marvane::SongLog* Log() const { return songLog_.get(); }
  marvane::MainTimer* Timer() const { return mainTimer_.get(); }
  // "Record Mix..." and "Stop Recording".
  MixRecording* Recording() const { return recording_.get(); }
  // AutoPilot's even loudness: the songs' measured levels.
  SongLevels* Levels() const { return levels_.get(); }
  marvane::StatusHelp* Help() const { return statusHelp_.get(); }
  HelpPage* HelpFile() const { return helpPage_.get(); }
  // The log viewer, the Playlist Editor and the About window while they are loaded, else null.
  View* Viewer() const;
  ListEditor* Editor() const;
  AboutWindow* About() const;
  // The Face loader (null before Main) and the Options dialog while it is loaded, else null.
  FaceLoader* Faces() const { return faces_.get(); }
  OptionsDialog* Options() const;
  // Paints the main window and the microphone window with the colours, and lights the buttons whose window or
  // mode is on (PList, MicButt, LogButt, ShuffButt, Options1) and the captions of the lines that play.
  void ColorChange();
  // Opens the Options dialog, modal. From the main window (Options1, mnuOps) every tab is filled and usable;
  // from the log viewer (fillAll false) only the Logging tab is filled, usable and selected.
  void ShowOptions(bool fillAll);
  // The Options dialog's "Save Colors": asks, writes the colour scheme into the current Face and says where.
  void SaveColors();

  // What the command line opened: 0 nothing, 1 a sound file on line 1, 2 a playlist.
  int OpenedKind() const;
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

  void CreateParts();
  void ConnectParts();
  // LogButt's click (and mnuLog's): the button lights up and the log viewer is shown.
  void ShowLogViewer();
  // Creates the Options dialog (not shown) and fills it: all tabs, or only the Logging tab.
  void LoadOptions(bool fillAll);
  // Butt1's click (and mnuAbout's): the button lights up and the About window is shown, modal.
  void ShowAbout();
  // PList's click (and mnuPLst's): the button lights up and the Playlist Editor is shown, not modal.
  void ShowEditor();

  SettingsStore& settings_;
  Dialogs& dialogs_;
  Devices devices_;
  std::unique_ptr<ProgressWindow> sp2_;
  std::unique_ptr<MainForm> form_;
  std::unique_ptr<AudioEngine> engine_;
  std::unique_ptr<MixerBackend> mixerBackend_;
  std::unique_ptr<Mixer> mixer_;
  std::unique_ptr<MasterStrip> masterStrip_;
  std::unique_ptr<MicWindow> micWindow_;
  std::unique_ptr<marvane::Console> console_;
  std::unique_ptr<marvane::Playlist> playlist_;
  std::unique_ptr<marvane::SongLog> songLog_;
  std::unique_ptr<marvane::AutoPilot> autoPilot_;
  std::unique_ptr<PlaylistFlow> flow_;
  std::unique_ptr<marvane::MainTimer> mainTimer_;
  std::unique_ptr<MixRecording> recording_;
  std::unique_ptr<SongLevels> levels_;
  std::unique_ptr<ListTimeLeft> timeLeft_;
  std::unique_ptr<marvane::StatusHelp> statusHelp_;
  std::unique_ptr<HelpPage> helpPage_;
  std::unique_ptr<FaceLoader> faces_;
  QPointer<OptionsDialog> options_;
  QPointer<View> viewer_;
  QPointer<ListEditor> editor_;
  QPointer<AboutWindow> about_;
  ConsoleState state_;
  ColorScheme colors_;
  QRandomGenerator random_;
  bool debugMode_ = false;
  bool closingDown_ = false;
};

}  // namespace marvane
