#pragma once
// MainForm: the console window. It holds, at fixed places laid out in twips, every control of the seven lines
// (line 0 AutoPilot, lines 1 to 6), the master strip (index 7 of the slider and mute arrays), the AutoPilot
// area, the button bar, the crossfader and the status line. Control arrays are indexed by line; each control
// carries its program name as objectName ("Slider_3", "Mute_7", "APlay").
//
// A line's loop switch and its three fade-mode switches are each a pair of stacked pictures, held together as an
// ImageSwitch. Every control carries an accessible name made of its line's caption and its part ("Line 3 Play",
// "AutoPilot Volume", "Master Mute"), so that assistive technology and scripts can find and work it.
//
// An index outside a control array gives nullptr, as a missing control does (PlayButt(0)).
//
// The window owns its right-click menu RCMenu; each menu item runs exactly what the matching button's click
// runs (the items are connected to the buttons' Click signals). Closing the window with its close box asks
// closeRequest (the application's exit routine) whether it may close.
//
// UI thread only.

#include "common/clock.h"
#include "common/colorscheme.h"
#include "common/states.h"

#include <QWidget>

#include <array>
#include <functional>

class QAction;
class QTimer;
class QFrame;
class QLabel;
class QMenu;
class QKeyEvent;

namespace marvane {

class Butt;
class ImageButton;
class ImageSwitch;
class MiniCrossfader;
class MiniSlider;
class Pan;

// One line's controls. Line 0 has no PlayButt and StopButt of its own; the master strip has only Slider, Mute and
// the clock as Colon.
struct LineWidgets {
  QLabel* LineLabel = nullptr;
  QLabel* TitleLabel = nullptr;
  ImageButton* OpenW = nullptr;
  ImageButton* PlayButt = nullptr;
  ImageButton* StopButt = nullptr;
  QLabel* Colon = nullptr;  // the time display
  MiniSlider* Slider = nullptr;
  marvane::Pan* Pan = nullptr;
  QLabel* Mute = nullptr;
  // The loop switch (LoopW unlit, LoopR lit) and the three fade-mode switches (FadeLeftW/FadeLeftR, OnW/OnG,
  // FadeRightW/FadeRightR): the pictures show the state that the line controls hold.
  ImageSwitch* Loop = nullptr;
  ImageSwitch* FadeLeft = nullptr;
  ImageSwitch* On = nullptr;
  ImageSwitch* FadeRight = nullptr;

  // The switch of a fade mode.
  ImageSwitch* Mode(FadeModeCode mode) const {
    return mode == kFadeLeft ? FadeLeft : mode == kFadeRight ? FadeRight : On;
  }
};

class MainForm : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kLineCount = 7;       // lines 0 to 6
  static constexpr int kMasterIndex = 7;     // slider and mute of the sound card's master volume
  static constexpr int kWidthTwips = 9120;
  static constexpr int kHeightTwips = 6960;
  static constexpr int kDividingLineCount = 10;

  // The window's timers (Timer1, the crossfader's) run on clock, which must outlive the window.
  explicit MainForm(Clock& clock = SystemClock(), QWidget* parent = nullptr);
  ~MainForm() override;

  // The controls of line n (0 AutoPilot, 1 to 6), or of the master strip (kMasterIndex: Slider, Mute, and Colon,
  // which is the clock). Outside 0..7 every pointer is null.
  const LineWidgets& Line(int n) const;

  // Crossfader and its auto-fade labels.
  marvane::MiniCrossfader* MiniCrossfader1() const { return crossfader_; }
  QLabel* LeftFade() const { return leftFade_; }
  QLabel* FadeRight() const { return fadeRight_; }

  // AutoPilot area.
  ImageButton* APlay() const { return aPlay_; }
  ImageButton* ANext() const { return aNext_; }
  ImageButton* AStop() const { return aStop_; }
  QLabel* CSLabel() const { return csLabel_; }
  QLabel* CurrentSong() const { return currentSong_; }
  QLabel* NSLabel() const { return nsLabel_; }
  QLabel* NextSong() const { return nextSong_; }
  QLabel* Fading() const { return fading_; }

  // Button bar.
  Butt* PList() const { return pList_; }
  Butt* StopAll() const { return stopAll_; }
  Butt* MicButt() const { return micButt_; }
  Butt* LogButt() const { return logButt_; }
  Butt* ShuffButt() const { return shuffButt_; }
  Butt* HelpButt() const { return helpButt_; }
  Butt* Options1() const { return options1_; }
  Butt* ExitButton() const { return exitButton_; }
  Butt* Butt1() const { return butt1_; }

  QLabel* Status() const { return status_; }
  // The dividing lines Line1 to Line10 (index 1 to 10).
  QFrame* DividingLine(int i) const { return i >= 1 && i <= kDividingLineCount ? dividers_[i - 1] : nullptr; }

  // The right-click menu and its items.
  QMenu* RCMenu() const { return rcMenu_; }
  QAction* mnuMic() const { return mnuMic_; }
  QAction* mnuHelp() const { return mnuHelp_; }
  QAction* mnuAbout() const { return mnuAbout_; }
  QAction* mnuOps() const { return mnuOps_; }
  QAction* mnuLog() const { return mnuLog_; }
  QAction* mnuPLst() const { return mnuPLst_; }
  // "Record Mix..." and "Stop Recording" (MixRecording acts on them).
  QAction* mnuRecord() const { return mnuRecord_; }
  QAction* mnuStopRecord() const { return mnuStopRecord_; }
  QAction* muExit() const { return muExit_; }
  // Opens RCMenu at a position on the screen (not modal: the menu closes on the next click elsewhere).
  void PopupRCMenu(const QPoint& globalPos);

  // The main timer (300 ms, or 1 ms in high-priority mode); disabled until start-up ends.
  ClockTimer* Timer1() const { return timer1_; }
  // The clock the console runs on: its timers and the time of day it reads.
  Clock& ConsoleClock() const { return clock_; }

  // Shows line n's fade mode (0 Left, 1 Always On, 2 Right): three of its six mode pictures are visible. The
  // mode itself is the line controls' (LineControls::FadeMode); the pictures only show it.
  void ShowFadeMode(int n, int mode);
  // Brings line n's lit (on) or unlit (off) loop picture to the front (the loop is LineControls::Looping).
  void ShowLoop(int n, bool on);
  // Shows or hides every dividing line, the sliders' and the crossfader's own lines included.
  void ApplyShowLines(bool show);
  // Lines the sliders' background copies up with the window's picture (each at its own place on the window).
  void AlignSliderBacks();

  // Paints the window with the colour scheme: captions in the text colour (the Fading label in the highlight
  // colour), time displays in the LED colour, dividing lines in the line colour. The application then lights the
  // buttons and lines whose window, mode or player is on.
  void ColorChange(const ColorScheme& colors);
  const ColorScheme& Colors() const { return colors_; }

  // Asked when the window is about to close through its close box; false keeps it open.
  std::function<bool()> closeRequest;

  // Whether files dragged over TitleLabel(index) may be dropped there (refused during the drag otherwise).
  std::function<bool(int index, const QStringList& files)> acceptsTitleDrop;

  // The program's key code of a key event (keypad digits 96..105, F1..F12 112..123, Space 32, digits 48..57,
  // letters 65..90), or 0 for a key the console does not know. The digits are the keys of the main keyboard's
  // digit row, known by their native scan code whatever the layout and the Shift state make them type (X key
  // codes 10 to 19, which Qt reports on X11 and, as the evdev code plus 8, on Wayland); an event without a scan
  // code (0, a synthetic one) is known by its key.
  static int KeyCodeOf(const QKeyEvent* event);

 Q_SIGNALS:
  // A key went down (auto-repeat included) or up. shift: 1 Shift, 2 Ctrl, 4 Alt, summed.
  void KeyDown(int keyCode, int shift);
  void KeyUp(int keyCode, int shift);
  // Local files were dropped on TitleLabel(index).
  void TitleDropped(int index, const QStringList& files);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // Draws the Face's background picture (see SetWindowPicture) over the background colour.
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildLines();
  void BuildMasterStrip();
  void BuildAutoPilotArea();
  void BuildCrossfader();
  void BuildButtonBar();
  void BuildStatusAndLines();
  void BuildMenu();
  bool IsBareBackground(const QPoint& pos) const;

  std::array<LineWidgets, kLineCount + 1> lines_{};
  std::array<QFrame*, kDividingLineCount> dividers_{};
  QLabel* masterLabel_ = nullptr;
  Clock& clock_;
  ClockTimer* timer1_ = nullptr;

  marvane::MiniCrossfader* crossfader_ = nullptr;
  QLabel* leftFade_ = nullptr;
  QLabel* fadeRight_ = nullptr;

  ImageButton* aPlay_ = nullptr;
  ImageButton* aNext_ = nullptr;
  ImageButton* aStop_ = nullptr;
  QLabel* csLabel_ = nullptr;
  QLabel* currentSong_ = nullptr;
  QLabel* nsLabel_ = nullptr;
  QLabel* nextSong_ = nullptr;
  QLabel* fading_ = nullptr;

  Butt* pList_ = nullptr;
  Butt* stopAll_ = nullptr;
  Butt* micButt_ = nullptr;
  Butt* logButt_ = nullptr;
  Butt* shuffButt_ = nullptr;
  Butt* helpButt_ = nullptr;
  Butt* options1_ = nullptr;
  Butt* exitButton_ = nullptr;
  Butt* butt1_ = nullptr;

  QLabel* status_ = nullptr;

  QMenu* rcMenu_ = nullptr;
  QAction* mnuMic_ = nullptr;
  QAction* mnuHelp_ = nullptr;
  QAction* mnuAbout_ = nullptr;
  QAction* mnuOps_ = nullptr;
  QAction* mnuLog_ = nullptr;
  QAction* mnuPLst_ = nullptr;
  QAction* mnuRecord_ = nullptr;
  QAction* mnuStopRecord_ = nullptr;
  QAction* muExit_ = nullptr;

  ColorScheme colors_;
};

}  // namespace marvane
