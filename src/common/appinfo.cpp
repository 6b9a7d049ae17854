#include "common/appinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace marvane {

namespace {

QString WithSlash(QString folder) {
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

// XDG base folder from the environment, or its documented default under home.
QString XdgFolder(const char* variable, const QString& homeRelative) {
  const QString value = qEnvironmentVariable(variable);
  if (!value.isEmpty() && QDir::isAbsolutePath(value)) return value;
  return QDir::homePath() + QLatin1Char('/') + homeRelative;
}

}  // namespace

QString SettingsFilePath() {
  return XdgFolder("XDG_CONFIG_HOME", QStringLiteral(".config")) + QStringLiteral("/Marvane/Marvane.ini");
}

QString DataFolder() {
  return WithSlash(XdgFolder("XDG_DATA_HOME", QStringLiteral(".local/share")) + QStringLiteral("/Marvane"));
}

QString AppId() { return QStringLiteral(MARVANE_APP_ID); }

QString ProgramFolder() {
  // The program finds its resources in ../share/marvane beside its bin/ folder, installed or in the build folder
  // (which is laid out the same way). Other programs of the build tree (tests, benchmarks) use the build
  // folder's share/marvane.
  const QString installed =
      QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/marvane"));
  if (QDir(installed).exists()) return WithSlash(installed);
  return WithSlash(QString::fromUtf8(MARVANE_BUILD_DATA_DIR));
}

QString DefaultDocumentsFolder() {
  const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
  if (!music.isEmpty() && QDir(music).exists()) return WithSlash(music);
  return WithSlash(QDir::homePath());
}

}  // namespace marvane
