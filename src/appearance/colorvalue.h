#pragma once
// The program keeps colours as 32-bit values with red in the lowest byte, then green, then blue, top byte 0:
// 0x0000FF is pure red and 0xE0E0E0 light grey. These helpers convert between that form and QColor.

#include <QColor>
#include <QtGlobal>

namespace marvane {

// True for a value a control accepts as a colour: the top byte must be 0. A stored -1 (0xFFFFFFFF) is refused.
constexpr bool IsColorValue(quint32 value) { return value <= 0xFFFFFFu; }

// The colour of a value; the top byte is ignored (callers that must refuse it check IsColorValue first).
QColor ColorFromValue(quint32 value);

// The 32-bit value of a colour; alpha is dropped.
quint32 ValueFromColor(const QColor& color);

}  // namespace marvane
