#pragma once
// A clock whose time moves only when it is told to: Advance(ms) moves it forward and fires, on the way, every
// timer that falls due, in the order of their due times (timers due at the same moment in the order they were
// started), each at its own moment: while a timer's handler runs, Now() is the time it was due. A repeating timer
// is due again one interval after it fired (at least 1 ms, so that a 0 ms timer cannot hold time still).
//
// Before each timer fires, and before time moves on at the end of an Advance, `advancing(fromMs, toMs)` runs
// (milliseconds since the clock's start; toMs equals fromMs when the timer is due at the present moment): an
// offline render uses it to render exactly the sound of that stretch and to let what the engine finished in the
// meantime reach the console first (see audio/offlineclock.h), so the console's timers and the engine's output
// keep one time. Handlers may start and stop timers; they must not call
// Advance.
//
// UI thread only. The clock must outlive its timers.

#include "common/clock.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace marvane {

class SimulatedClock : public Clock {
 public:
  explicit SimulatedClock(QDateTime start);
  ~SimulatedClock() override;

  QDateTime Now() const override { return start_.addMSecs(elapsedMs_); }
  ClockTimer* CreateTimer(QObject* parent) override;

  // Milliseconds since the clock's start.
  std::int64_t ElapsedMs() const { return elapsedMs_; }
  // Moves time forward by `milliseconds`, firing the timers that fall due up to and including the new time.
  void Advance(std::int64_t milliseconds);

  std::function<void(std::int64_t fromMs, std::int64_t toMs)> advancing;

 private:
  class Timer;
  friend class Timer;

  void MoveTo(std::int64_t ms);
  Timer* NextDue(std::int64_t untilMs) const;

  const QDateTime start_;
  std::int64_t elapsedMs_ = 0;
  std::uint64_t nextOrder_ = 0;
  std::vector<Timer*> timers_;
};

}  // namespace marvane
