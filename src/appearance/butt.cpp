#include "appearance/butt.h"

#include "appearance/accessiblecontrols.h"
#include "appearance/colorvalue.h"
#include "appearance/skinparts.h"
#include "appearance/twips.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace marvane {

namespace {
// Light grey, the console's default caption colour.
constexpr quint32 kDefaultCaptionColor = 0xE0E0E0;
const QColor kSunkenShadow(36, 36, 40);
const QColor kSunkenLight(150, 150, 156);
}  // namespace

Butt::Butt(QWidget* parent)
    : QWidget(parent), caption_(QStringLiteral("Butt")), captionColor_(ColorFromValue(kDefaultCaptionColor)) {
  InstallAccessibleControls();
  setMouseTracking(true);
}

QSize Butt::sizeHint() const {
  const QFontMetrics metrics(font());
  return {metrics.horizontalAdvance(caption_) + 12, metrics.height() + 6};
}

void Butt::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  updateGeometry();
  update();
  Q_EMIT CaptionChanged();
}

void Butt::TipChange() { setToolTip(tipText_); }

bool Butt::ColChange(quint32 color) {
  if (!IsColorValue(color)) return false;
  captionColor_ = ColorFromValue(color);
  update();
  return true;
}

void Butt::SetPressedLook(bool pressed) {
  if (pressedLook_ == pressed) return;
  pressedLook_ = pressed;
  update();
}

void Butt::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  SetPressedLook(true);
  pressed_ = true;
}

void Butt::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void Butt::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) {
    // Compared in twips, as the rule is stated: a pointer exactly on the far edge still counts as inside.
    const QPoint pos = EventTwips(event);
    const QSize size = PixelsToTwips(this->size());
    const bool outside = pos.x() < 0 || pos.y() < 0 || pos.x() > size.width() || pos.y() > size.height();
    SetPressedLook(!outside);
    pressed_ = !outside;
  }
  Q_EMIT MouseOver();
}

void Butt::mouseReleaseEvent(QMouseEvent* event) {
  SetPressedLook(false);
  const bool click = event->button() == Qt::LeftButton && pressed_;
  pressed_ = false;
  if (click) Q_EMIT Click();
}

void Butt::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = rect();
  if (pressedLook_) {
    // The sunken single border of a pressed caption.
    painter.setPen(kSunkenShadow);
    painter.drawLine(area.topLeft(), area.topRight());
    painter.drawLine(area.topLeft(), area.bottomLeft());
    painter.setPen(kSunkenLight);
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    painter.drawLine(area.topRight(), area.bottomRight());
  } else {
    // The frame: top and left lines at 0, bottom and right one pixel in from the far edges, each spanning
    // the full other dimension.
    painter.setPen(skin::kFrameLine);
    painter.drawLine(QPoint(0, 0), QPoint(area.right(), 0));
    painter.drawLine(QPoint(0, 0), QPoint(0, area.bottom()));
    painter.drawLine(QPoint(0, area.bottom()), QPoint(area.right(), area.bottom()));
    painter.drawLine(QPoint(area.right(), 0), QPoint(area.right(), area.bottom()));
  }
  painter.setPen(captionColor_);
  painter.setFont(font());
  // The pressed caption sits one pixel lower and to the right, as if pushed in.
  const QRect textArea = pressedLook_ ? area.translated(1, 1) : area;
  painter.drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine, caption_);
}

}  // namespace marvane
