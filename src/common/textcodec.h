#pragma once
// Text files the program reads may come from other programs: UTF-8 (with or without a byte-order mark) or the
// Western Windows code page. Bytes that are valid UTF-8 are read as UTF-8; anything else as Windows-1252.
// The program itself always writes UTF-8.

#include <QByteArray>
#include <QString>

namespace marvane {

QString DecodeText(const QByteArray& bytes);

}  // namespace marvane
