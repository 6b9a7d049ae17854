#pragma once
// Small file helpers shared by the playlist and song-log tests.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace marvane::test {

inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
  ASSERT_EQ(file.write(bytes), bytes.size());
}

}  // namespace marvane::test
