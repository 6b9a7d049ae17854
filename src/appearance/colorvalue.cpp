#include "appearance/colorvalue.h"

namespace marvane {

QColor ColorFromValue(quint32 value) {
  return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                static_cast<int>((value >> 16) & 0xFFu));
}

quint32 ValueFromColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return static_cast<quint32>(rgb.red()) | (static_cast<quint32>(rgb.green()) << 8) |
         (static_cast<quint32>(rgb.blue()) << 16);
}

}  // namespace marvane
