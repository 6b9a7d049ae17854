#include "common/clock.h"

#include <QTimer>

namespace marvane {

namespace {

class SystemTimer : public ClockTimer {
 public:
  explicit SystemTimer(QObject* parent) : ClockTimer(parent), timer_(new QTimer(this)) {
    connect(timer_, &QTimer::timeout, this, &ClockTimer::timeout);
  }

  void setInterval(int milliseconds) override { timer_->setInterval(milliseconds); }
  int interval() const override { return timer_->interval(); }
  void setSingleShot(bool singleShot) override { timer_->setSingleShot(singleShot); }
  bool isSingleShot() const override { return timer_->isSingleShot(); }
  void start() override { timer_->start(); }
  void stop() override { timer_->stop(); }
  bool isActive() const override { return timer_->isActive(); }
  int remainingTime() const override { return timer_->remainingTime(); }

 private:
  QTimer* timer_;
};

class RealClock : public Clock {
 public:
  QDateTime Now() const override { return QDateTime::currentDateTime(); }
  ClockTimer* CreateTimer(QObject* parent) override { return new SystemTimer(parent); }
};

}  // namespace

Clock& SystemClock() {
  static RealClock clock;
  return clock;
}

}  // namespace marvane
