#pragma once
// The clock the console runs on: what time it is now, and timers that fire on that time. The program runs on the
// system clock (SystemClock): Now is the local date and time, and each timer is a QTimer, so the event loop fires
// it in real time. A soak test or an offline render runs the same objects on a SimulatedClock, whose time moves
// only when it is advanced, and which fires the timers that fall due on the way, in order.
//
// Everything whose behaviour depends on time takes its timers and its "now" from one Clock: the main window's
// Timer1, the song log's LogTimer, the crossfader's two auto-fade timers and the players' poll timers.
//
// Qt Core only, so that the audio engine can use it too (library marvane_clock). UI thread only.

#include <QDateTime>
#include <QObject>

namespace marvane {

// A timer on a Clock. It keeps QTimer's member names, as it stands in for one: an interval in milliseconds,
// single-shot or repeating, start (which restarts a running timer), stop, and the timeout signal.
class ClockTimer : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;

  virtual void setInterval(int milliseconds) = 0;
  virtual int interval() const = 0;
  virtual void setSingleShot(bool singleShot) = 0;
  virtual bool isSingleShot() const = 0;
  // Starts the timer, or starts it again from now when it runs: it first fires one interval from now.
  virtual void start() = 0;
  void start(int milliseconds) {
    setInterval(milliseconds);
    start();
  }
  virtual void stop() = 0;
  virtual bool isActive() const = 0;
  // Milliseconds until the timer fires; -1 when it is not running.
  virtual int remainingTime() const = 0;

 Q_SIGNALS:
  void timeout();
};

class Clock {
 public:
  virtual ~Clock() = default;
  // The local date and time.
  virtual QDateTime Now() const = 0;
  // A new timer on this clock, stopped, with interval 0 and repeating; owned by parent (Qt's ownership). The
  // clock must outlive its timers.
  virtual ClockTimer* CreateTimer(QObject* parent) = 0;
};

// The real clock: QDateTime::currentDateTime and QTimer.
Clock& SystemClock();

}  // namespace marvane
