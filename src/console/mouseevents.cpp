#include "console/mouseevents.h"

#include "appearance/twips.h"
#include "common/states.h"
#include "console/imagebutton.h"

#include <QMouseEvent>
#include <QWidget>

namespace marvane {

MouseEvents* MouseEvents::Attach(QWidget* widget) {
  if (auto* existing = widget->findChild<MouseEvents*>(QString(), Qt::FindDirectChildrenOnly)) return existing;
  auto* events = new MouseEvents(widget);
  widget->setMouseTracking(true);
  widget->installEventFilter(events);
  return events;
}

bool MouseEvents::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const QPointF at = PixelsToTwips(mouse->position());
      const int shift = ShiftMask(mouse->modifiers());
      if (event->type() == QEvent::MouseButtonPress)
        Q_EMIT MouseDown(ButtonMask(mouse->button()), shift, at.x(), at.y());
      else if (event->type() == QEvent::MouseMove)
        Q_EMIT MouseMove(ButtonMask(mouse->buttons()), shift, at.x(), at.y());
      else
        Q_EMIT MouseUp(ButtonMask(mouse->button()), shift, at.x(), at.y());
      break;
    }
    case QEvent::MouseButtonDblClick:
      Q_EMIT DblClick();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace marvane
