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
// Scale lines every tenth of the travel; the ends, quarters and middle drawn longer.
constexpr int kScaleDivisions = 8;

int Level(double twips) { return std::min(100, static_cast<int>(std::nearbyint(twips / kTwipsPerLevel))); }
}  // namespace

MiniCrossfader::MiniCrossfader(QWidget* parent) : QWidget(parent), knob_(BuiltInFaderKnob()) {
  setFixedSize(sizeHint());
  setMouseTracking(true);
  // Children of the control, so that a test or the window can find them by name.
  timer1_.setParent(this);
  timer2_.setParent(this);
  timer1_.setObjectName(QStringLiteral("Timer1"));
  timer2_.setObjectName(QStringLiteral("Timer2"));
  timer1_.setInterval(kTickMs);
  timer2_.setInterval(kTickMs);
  connect(&timer1_, &QTimer::timeout, this, &MiniCrossfader::TickLeft);
  connect(&timer2_, &QTimer::timeout, this, &MiniCrossfader::TickRight);
}

QSize MiniCrossfader::sizeHint() const { return TwipsToPixels(QSize(kWidthTwips, kHeightTwips)); }

void MiniCrossfader::AutoFadeLeft() {
  speed_ = std::max(speed_, kMinSpeed);
  timer2_.stop();
  timer1_.start();
}

void MiniCrossfader::AutoFadeRight() {
  speed_ = std::max(speed_, kMinSpeed);
  timer1_.stop();
  timer2_.start();
}

void MiniCrossfader::StopIt() {
  timer1_.stop();
  timer2_.stop();
}

void MiniCrossfader::Reset() {
  position_ = kMiddle;
  leftLevel_ = 100;
  rightLevel_ = 100;
  update();
  Q_EMIT Scroll();
}

void MiniCrossfader::ToolTipChange(const QString& text) { setToolTip(text); }

void MiniCrossfader::GetPic(int x, int y) {
  background_.Take(WindowPicture(window()));
  background_.offset = QPoint(-x, -y);
  update();
}

void MiniCrossfader::SetCap(const QString& fileName) {
  LoadCap(fileName, BuiltInFaderKnob(), knob_);
  update();
}

void MiniCrossfader::ShowLines(bool show) {
  linesVisible_ = show;
  update();
}

void MiniCrossfader::Recompute() {
  rightLevel_ = Level(position_);
  leftLevel_ = Level(kMaxPosition - position_);
  update();
  Q_EMIT Scroll();
}

void MiniCrossfader::TickLeft() {
  if (position_ - speed_ <= 0) {
    position_ = 0;
    timer1_.stop();
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
    timer2_.stop();
    bool toLeft = false;
    Q_EMIT Maxed(toLeft);
  } else {
    position_ += speed_;
  }
  Recompute();
}

MiniCrossfader::Part MiniCrossfader::PartAt(const QPointF& twips) const {
  if (!knob_.isNull()) {
    const QSizeF size = knob_.deviceIndependentSize() * kTwipsPerPixel;
    if (QRectF(QPointF(position_, kKnobTop), size).contains(twips)) return Part::Knob;
  }
  return Part::Track;
}

MiniCrossfader::Part MiniCrossfader::Receiver(const QPointF& twips) const {
  return pressed_ != Part::None ? pressed_ : PartAt(twips);
}

void MiniCrossfader::mousePressEvent(QMouseEvent* event) {
  const QPointF pos = EventTwips(event);
  pressed_ = Receiver(pos);
  if (pressed_ == Part::Track) {
    StopIt();
  } else if (IsDragState(ButtonState(event->buttons()))) {
    StopIt();
    grabX_ = static_cast<int>(std::nearbyint(pos.x() - position_));
  }
}

void MiniCrossfader::mouseDoubleClickEvent(QMouseEvent* event) {
  mousePressEvent(event);
  if (pressed_ == Part::Track) Reset();
}

void MiniCrossfader::mouseMoveEvent(QMouseEvent* event) {
  const QPointF pos = EventTwips(event);
  const Part part = Receiver(pos);
  Q_EMIT MouseOver();
  if (part != Part::Knob || !IsDragState(ButtonState(event->buttons()))) return;
  const double knobY = pos.y() - kKnobTop;
  if (knobY <= kDragMinY || knobY >= kDragMaxY) return;
  // The pointer's X inside the knob, less the grab offset, plus the position: the pointer's X less the offset.
  const double p = pos.x() - grabX_;
  if (p > kCatchLow && p < kCatchHigh) {
    position_ = kMiddle;
  } else {
    position_ = std::clamp(p, 0.0, kMaxPosition);
  }
  Recompute();
}

void MiniCrossfader::mouseReleaseEvent(QMouseEvent* event) {
  if (event->buttons() == Qt::NoButton) pressed_ = Part::None;
  if (event->button() == Qt::RightButton) Q_EMIT RightClick();
}

void MiniCrossfader::PaintTrack(QPainter& painter) const {
  const int knobWidthPx = knob_.isNull() ? 41 : static_cast<int>(knob_.deviceIndependentSize().width());
  const int knobHeightPx = knob_.isNull() ? 23 : static_cast<int>(knob_.deviceIndependentSize().height());
  const int knobTopPx = TwipsToPixels(kKnobTop);
  const int midY = knobTopPx + knobHeightPx / 2;
  const int leftX = knobWidthPx / 2;
  const int rightX = TwipsToPixels(kMaxPosition) + knobWidthPx / 2;
  skin::PaintGroove(painter, QRect(QPoint(leftX - 2, midY - 1), QPoint(rightX + 2, midY + 2)));
  if (!linesVisible_) return;
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

void MiniCrossfader::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  background_.Paint(painter, rect());
  PaintTrack(painter);
  if (!knob_.isNull()) painter.drawPixmap(TwipsToPixels(QPointF(position_, kKnobTop)), knob_);
}

}  // namespace marvane
