#include "appearance/minislider.h"

#include "appearance/twips.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace marvane {

namespace {
// Twips of knob travel per step of Value.
constexpr double kTwipsPerStep = 10.65;
// The pointer may stray this far to the sides of a dragged knob or track (twips from its left edge).
constexpr int kDragMinX = -2500;
constexpr int kDragMaxX = 2860;
// Where the track's scale lines are drawn: every 10 steps of Value, the ends and the middle drawn longer.
constexpr int kScaleStep = 10;
// The built-in knob's red index line lies this many pixels below its top edge; the scale lines and the ends of
// the groove are drawn level with it.
constexpr int kKnobIndexRow = 14;

int TopForValue(int value) { return static_cast<int>(std::trunc((100 - value) * kTwipsPerStep)); }
}  // namespace

MiniSlider::MiniSlider(QWidget* parent)
    : PictureKnobControl(QSize(kWidthTwips, kHeightTwips), BuiltInSliderKnob(), parent) {}

void MiniSlider::SetValue(int value) {
  if (value < 0 || value > 100) return;
  knobTop_ = TopForValue(value);
  value_ = value;
  update();
  Q_EMIT Scroll(value_);
}

void MiniSlider::Slide(int value) {
  SetValue(value);
  Q_EMIT MouseUp();
}

void MiniSlider::GetPic() { TakeWindowPicture(); }

void MiniSlider::MovePic(int x, int y) {
  SetBackgroundOffset(QPoint(-x, -y));
  EnsureKnob();
}

QPointF MiniSlider::KnobTopLeft() const { return {kKnobLeft, double(knobTop_)}; }

void MiniSlider::PlaceKnob(int top) {
  knobTop_ = std::clamp(top, 0, kMaxKnobTop);
  value_ = static_cast<int>(std::nearbyint(100.0 - knobTop_ / kTwipsPerStep));
  update();
  Q_EMIT Scroll(value_);
}

void MiniSlider::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = EventTwips(event);
  const int state = ButtonMask(event->buttons());
  if (PressedPart(event) == Part::Knob) {
    if (IsDragMask(state)) grabOffset_ = pos.y() - knobTop_;
  } else if (state == kLeftButton) {
    PlaceKnob(pos.y() - kTrackClickOffset);
  }
}

// The second press of a double click acts as a press, so quick clicks on the track each move the knob.
void MiniSlider::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void MiniSlider::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = EventTwips(event);
  const Part part = MovedPart(event);
  Q_EMIT MouseOver();
  if (!IsDragMask(ButtonMask(event->buttons()))) return;
  const int partX = part == Part::Knob ? pos.x() - kKnobLeft : pos.x();
  if (partX <= kDragMinX || partX >= kDragMaxX) return;
  if (part == Part::Knob) {
    // The pointer's Y inside the knob, less the grab offset, plus the knob's Top: the pointer's Y less the offset.
    PlaceKnob(pos.y() - grabOffset_);
  } else {
    PlaceKnob(pos.y() - kTrackClickOffset);
  }
}

void MiniSlider::mouseReleaseEvent(QMouseEvent* event) {
  const Part part = ReleasedPart(event);
  const bool right = event->button() == Qt::RightButton;
  if (part == Part::Knob) {
    const int stateAtRelease = ButtonMask(event->buttons() | event->button());
    if (right) {
      Q_EMIT RightClick();
    } else if (event->button() == Qt::LeftButton && IsDragMask(stateAtRelease)) {
      Q_EMIT MouseUp();
    }
    return;
  }
  if (right) Q_EMIT RightClick();
  Q_EMIT MouseUp();
}

void MiniSlider::PaintTrack(QPainter& painter) const {
  // The groove runs between the knob's index line at the top and at the bottom of its travel.
  const int centreX = TwipsToPixels(kKnobLeft) + KnobSizePixels().width() / 2;
  const int topY = TwipsToPixels(0) + kKnobIndexRow;
  const int bottomY = TwipsToPixels(kMaxKnobTop) + kKnobIndexRow;
  skin::PaintGroove(painter, QRect(QPoint(centreX - 1, topY - 2), QPoint(centreX + 1, bottomY + 2)));
  if (!LinesVisible()) return;
  painter.save();
  for (int value = 0; value <= 100; value += kScaleStep) {
    const int y = TwipsToPixels(TopForValue(value)) + kKnobIndexRow;
    const int reach = value % 50 == 0 ? 7 : 4;
    painter.setPen(value == 100 ? skin::kCentreMark : skin::kScaleLine);
    painter.drawLine(QPoint(2, y), QPoint(2 + reach, y));
    painter.drawLine(QPoint(width() - 3 - reach, y), QPoint(width() - 3, y));
  }
  painter.restore();
}

}  // namespace marvane
