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

QString ProgramFolder() {
  // An installed program finds its resources in ../share/marvane beside bin/; a build tree uses the
  // resources folder of the source tree, which the build records.
  const QString appDir = QCoreApplication::applicationDirPath();
  const QString installed = QDir::cleanPath(appDir + QStringLiteral("/../share/marvane"));
  if (QDir(installed).exists()) return WithSlash(installed);
#ifdef MARVANE_RESOURCE_DIR
  return WithSlash(QString::fromUtf8(MARVANE_RESOURCE_DIR));
#else
  return WithSlash(appDir);
#endif
}

QString DefaultDocumentsFolder() {
  const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
  if (!music.isEmpty() && QDir(music).exists()) return WithSlash(music);
  return WithSlash(QDir::homePath());
}

}  // namespace marvane
