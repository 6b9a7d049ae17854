#include "appearance/minicrossfader.h"

#include "appearance/twips.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace marvane {

namespace {
// Twips of knob travel per level step.
constexpr double kTwipsPerLevel = 11.4;
// A knob dragged strictly inside this band is caught by the middle.
constexpr double kCatchLow = 1080;
constexpr double kCatchHigh = 1200;
// The pointer may stray this far above and below a dragged knob (twips from the knob's top).
constexpr double kDragMinY = -2300;
constexpr double kDragMaxY = 2850;
// Scale lines every eighth of the travel; the ends and the middle drawn longer.
constexpr int kScaleDivisions = 8;

int Level(double twips) { return std::min(100, static_cast<int>(std::nearbyint(twips / kTwipsPerLevel))); }
}  // namespace

MiniCrossfader::MiniCrossfader(QWidget* parent) : MiniCrossfader(SystemClock(), parent) {}

MiniCrossfader::MiniCrossfader(Clock& clock, QWidget* parent)
    : PictureKnobControl(QSize(kWidthTwips, kHeightTwips), BuiltInFaderKnob(), parent),
      // Children of the control, so that a test or the window can find them by name.
      timer1_(clock.CreateTimer(this)),
      timer2_(clock.CreateTimer(this)) {
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer2_->setObjectName(QStringLiteral("Timer2"));
  timer1_->setInterval(kTickMs);
  timer2_->setInterval(kTickMs);
  connect(timer1_, &ClockTimer::timeout, this, &MiniCrossfader::TickLeft);
  connect(timer2_, &ClockTimer::timeout, this, &MiniCrossfader::TickRight);
}

void MiniCrossfader::AutoFadeLeft() {
  speed_ = std::max(speed_, kMinSpeed);
  timer2_->stop();
  timer1_->start();
}

void MiniCrossfader::AutoFadeRight() {
  speed_ = std::max(speed_, kMinSpeed);
  timer1_->stop();
  timer2_->start();
}

void MiniCrossfader::StopIt() {
  timer1_->stop();
  timer2_->stop();
}

void MiniCrossfader::Reset() {
  position_ = kMiddle;
  leftLevel_ = 100;
  rightLevel_ = 100;
  update();
  Q_EMIT Scroll();
}

void MiniCrossfader::GetPic(int x, int y) {
  TakeWindowPicture();
  SetBackgroundOffset(QPoint(-x, -y));
}

QPointF MiniCrossfader::KnobTopLeft() const { return {position_, double(kKnobTop)}; }

void MiniCrossfader::Recompute() {
  rightLevel_ = Level(position_);
  leftLevel_ = Level(kMaxPosition - position_);
  update();
  Q_EMIT Scroll();
}

void MiniCrossfader::TickLeft() {
  if (position_ - speed_ <= 0) {
    position_ = 0;
    timer1_->stop();
    bool toLeft = true;
    Q_EMIT Maxed(toLeft);
  } else {
    position_ -= speed_;
  }
  Recompute();
}

void MiniCrossfader::TickRight() {
  if (position_ + speed_ >= kMaxPosition) {
    position_ = kMaxPosition;
    timer2_->stop();
    bool toLeft = false;
    Q_EMIT Maxed(toLeft);
  } else {
    position_ += speed_;
  }
  Recompute();
}

void MiniCrossfader::mousePressEvent(QMouseEvent* event) {
  if (PressedPart(event) == Part::Track) {
    StopIt();
  } else if (IsDragMask(ButtonMask(event->buttons()))) {
    StopIt();
    grabX_ = static_cast<int>(std::nearbyint(EventTwips(event).x() - position_));
  }
}

void MiniCrossfader::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
  if (PressedPart(event) == Part::Track) Reset();
}

void MiniCrossfader::mouseMoveEvent(QMouseEvent* event) {
  const QPointF pos = EventTwips(event);
  const Part part = MovedPart(event);
  Q_EMIT MouseOver();
  if (part != Part::Knob || !IsDragMask(ButtonMask(event->buttons()))) return;
  const double knobY = pos.y() - kKnobTop;
  if (knobY <= kDragMinY || knobY >= kDragMaxY) return;
  // The pointer's X inside the knob, less the grab offset, plus the position: the pointer's X less the offset.
  PlaceDragged(pos.x() - grabX_);
}

void MiniCrossfader::PlaceDragged(double p) {
  if (p > kCatchLow && p < kCatchHigh) {
    position_ = kMiddle;
  } else {
    position_ = std::clamp(p, 0.0, kMaxPosition);
  }
  Recompute();
}

void MiniCrossfader::DragTo(double position) {
  StopIt();
  PlaceDragged(position);
}

void MiniCrossfader::mouseReleaseEvent(QMouseEvent* event) {
  ReleasedPart(event);
  if (event->button() == Qt::RightButton) Q_EMIT RightClick();
}

void MiniCrossfader::PaintTrack(QPainter& painter) const {
  const int knobWidthPx = KnobSizePixels().width();
  const int knobHeightPx = KnobSizePixels().height();
  const int knobTopPx = TwipsToPixels(kKnobTop);
  const int midY = knobTopPx + knobHeightPx / 2;
  const int leftX = knobWidthPx / 2;
  const int rightX = TwipsToPixels(kMaxPosition) + knobWidthPx / 2;
  skin::PaintGroove(painter, QRect(QPoint(leftX - 2, midY - 1), QPoint(rightX + 2, midY + 2)));
  if (!LinesVisible()) return;
  painter.save();
  const int aboveKnob = knobTopPx - 2;
  const int belowKnob = knobTopPx + knobHeightPx + 1;
  for (int i = 0; i <= kScaleDivisions; ++i) {
    const int x = leftX + (rightX - leftX) * i / kScaleDivisions;
    const bool middle = i == kScaleDivisions / 2;
    const bool major = middle || i == 0 || i == kScaleDivisions;
    const int reach = major ? 4 : 2;
    painter.setPen(middle ? skin::kCentreMark : skin::kScaleLine);
    painter.drawLine(QPoint(x, aboveKnob - reach + 1), QPoint(x, aboveKnob));
    painter.drawLine(QPoint(x, belowKnob), QPoint(x, belowKnob + reach - 1));
  }
  painter.restore();
}

}  // namespace marvane
