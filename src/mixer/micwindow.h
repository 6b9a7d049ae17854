#pragma once
// The microphone window as the main window sees it. MicButt's click and the menu entry mnuMic call
// ShowMicWindow; ColorChange calls Colors; start-up calls ShowAtStartup and shutdown writes ShowMic from
// MicWindowOpen and then calls CloseMicWindow. MicButt's colour follows MicButtColor.
//
// What outlives the window lives here: MicWindowOpen (from the window's load to its unload) and
// MicLevelValue (the slider value last set in this run, 0 at first, never saved and never read from the card).
// The window itself (MicLevel) is created when shown and deleted when closed.
//
// UI thread only.

#include <QObject>
#include <QPointer>

class QWidget;

namespace marvane {

class Dialogs;
class MicLevel;
class Mixer;
class SettingsStore;
struct ColorScheme;

class MicWindow : public QObject {
  Q_OBJECT

 public:
  // colors is the scheme the program keeps; it is read whenever the window paints its colours.
  MicWindow(Mixer& mixer, SettingsStore& settings, const ColorScheme& colors, Dialogs& dialogs,
            QObject* parent = nullptr);
  ~MicWindow() override;

  // In debug mode a refused opening is reported in a critical "MVN Error" box, as the button's other
  // failures are.
  void SetDebugMode(bool debugMode) { debugMode_ = debugMode; }

  // MicButt's click (and mnuMic): MicButt turns HiliteColor, then the window is loaded and shown, or only
  // raised when it is open already. Without a microphone control the window unloads during its load: no
  // window, MicButt gets TextColor back, and the centred position is stored as Mic Top and Mic Left; only in
  // debug mode is the refusal reported ("Object was unloaded", titled "MVN Error").
  void ShowMicWindow();
  // Unloads the window when it is open, as the user's close does: the position is stored, MicButt gets
  // TextColor back, MicWindowOpen is cleared.
  void CloseMicWindow();
  // Start-up: shows the window when ShowMic reads True and the microphone control was found.
  void ShowAtStartup();
  // The exit confirmation hides the window while it is up, and shows it again when the user stays.
  void HideForConfirmation();
  void ShowAfterConfirmation();
  // ColorChange: the window's colours again, when it is open.
  void Colors();

  bool MicWindowOpen() const { return window_ != nullptr; }
  int MicLevelValue() const { return micLevelValue_; }
  // The open window, or nullptr.
  MicLevel* Window() const { return window_; }

 Q_SIGNALS:
  // MicButt.ColChange: the colour the button's caption should show now.
  void MicButtColor(quint32 color);
  // MicWindowOpen changed.
  void MicWindowOpenChanged(bool open);

 private:
  void SliderChanged(int value);
  void Unloaded();

  Mixer& mixer_;
  SettingsStore& settings_;
  const ColorScheme& colors_;
  Dialogs& dialogs_;
  bool debugMode_ = false;
  QPointer<MicLevel> window_;
  int micLevelValue_ = 0;
};

}  // namespace marvane
