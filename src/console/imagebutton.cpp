#include "console/imagebutton.h"

#include "appearance/accessiblecontrols.h"
#include "appearance/twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace marvane {

int ShiftMask(Qt::KeyboardModifiers modifiers) {
  int mask = 0;
  if (modifiers & Qt::ShiftModifier) mask |= 1;
  if (modifiers & Qt::ControlModifier) mask |= 2;
  if (modifiers & Qt::AltModifier) mask |= 4;
  return mask;
}

ImageButton::ImageButton(QWidget* parent) : QWidget(parent) {
  SetAccessibleRole(this, QAccessible::Button);
  setAttribute(Qt::WA_MouseTracking);
}

void ImageButton::SetPicture(const QPixmap& picture) {
  picture_ = picture;
  update();
}

void ImageButton::SetBorder(bool on) {
  if (border_ == on) return;
  border_ = on;
  update();
}

void ImageButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!picture_.isNull()) {
    const QPoint topLeft((width() - picture_.width() / picture_.devicePixelRatio()) / 2,
                         (height() - picture_.height() / picture_.devicePixelRatio()) / 2);
    painter.drawPixmap(topLeft, picture_);
  }
  if (border_) {
    painter.setPen(QColor(0xE0, 0xE0, 0xE0));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void ImageButton::mousePressEvent(QMouseEvent* event) {
  const QPointF at = PixelsToTwips(event->position());
  Q_EMIT MouseDown(ButtonMask(event->button()), ShiftMask(event->modifiers()), at.x(), at.y());
}

void ImageButton::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = PixelsToTwips(event->position());
  Q_EMIT MouseMove(ButtonMask(event->buttons()), ShiftMask(event->modifiers()), at.x(), at.y());
}

void ImageButton::mouseReleaseEvent(QMouseEvent* event) {
  const QPointF at = PixelsToTwips(event->position());
  Q_EMIT MouseUp(ButtonMask(event->button()), ShiftMask(event->modifiers()), at.x(), at.y());
}

void ImageButton::mouseDoubleClickEvent(QMouseEvent*) { Q_EMIT DblClick(); }

}  // namespace marvane
