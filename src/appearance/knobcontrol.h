#pragma once
// KnobControl: what the three knob controls (MiniSlider, Pan, MiniCrossfader) share. Each has a fixed size in
// twips, a track that fills it and a knob that runs in it, one tool tip for both, and the same rule for mouse
// events: a press goes to the part under the pointer, and from then on every event goes to that part (with its
// coordinates still measured from the control) until every button is up. With no button held, a move goes to
// the part under the pointer.
//
// UI thread only.

#include <QRectF>
#include <QSize>
#include <QWidget>

class QMouseEvent;

namespace marvane {

class KnobControl : public QWidget {
  Q_OBJECT

 public:
  // The tool tip of the knob and the track.
  void ToolTipChange(const QString& text);

  QSize sizeHint() const override;

 protected:
  enum class Part { Track, Knob };

  // sizeTwips is the control's fixed size; any resize is set back to it.
  KnobControl(QSize sizeTwips, QWidget* parent);

  // The knob's rectangle in twips; empty when the control has no knob to take.
  virtual QRectF KnobRect() const = 0;

  // The part a press goes to; it holds the mouse until the last button is released.
  Part PressedPart(const QMouseEvent* event);
  // The part a move goes to.
  Part MovedPart(const QMouseEvent* event) const;
  // The part a release goes to; the release of the last button lets go of the mouse.
  Part ReleasedPart(const QMouseEvent* event);

 private:
  Part PartAt(const QMouseEvent* event) const;

  QSize sizeTwips_;
  bool held_ = false;
  Part heldPart_ = Part::Track;
};

}  // namespace marvane
