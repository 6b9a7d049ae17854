#include "console/elidelabel.h"

#include <QPainter>

namespace marvane {

void ElideLabel::paintEvent(QPaintEvent* event) {
  const QRect area = contentsRect();
  const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
  if (shown == text()) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter painter(this);
  painter.setPen(palette().color(foregroundRole()));
  painter.drawText(area, static_cast<int>(alignment()), shown);
}

}  // namespace marvane
