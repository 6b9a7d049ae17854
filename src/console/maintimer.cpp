#include "console/maintimer.h"

#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "common/states.h"
#include "console/consolestate.h"
#include "console/imagebutton.h"
#include "console/mainform.h"
#include "console/mouseevents.h"
#include "console/timetext.h"

#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

#include <exception>

namespace marvane {

namespace {

// Writes a caption only when it changes, so that a tick with nothing new repaints nothing.
void SetCaption(QLabel* label, const QString& text) {
  if (label->text() != text) label->setText(text);
}

// Runs one step of a tick; a step that fails is skipped and the next one runs, so that no failure ever stops the
// clock and the time displays.
template <typename Step>
void RunStep(Step step) {
  try {
    step();
  } catch (const std::exception&) {
  }
}

}  // namespace

MainTimer::MainTimer(MainForm& form, AudioEngine& engine, const ConsoleState& state, CurrentApFunction currentAP,
                     ClockFunction clock, QObject* parent)
    : QObject(parent),
      form_(form),
      engine_(engine),
      state_(state),
      currentAP_(std::move(currentAP)),
      clock_(std::move(clock)) {
  connect(form_.Timer1(), &ClockTimer::timeout, this, &MainTimer::Tick);
  for (int i = 0; i <= kClockIndex; ++i) {
    QLabel* display = form_.Line(i).Colon;
    MouseEvents* events = MouseEvents::Attach(display);
    connect(events, &MouseEvents::MouseMove, this, [this, i] { ColonMouseMove(i); });
    connect(events, &MouseEvents::MouseUp, this,
            [this, i](int button, int, double, double) { ColonMouseUp(i, button); });
    display->installEventFilter(this);
  }
  form_.installEventFilter(this);
}

MediaPlayer& MainTimer::LinePlayer(int n) const {
  if (n != 0) return engine_.Player(n);
  const int current = currentAP_ ? currentAP_() : 0;
  return engine_.AP(current == 1 ? 1 : 0);
}

void MainTimer::Tick() {
  for (int n = 0; n < kLineCount; ++n) RunStep([this, n] { RefreshLine(n); });
  RunStep([this] { RefreshClock(); });
  if (state_.AutoPilotOn && autoPilotTick) RunStep(autoPilotTick);
}

void MainTimer::RefreshLine(int n) {
  const MediaPlayer& player = LinePlayer(n);
  const double position = player.CurrentPosition();
  const QString remaining = RemainingText(player.Duration(), position);
  const QString elapsed = ElapsedText(position);
  SetCaption(form_.Line(n).Colon, state_.RemainTime ? remaining : elapsed);

  const QString status = LineStatusText(remaining, elapsed);
  if (hovered_ == n && form_.Status()->text() == tag_[n]) ShowStatus(status);
  tag_[n] = status;
}

void MainTimer::RefreshClock() {
  const QDateTime now = Now();
  QLabel* clock = form_.Line(kClockIndex).Colon;
  const QString longDate = LongDate(now.date());
  // Tool tips are on while line 1's open button has one: ToolsOn and ToolsOff set them all at once.
  const bool toolTipsOn = !form_.Line(1).OpenW->toolTip().isEmpty();
  const QString tip = toolTipsOn ? longDate : QString();
  if (clock->toolTip() != tip) clock->setToolTip(tip);
  SetCaption(clock, ClockCaption(now));
  // Past midnight, a status line showing the old date follows the clock too.
  if (hovered_ == kClockIndex && form_.Status()->text() == longDate_) ShowStatus(longDate);
  longDate_ = longDate;
}

QDateTime MainTimer::Now() const { return clock_ ? clock_() : form_.ConsoleClock().Now(); }

void MainTimer::ShowStatus(const QString& text) { SetCaption(form_.Status(), text); }

void MainTimer::ColonMouseMove(int index) {
  if (index < 0 || index > kClockIndex) return;
  hovered_ = index;
  if (index == kClockIndex) {
    longDate_ = LongDate(Now().date());
    ShowStatus(longDate_);
  } else {
    ShowStatus(tag_[index]);
  }
}

void MainTimer::ColonMouseUp(int index, int button) {
  if (index < 0 || index > kClockIndex) return;
  if (button == kRightButton) form_.PopupRCMenu(QCursor::pos());
}

bool MainTimer::eventFilter(QObject* watched, QEvent* event) {
  // A display passes its moves on to the window, whose handler clears the status line for the bare background;
  // a move over a display has just shown that display's text, which must stand.
  if (watched == &form_ && event->type() == QEvent::MouseMove) {
    const QWidget* under = form_.childAt(static_cast<QMouseEvent*>(event)->position().toPoint());
    for (int i = 0; i <= kClockIndex; ++i) {
      if (under == form_.Line(i).Colon) return true;
    }
    return false;
  }
  // Leaving a display ends its hold on the status line, even when the pointer moves onto a control that writes
  // no status text of its own.
  if (event->type() == QEvent::Leave && hovered_ >= 0 && watched == form_.Line(hovered_).Colon) hovered_ = -1;
  return QObject::eventFilter(watched, event);
}

}  // namespace marvane
