#include "mixer/stayontop.h"

#include <QWidget>

namespace marvane {

void StayOnTop(QWidget* window, bool onTop) {
  if (window == nullptr) return;
  if (window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
  const bool visible = window->isVisible();
  const QPoint position = window->pos();
  window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
  window->move(position);
  if (visible) window->show();
}

}  // namespace marvane
