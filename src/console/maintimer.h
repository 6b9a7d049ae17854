#pragma once
// MainTimer: the console's heartbeat, run by the main window's Timer1 (300 ms, or 1 ms in high-priority mode;
// start-up sets the interval and starts the timer). On every tick it
//  - refreshes the time displays Colon(0) to Colon(6): remaining or elapsed time (RemainTime) of Player(n), or
//    of AP(CurrentAP) for line 0; an empty player shows "0:00";
//  - keeps each line's status text ("- 3:07 Remaining, 1:12 Elapsed.") as that display's tag, and, while the
//    pointer rests on a display and the status line still shows that display's text, gives the status line the
//    new text, so it follows the playing song;
//  - shows the date and time on the clock Colon(7), with the long date as its tool tip while tool tips are on
//    (while line 1's open button has its tool tip);
//  - while AutoPilotOn, runs the AutoPilot tick last.
// Only texts that differ are written, so an idle tick repaints nothing.
//
// The tick never lets pending window events run in its middle: it takes a few microseconds, so the window keeps
// painting without it, and no other handler can run half-way through a refresh.
//
// Mouse on the displays: a move over Colon(0..6) copies its tag into the status line, a move over the clock
// shows the long date there; a right-button release on any of them opens the right-click menu RCMenu.
//
// UI thread only.

#include <QDateTime>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <utility>

namespace marvane {

class AudioEngine;
class MainForm;
class MediaPlayer;
struct ConsoleState;

class MainTimer : public QObject {
  Q_OBJECT

 public:
  static constexpr int kLineCount = 7;
  static constexpr int kClockIndex = 7;

  using CurrentApFunction = std::function<int()>;
  using ClockFunction = std::function<QDateTime()>;

  // currentAP tells which AutoPilot player line 0 shows (0 or 1; AutoPilot owns the number); without one,
  // AP(0). clock gives the time the clock shows; without one, the main window's clock. Connects itself to
  // form.Timer1() and to the mouse events of the eight displays. form, engine and state must outlive it.
  MainTimer(MainForm& form, AudioEngine& engine, const ConsoleState& state, CurrentApFunction currentAP = {},
            ClockFunction clock = {}, QObject* parent = nullptr);

  // One tick of Timer1.
  void Tick();

  // The AutoPilot tick (stall watchdog, early open, hand-over), run at the end of a tick while AutoPilotOn.
  std::function<void()> autoPilotTick;

  // The status text of line n (0 to 6) as of the last tick; empty before the first.
  QString ColonTag(int n) const {
    Q_ASSERT(n >= 0 && n < kLineCount);
    return tag_[n];
  }

  // The displays' mouse handlers. index 0 to 7; button 1 left, 2 right, 4 middle.
  void ColonMouseMove(int index);
  void ColonMouseUp(int index, int button);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  MediaPlayer& LinePlayer(int n) const;
  void RefreshLine(int n);
  void RefreshClock();
  void ShowStatus(const QString& text);
  QDateTime Now() const;

  MainForm& form_;
  AudioEngine& engine_;
  const ConsoleState& state_;
  CurrentApFunction currentAP_;
  ClockFunction clock_;
  std::array<QString, kLineCount> tag_;
  QString longDate_;
  // The display the pointer rests on (0 to 7), or -1. The status line follows a display only while the pointer
  // is on it and nothing else has written the status line since.
  int hovered_ = -1;
};

}  // namespace marvane
