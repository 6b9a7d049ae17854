#include "twipmouse.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace marvane::test {

namespace {
void Send(QWidget* widget, QEvent::Type type, QPointF twips, Qt::MouseButton button, Qt::MouseButtons held) {
  const QPointF local = twips / 15.0;
  QMouseEvent event(type, local, widget->mapToGlobal(local), button, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}
}  // namespace

void PressAt(QWidget* widget, QPointF twips, Qt::MouseButton button, Qt::MouseButtons held) {
  Send(widget, QEvent::MouseButtonPress, twips, button, held);
}

void MoveTo(QWidget* widget, QPointF twips, Qt::MouseButtons held) {
  Send(widget, QEvent::MouseMove, twips, Qt::NoButton, held);
}

void ReleaseAt(QWidget* widget, QPointF twips, Qt::MouseButton button, Qt::MouseButtons held) {
  Send(widget, QEvent::MouseButtonRelease, twips, button, held);
}

void DoubleClickAt(QWidget* widget, QPointF twips, Qt::MouseButton button) {
  Send(widget, QEvent::MouseButtonDblClick, twips, button, button);
}

}  // namespace marvane::test
