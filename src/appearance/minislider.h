#pragma once
// MiniSlider: the console's vertical volume fader. Its value runs from 0 (knob at the bottom) to 100 (knob at
// the top). The knob is a picture (the built-in cap, or a Face's "slider" image) that runs in a track; a copy
// of the main window's picture can be drawn behind everything so that a Face shows through the control.
//
// Geometry is in twips (15 per logical pixel): the control is always 615 x 1500; the knob's Top runs from 0 to
// 1065 with Top = whole part of (100 - Value) x 10.65, and Value = 100 - Top / 10.65 rounded (halves to even).
//
// Mouse rules, button states as 1 left, 2 right, 4 middle, summed:
// - a press on the track with the left button alone centres the knob on the pointer (Top = Y - 230) and sets
//   Value; dragging with the left button (or left and right) keeps doing so while the pointer's X stays within
//   -2500..2860 twips of the track's left edge;
// - a press on the knob (state 1 or 3) remembers where in the knob it was taken; dragging moves the knob by the
//   pointer's movement, with the same X allowance measured from the knob's left edge.
// - A release of any button over the track raises RightClick (right button only) and then MouseUp; over the knob
//   the right button raises RightClick only and the left button MouseUp only.
// Mouse events go to the part that was pressed (track or knob) until every button is up (KnobControl).
//
// UI thread only.

#include "appearance/pictureknobcontrol.h"

namespace marvane {

class MiniSlider : public PictureKnobControl {
  Q_OBJECT

 public:
  static constexpr int kWidthTwips = 615;
  static constexpr int kHeightTwips = 1500;
  static constexpr int kMaxKnobTop = 1065;
  // The knob's left edge; it does not move sideways.
  static constexpr int kKnobLeft = 150;
  // A click on the track puts the knob's Top this far above the pointer, about half the built-in knob's height.
  static constexpr int kTrackClickOffset = 230;

  // A new slider shows the built-in knob at the bottom, Value 0.
  explicit MiniSlider(QWidget* parent = nullptr);

  // 0..100, 100 at the top.
  int Value() const { return value_; }

  // Only for 0 <= value <= 100: places the knob, sets Value and raises Scroll (even when Value is unchanged).
  // Any other value changes nothing and raises nothing.
  void SetValue(int value);
  // What a user's drag that ends at value (0..100) does: SetValue (Scroll), then MouseUp as the button is let go.
  void Slide(int value);
  // Takes the main window's current picture (see SetWindowPicture) as the background copy, shown only when
  // that picture is not empty.
  void GetPic();
  // Shifts the background copy to (-x, -y): x and y are the slider's position on the main window in twips.
  // A knob without a picture gets the built-in one.
  void MovePic(int x, int y);
  // Inherited: ToolTipChange(text), SetCap(fileName), ShowLines(show).

  // The knob's Top in twips, 0..1065.
  int KnobTop() const { return knobTop_; }

 Q_SIGNALS:
  // Value has been set, by SetValue, a click on the track or a drag.
  void Scroll(int value);
  // The pointer moved over the control.
  void MouseOver();
  // A button was released over the track, or the left button over the knob.
  void MouseUp();
  // The right button was released over the track or the knob.
  void RightClick();

 protected:
  QPointF KnobTopLeft() const override;
  void PaintTrack(QPainter& painter) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // Puts the knob's Top at top held within 0..1065, recomputes Value and raises Scroll.
  void PlaceKnob(int top);

  int value_ = 0;
  int knobTop_ = kMaxKnobTop;
  int grabOffset_ = 0;
};

}  // namespace marvane
