#pragma once
// MiniCrossfader: the console's crossfader. A horizontal knob blends the lines assigned to its left side with
// those on its right side: LeftLevel and RightLevel (0..100) follow the knob's position, both 100 in the middle.
// The knob is dragged, double-clicked back to the middle (a double click on the track), or sent to either end by
// an auto-fade that moves it by Speed twips every 55 ms.
//
// Geometry is in twips (15 per logical pixel): the control is always 2895 x 510; the knob's left edge (the
// position) runs from 0 to 2280, 1140 in the middle. After every movement
//   RightLevel = position / 11.4 and LeftLevel = (2280 - position) / 11.4,
// each rounded (halves to even) and capped at 100.
//
// Dragging: a press on the knob with the left button (or left and right) stops any auto-fade and remembers where
// in the knob it was taken; while the pointer's Y stays within -2300..2850 twips of the knob, the knob follows
// the pointer. A knob dragged to strictly between 1080 and 1200 is caught by the middle (1140), and the ends hold
// it within 0..2280. A press on the track with any button also stops an auto-fade.
//
// Auto-fade: AutoFadeLeft and AutoFadeRight start the timer for their direction and stop the other, so a fade is
// reversed from where the knob stands. A tick that reaches an end places the knob there, stops its timer and
// raises Maxed (true for the left end) before the tick's own Scroll, so the container's reaction (stopping the
// lines that faded out, Reset) runs first. A manual drag never raises Maxed.
//
// Mouse events go to the part that was pressed (track or knob) until every button is up (KnobControl).
// Tests drive the timers deterministically through TickLeft and TickRight, the timers' own slots.
// UI thread only; Maxed must be connected directly (it passes its argument by reference).

#include "appearance/pictureknobcontrol.h"

#include "common/clock.h"

namespace marvane {

class MiniCrossfader : public PictureKnobControl {
  Q_OBJECT

 public:
  static constexpr int kWidthTwips = 2895;
  static constexpr int kHeightTwips = 510;
  static constexpr double kMaxPosition = 2280;
  static constexpr double kMiddle = 1140;
  // The knob's top edge; it does not move up or down.
  static constexpr int kKnobTop = 90;
  static constexpr int kTickMs = 55;
  // An auto-fade never starts slower than this many twips per tick, so it always ends.
  static constexpr int kMinSpeed = 10;

  explicit MiniCrossfader(QWidget* parent = nullptr);
  // The auto-fade timers run on clock, which must outlive the control.
  MiniCrossfader(Clock& clock, QWidget* parent);

  // Auto-fade toward the left end; raises Speed to 10 when it is lower; stops a fade to the right.
  void AutoFadeLeft();
  // Auto-fade toward the right end; raises Speed to 10 when it is lower; stops a fade to the left.
  void AutoFadeRight();
  // Stops both auto-fade timers; the knob stays where it is.
  void StopIt();
  // Knob to the middle, both levels 100, raises Scroll. A running auto-fade goes on from the middle.
  void Reset();
  // What a drag of the knob to position (twips) does: a running auto-fade stops, the knob is placed by the drag's
  // rules (caught by the middle from 60 twips either side, held within the ends), the levels follow, Scroll.
  void DragTo(double position);

  // Levels 0..100 applied to the lines on each side. Writable, as the container may set them; the next
  // movement of the knob recomputes both.
  int LeftLevel() const { return leftLevel_; }
  void SetLeftLevel(int level) { leftLevel_ = level; }
  int RightLevel() const { return rightLevel_; }
  void SetRightLevel(int level) { rightLevel_ = level; }
  // Knob movement per auto-fade tick, in twips.
  int Speed() const { return speed_; }
  void SetSpeed(int speed) { speed_ = speed; }

  // Takes the main window's current picture (see SetWindowPicture) as the background copy, its top-left corner
  // at (-x, -y): x and y are the crossfader's position on the window in twips (0, 0 when no Face is used).
  void GetPic(int x, int y);
  // Inherited: ToolTipChange(text), SetCap(fileName) with the built-in crossfader knob, ShowLines(show).

  // The knob's left edge in twips, 0..2280.
  double Position() const { return position_; }
  bool IsFadingLeft() const { return timer1_->isActive(); }
  bool IsFadingRight() const { return timer2_->isActive(); }

  // One tick of the auto-fade toward the left (Timer1) or the right (Timer2). The timers call these every 55 ms
  // while enabled; tests call them directly.
  void TickLeft();
  void TickRight();

 Q_SIGNALS:
  // The knob moved and the levels were recomputed (or Reset set them).
  void Scroll();
  // The pointer moved over the knob or the track.
  void MouseOver();
  // An auto-fade reached an end: toLeft is true for the left end. Passed by reference, as a receiver may
  // read and change it; connect directly.
  void Maxed(bool& toLeft);
  // The right button was released over the knob or the track.
  void RightClick();

 protected:
  QPointF KnobTopLeft() const override;
  void PaintTrack(QPainter& painter) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // Levels from the position, then Scroll.
  void Recompute();
  // Places the knob where a drag to p leaves it, then Recompute.
  void PlaceDragged(double p);

  double position_ = kMiddle;
  int leftLevel_ = 100;
  int rightLevel_ = 100;
  int speed_ = 50;
  int grabX_ = 0;
  // Timer1 fades toward the left, Timer2 toward the right; both 55 ms, disabled at creation.
  ClockTimer* timer1_;
  ClockTimer* timer2_;
};

}  // namespace marvane
