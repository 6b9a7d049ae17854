#include "common/simulatedclock.h"

#include <algorithm>

namespace marvane {

class SimulatedClock::Timer : public ClockTimer {
 public:
  Timer(SimulatedClock& clock, QObject* parent) : ClockTimer(parent), clock_(clock) {
    clock_.timers_.push_back(this);
  }
  ~Timer() override { std::erase(clock_.timers_, this); }

  void setInterval(int milliseconds) override { interval_ = milliseconds; }
  int interval() const override { return interval_; }
  void setSingleShot(bool singleShot) override { singleShot_ = singleShot; }
  bool isSingleShot() const override { return singleShot_; }
  void start() override { Schedule(clock_.elapsedMs_ + std::max(interval_, 0)); }
  void stop() override { active_ = false; }
  bool isActive() const override { return active_; }
  int remainingTime() const override {
    return active_ ? static_cast<int>(std::max<std::int64_t>(dueMs_ - clock_.elapsedMs_, 0)) : -1;
  }

  void Schedule(std::int64_t dueMs) {
    active_ = true;
    dueMs_ = dueMs;
    order_ = clock_.nextOrder_++;
  }
  // The timer's moment has come: a single shot stops, a repeating timer is due again, then it fires.
  void Fire() {
    if (singleShot_) {
      active_ = false;
    } else {
      Schedule(clock_.elapsedMs_ + std::max(interval_, 1));
    }
    Q_EMIT timeout();
  }

  SimulatedClock& clock_;
  int interval_ = 0;
  bool singleShot_ = false;
  bool active_ = false;
  std::int64_t dueMs_ = 0;
  std::uint64_t order_ = 0;
};

SimulatedClock::SimulatedClock(QDateTime start) : start_(std::move(start)) {}

SimulatedClock::~SimulatedClock() = default;

ClockTimer* SimulatedClock::CreateTimer(QObject* parent) { return new Timer(*this, parent); }

SimulatedClock::Timer* SimulatedClock::NextDue(std::int64_t untilMs) const {
  Timer* next = nullptr;
  for (Timer* timer : timers_) {
    if (!timer->active_ || timer->dueMs_ > untilMs) continue;
    if (next == nullptr || timer->dueMs_ < next->dueMs_ ||
        (timer->dueMs_ == next->dueMs_ && timer->order_ < next->order_))
      next = timer;
  }
  return next;
}

void SimulatedClock::MoveTo(std::int64_t ms) {
  ms = std::max(ms, elapsedMs_);
  if (advancing) advancing(elapsedMs_, ms);
  elapsedMs_ = ms;
}

void SimulatedClock::Advance(std::int64_t milliseconds) {
  const std::int64_t target = elapsedMs_ + std::max<std::int64_t>(milliseconds, 0);
  while (Timer* timer = NextDue(target)) {
    MoveTo(timer->dueMs_);
    timer->Fire();
  }
  MoveTo(target);
}

}  // namespace marvane
