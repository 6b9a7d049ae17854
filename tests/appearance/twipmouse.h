#pragma once
// Mouse input for the skinnable controls at exact twip positions. The controls' rules are stated in twips
// (15 per pixel), so a position such as Y 100 lies between two pixels; these helpers deliver the event at the
// fractional pixel position, with the held-buttons mask given explicitly, exactly as the window system hands
// events to the widget that holds the mouse.

#include <QPointF>
#include <Qt>

class QWidget;

namespace marvane::test {

// A press of button; held is the mask of buttons down after the press (button included).
void PressAt(QWidget* widget, QPointF twips, Qt::MouseButton button, Qt::MouseButtons held);
inline void PressAt(QWidget* widget, QPointF twips, Qt::MouseButton button = Qt::LeftButton) {
  PressAt(widget, twips, button, button);
}
// A move with the given buttons held (none for hovering).
void MoveTo(QWidget* widget, QPointF twips, Qt::MouseButtons held);
// A release of button; held is the mask of buttons still down afterwards.
void ReleaseAt(QWidget* widget, QPointF twips, Qt::MouseButton button, Qt::MouseButtons held = Qt::NoButton);
// The second press of a double click.
void DoubleClickAt(QWidget* widget, QPointF twips, Qt::MouseButton button = Qt::LeftButton);

}  // namespace marvane::test
