#pragma once
// Pan: the console's horizontal balance knob. Value runs from -3360 (full left) to 3360 (full right), 0 in the
// middle and at creation.
//
// Geometry is in twips (15 per logical pixel): the control is always 1065 x 255; the knob is 105 wide and its
// Left runs from 0 to 960, the centre being 480; Value = (Left - 480) x 7, held within -3360..3360.
//
// Mouse rules, button states as 1 left, 2 right, 4 middle, summed:
// - a press on the knob with state 1 or 3 remembers where in the knob it was taken; dragging moves the knob by
//   the pointer's movement while the pointer's Y stays within -2600..2900 twips of the knob. A knob dragged to
//   strictly between 420 and 540 snaps to the centre, and the ends hold it within 0..960. Every placement
//   raises Scroll.
// - a double click on the track puts the knob in the centre (Value 0) and raises Scroll.
// - MouseOver is raised for pointer movement over the knob only.
// Mouse events go to the part that was pressed (track or knob) until every button is up (KnobControl).
//
// UI thread only.

#include "appearance/knobcontrol.h"

namespace marvane {

class Pan : public KnobControl {
  Q_OBJECT

 public:
  static constexpr int kWidthTwips = 1065;
  static constexpr int kHeightTwips = 255;
  static constexpr int kKnobWidth = 105;
  static constexpr int kCentreLeft = 480;
  static constexpr int kMaxLeft = 960;
  static constexpr int kMaxValue = 3360;

  explicit Pan(QWidget* parent = nullptr);

  // -3360..3360, negative is left.
  int Value() const { return value_; }

  // With clear true the track is hidden and the control's background is transparent, so the window's picture
  // shows through; with false the track shows on the container's background colour.
  void MakeTrans(bool clear);
  // What a drag of the knob toward value does: the knob goes to Left = 480 + value / 7, snapping to the centre
  // and held at the ends as a dragged knob is, and Scroll is raised.
  void DragTo(int value);

  // The knob's Left in twips, 0..960.
  int KnobLeft() const { return knobLeft_; }
  bool IsTransparent() const { return transparent_; }
  // Inherited: ToolTipChange(text).

 Q_SIGNALS:
  // After every placement of the knob.
  void Scroll(int value);
  // The pointer moved over the knob.
  void MouseOver();

 protected:
  QRectF KnobRect() const override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // Places the knob for a dragged Left by the snapping rules, recomputes Value and raises Scroll.
  void PlaceKnob(int left);
  void PaintTrack(QPainter& painter) const;
  void PaintKnob(QPainter& painter) const;

  int value_ = 0;
  int knobLeft_ = kCentreLeft;
  int grabOffset_ = 0;
  bool transparent_ = false;
};

}  // namespace marvane
