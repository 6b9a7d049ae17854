#include "appearance/knobcontrol.h"

#include "appearance/accessiblecontrols.h"
#include "appearance/skinparts.h"
#include "appearance/twips.h"

#include <QMouseEvent>

namespace marvane {

KnobControl::KnobControl(QSize sizeTwips, QWidget* parent) : QWidget(parent), sizeTwips_(sizeTwips) {
  InstallAccessibleControls();
  setFixedSize(sizeHint());
  setMouseTracking(true);
}

QSize KnobControl::sizeHint() const { return TwipsToPixels(sizeTwips_); }

void KnobControl::ToolTipChange(const QString& text) { setToolTip(text); }

KnobControl::Part KnobControl::PartAt(const QMouseEvent* event) const {
  return KnobRect().contains(QPointF(EventTwips(event))) ? Part::Knob : Part::Track;
}

KnobControl::Part KnobControl::PressedPart(const QMouseEvent* event) {
  // A press with no other button down starts afresh, even if the last release never arrived (a window that
  // opened in between can swallow it).
  if (!held_ || event->buttons() == event->button()) {
    heldPart_ = PartAt(event);
    held_ = true;
  }
  return heldPart_;
}

KnobControl::Part KnobControl::MovedPart(const QMouseEvent* event) const {
  return held_ ? heldPart_ : PartAt(event);
}

KnobControl::Part KnobControl::ReleasedPart(const QMouseEvent* event) {
  const Part part = held_ ? heldPart_ : PartAt(event);
  if (event->buttons() == Qt::NoButton) held_ = false;
  return part;
}

}  // namespace marvane
