#pragma once
// Mouse events at exact twip positions (15 per pixel), delivered at the fractional pixel position with the
// held-buttons mask given explicitly, as the window system hands them to the widget holding the mouse.

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace marvane::test {

inline void SendMouse(QWidget* widget, QEvent::Type type, QPointF twips, Qt::MouseButton button,
                      Qt::MouseButtons held) {
  const QPointF local = twips / 15.0;
  QMouseEvent event(type, local, widget->mapToGlobal(local), button, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}
// held is the mask of buttons down after the press (button included).
inline void PressAt(QWidget* widget, QPointF twips, Qt::MouseButton button = Qt::LeftButton,
                    Qt::MouseButtons held = Qt::NoButton) {
  SendMouse(widget, QEvent::MouseButtonPress, twips, button, held == Qt::NoButton ? button : held);
}
inline void MoveTo(QWidget* widget, QPointF twips, Qt::MouseButtons held) {
  SendMouse(widget, QEvent::MouseMove, twips, Qt::NoButton, held);
}
// held is the mask of buttons still down afterwards.
inline void ReleaseAt(QWidget* widget, QPointF twips, Qt::MouseButton button, Qt::MouseButtons held = {}) {
  SendMouse(widget, QEvent::MouseButtonRelease, twips, button, held);
}
// Presses the left button at from, drags to to and lets go there.
inline void Drag(QWidget* widget, QPointF from, QPointF to, Qt::MouseButtons held = Qt::LeftButton) {
  PressAt(widget, from, Qt::LeftButton, held);
  MoveTo(widget, to, held);
  ReleaseAt(widget, to, Qt::LeftButton);
}

}  // namespace marvane::test
