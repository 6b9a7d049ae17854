#include "common/atomicfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace marvane {

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
  const QFileInfo info(path);
  if (!QDir().mkpath(info.absolutePath())) {
    if (error) *error = QStringLiteral("Cannot create the folder %1").arg(info.absolutePath());
    return false;
  }
  // QSaveFile writes a temporary file beside the target; commit() flushes it to disk and renames it over
  // the target. Destroying it without commit() removes the temporary file.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    if (error) *error = file.errorString();
    return false;
  }
  if (file.write(bytes) != bytes.size()) {
    if (error) *error = file.errorString();
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) {
    if (error) *error = file.errorString();
    return false;
  }
  return true;
}

}  // namespace marvane
