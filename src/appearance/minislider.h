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
// Mouse events go to the part that was pressed (track or knob) until every button is up.
//
// UI thread only.

#include "appearance/skinparts.h"

#include <QPixmap>
#include <QWidget>

namespace marvane {

class MiniSlider : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidthTwips = 615;
  static constexpr int kHeightTwips = 1500;
  static constexpr int kMaxKnobTop = 1065;
  // The knob's left edge; it does not move sideways.
  static constexpr int kKnobLeft = 150;
  // A click on the track puts the knob's Top this far above the pointer, about half the built-in knob's height.
  static constexpr int kTrackClickOffset = 230;

  explicit MiniSlider(QWidget* parent = nullptr);

  // 0..100, 100 at the top.
  int Value() const { return value_; }

  // Only for 0 <= value <= 100: places the knob, sets Value and raises Scroll (even when Value is unchanged).
  // Any other value changes nothing and raises nothing.
  void SetValue(int value);
  // The tool tip of the knob and the track.
  void ToolTipChange(const QString& text);
  // Takes the main window's current picture (see SetWindowPicture) as the background copy, shown only when
  // that picture is not empty.
  void GetPic();
  // Shifts the background copy to (-x, -y): x and y are the slider's position on the main window in twips.
  // A knob without a picture gets the built-in one.
  void MovePic(int x, int y);
  // Shows or hides the slider's scale lines.
  void ShowLines(bool show);
  // The knob picture from a file; an empty name or a missing file gives the built-in knob, a file that cannot
  // be read as a picture keeps the previous one.
  void SetCap(const QString& fileName);

  // The knob's Top in twips, 0..1065.
  int KnobTop() const { return knobTop_; }
  const QPixmap& KnobPicture() const { return knob_; }
  bool BackgroundCopyVisible() const { return background_.visible; }
  // The background copy's top-left corner in twips.
  QPoint BackgroundCopyPos() const { return background_.offset; }
  bool LinesVisible() const { return linesVisible_; }

  QSize sizeHint() const override;

 Q_SIGNALS:
  // Value has been set, by SetValue, a click on the track or a drag.
  void Scroll();
  // The pointer moved over the control.
  void MouseOver();
  void MouseUp();
  void RightClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  enum class Part { None, Track, Knob };

  Part PartAt(const QPoint& twips) const;
  // The part that receives a mouse event: the pressed one while a button is held, else the one under the pointer.
  Part Receiver(const QPoint& twips) const;
  // Puts the knob's Top at top held within 0..1065, recomputes Value and raises Scroll.
  void PlaceKnob(int top);
  void PaintTrack(QPainter& painter) const;

  int value_ = 0;
  int knobTop_ = kMaxKnobTop;
  int grabOffset_ = 0;
  Part pressed_ = Part::None;
  bool linesVisible_ = true;
  QPixmap knob_;
  BackgroundCopy background_;
};

}  // namespace marvane
