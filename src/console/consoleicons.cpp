#include "console/consoleicons.h"

#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPainterPath>

namespace marvane {

namespace {

const QColor kUnlit(0xC8, 0xC8, 0xC8);
const QColor kRed(0xF0, 0x20, 0x20);
const QColor kGreen(0x20, 0xD0, 0x40);

void Triangle(QPainter& p, const QColor& color, qreal left, qreal width) {
  QPainterPath path;
  path.moveTo(left, 3);
  path.lineTo(left + width, 8);
  path.lineTo(left, 13);
  path.closeSubpath();
  p.fillPath(path, color);
}

void Letter(QPainter& p, const QColor& color, const QString& text) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(text.size() > 1 ? 8 : 11);
  font.setBold(true);
  p.setFont(font);
  p.setPen(color);
  p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
  p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, text);
}

void Loop(QPainter& p, const QColor& color) {
  QPen pen(color, 1.6);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(2.5, 3.5, 11, 9), 30 * 16, 300 * 16);
  QPainterPath head;
  head.moveTo(12, 2.5);
  head.lineTo(15, 6);
  head.lineTo(11, 7.5);
  head.closeSubpath();
  p.fillPath(head, color);
}

QPixmap Draw(ConsoleIcon icon) {
  QPixmap pixmap(kIconPixels, kIconPixels);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  switch (icon) {
    case ConsoleIcon::Open: {
      QPainterPath folder;
      folder.moveTo(1, 4);
      folder.lineTo(6, 4);
      folder.lineTo(7.5, 5.5);
      folder.lineTo(15, 5.5);
      folder.lineTo(15, 13.5);
      folder.lineTo(1, 13.5);
      folder.closeSubpath();
      p.fillPath(folder, kUnlit);
      break;
    }
    case ConsoleIcon::Play: Triangle(p, kGreen, 4, 9); break;
    case ConsoleIcon::Stop: p.fillRect(QRectF(4, 4, 8, 8), kRed); break;
    case ConsoleIcon::LoopUnlit: Loop(p, kUnlit); break;
    case ConsoleIcon::LoopLit: Loop(p, kRed); break;
    case ConsoleIcon::LeftUnlit: Letter(p, kUnlit, QStringLiteral("L")); break;
    case ConsoleIcon::LeftLit: Letter(p, kRed, QStringLiteral("L")); break;
    case ConsoleIcon::OnUnlit: Letter(p, kUnlit, QStringLiteral("On")); break;
    case ConsoleIcon::OnLit: Letter(p, kGreen, QStringLiteral("On")); break;
    case ConsoleIcon::RightUnlit: Letter(p, kUnlit, QStringLiteral("R")); break;
    case ConsoleIcon::RightLit: Letter(p, kRed, QStringLiteral("R")); break;
    case ConsoleIcon::AutoPlay: Triangle(p, kGreen, 3, 10); break;
    case ConsoleIcon::AutoNext:
      Triangle(p, kUnlit, 1, 7);
      Triangle(p, kUnlit, 8, 7);
      break;
    case ConsoleIcon::AutoStop: p.fillRect(QRectF(3, 3, 10, 10), kRed); break;
  }
  return pixmap;
}

}  // namespace

QPixmap ConsoleIconPixmap(ConsoleIcon icon) {
  static QHash<int, QPixmap> cache;
  const int key = static_cast<int>(icon);
  auto it = cache.find(key);
  if (it == cache.end()) it = cache.insert(key, Draw(icon));
  return *it;
}

}  // namespace marvane
