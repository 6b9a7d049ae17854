#include "appearance/pan.h"

#include "appearance/skinparts.h"
#include "appearance/twips.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace marvane {

namespace {
// Value steps per twip of knob travel.
constexpr int kValuePerTwip = 7;
// A knob dragged strictly inside this band is caught by the centre.
constexpr int kSnapLow = 420;
constexpr int kSnapHigh = 540;
// The pointer may stray this far above and below a dragged knob (twips from the knob's top).
constexpr int kDragMinY = -2600;
constexpr int kDragMaxY = 2900;
}  // namespace

Pan::Pan(QWidget* parent) : KnobControl(QSize(kWidthTwips, kHeightTwips), parent) {}

void Pan::MakeTrans(bool clear) {
  transparent_ = clear;
  update();
}

void Pan::DragTo(int value) {
  PlaceKnob(kCentreLeft + static_cast<int>(std::nearbyint(value / double(kValuePerTwip))));
}

QRectF Pan::KnobRect() const { return QRectF(knobLeft_, 0, kKnobWidth, kHeightTwips); }

void Pan::PlaceKnob(int left) {
  if (left > kSnapLow && left < kSnapHigh) {
    knobLeft_ = kCentreLeft;
  } else {
    knobLeft_ = std::clamp(left, 0, kMaxLeft);
  }
  value_ = std::clamp((knobLeft_ - kCentreLeft) * kValuePerTwip, -kMaxValue, kMaxValue);
  update();
  Q_EMIT Scroll(value_);
}

void Pan::mousePressEvent(QMouseEvent* event) {
  if (PressedPart(event) == Part::Knob && IsDragMask(ButtonMask(event->buttons()))) {
    grabOffset_ = EventTwips(event).x() - knobLeft_;
  }
}

void Pan::mouseDoubleClickEvent(QMouseEvent* event) {
  // On the knob the second press of a double click is a press; on the track it centres the knob.
  if (PressedPart(event) == Part::Knob) {
    mousePressEvent(event);
    return;
  }
  knobLeft_ = kCentreLeft;
  value_ = 0;
  update();
  Q_EMIT Scroll(value_);
}

void Pan::mouseMoveEvent(QMouseEvent* event) {
  if (MovedPart(event) != Part::Knob) return;
  const QPoint pos = EventTwips(event);
  Q_EMIT MouseOver();
  if (!IsDragMask(ButtonMask(event->buttons()))) return;
  if (pos.y() <= kDragMinY || pos.y() >= kDragMaxY) return;
  // The pointer's X inside the knob, less the grab offset, plus the knob's Left: the pointer's X less the offset.
  PlaceKnob(pos.x() - grabOffset_);
}

void Pan::mouseReleaseEvent(QMouseEvent* event) { ReleasedPart(event); }

void Pan::PaintTrack(QPainter& painter) const {
  const int knobHalf = TwipsToPixels(kKnobWidth) / 2;
  const int leftX = knobHalf;
  const int rightX = TwipsToPixels(kMaxLeft) + knobHalf;
  const int centreX = TwipsToPixels(kCentreLeft) + knobHalf;
  const int midY = height() / 2;
  skin::PaintGroove(painter, QRect(QPoint(leftX - 1, midY - 1), QPoint(rightX + 1, midY + 1)));
  painter.save();
  painter.setPen(skin::kScaleLine);
  for (const int x : {leftX, (leftX + centreX) / 2, (centreX + rightX) / 2, rightX}) {
    painter.drawLine(QPoint(x, 1), QPoint(x, 2));
    painter.drawLine(QPoint(x, height() - 3), QPoint(x, height() - 2));
  }
  painter.setPen(skin::kCentreMark);
  painter.drawLine(QPoint(centreX, 0), QPoint(centreX, 3));
  painter.drawLine(QPoint(centreX, height() - 4), QPoint(centreX, height() - 1));
  painter.restore();
}

// The knob is a small moulded cap with a red index line, drawn rather than loaded: Faces do not replace it.
void Pan::PaintKnob(QPainter& painter) const {
  const QRect cap(TwipsToPixels(knobLeft_), 2, TwipsToPixels(kKnobWidth), height() - 4);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  QLinearGradient body(cap.topLeft(), cap.bottomLeft());
  body.setColorAt(0.0, QColor(220, 220, 224));
  body.setColorAt(0.5, QColor(130, 130, 136));
  body.setColorAt(1.0, QColor(200, 200, 204));
  painter.setPen(QColor(14, 14, 16));
  painter.setBrush(body);
  painter.drawRoundedRect(QRectF(cap).adjusted(0.5, 0.5, -0.5, -0.5), 1.5, 1.5);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(skin::kCentreMark);
  const int x = cap.left() + cap.width() / 2;
  painter.drawLine(QPoint(x, cap.top() + 2), QPoint(x, cap.bottom() - 2));
  painter.restore();
}

void Pan::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!transparent_) {
    // Opaque means the container's own background colour, whatever it is at the moment.
    const QWidget* container = parentWidget();
    const QColor back = container != nullptr ? container->palette().color(container->backgroundRole())
                                             : palette().color(backgroundRole());
    painter.fillRect(rect(), back);
    PaintTrack(painter);
  }
  PaintKnob(painter);
}

}  // namespace marvane
