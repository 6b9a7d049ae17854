#include "support/testenv.h"

#include <QDir>
#include <QFileInfo>

namespace marvane::test {

QString TestDataDir() {
  const QString dir = QString::fromUtf8(MARVANE_TESTDATA_DIR_VALUE);
  return QFileInfo(dir).isDir() ? QDir(dir).canonicalPath() : QString();
}

QString ConfigHome() { return qEnvironmentVariable("XDG_CONFIG_HOME"); }
QString DataHome() { return qEnvironmentVariable("XDG_DATA_HOME"); }
QString ArtefactDir() { return QString::fromUtf8(MARVANE_BINARY_DIR_VALUE); }

}  // namespace marvane::test
