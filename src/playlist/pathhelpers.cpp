#include "playlist/pathhelpers.h"

namespace marvane {

QString SplitFileName(const QString& path, QString* lastFolder) {
  const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
  if (slash < 0) {
    if (lastFolder) lastFolder->clear();
    return path;
  }
  if (lastFolder) *lastFolder = path.left(slash + 1);
  return path.mid(slash + 1);
}

QString StripExtension(const QString& name) {
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot <= 0) return name;
  return name.left(dot);
}

QString FolderWithSlash(const QString& folder) {
  if (folder.endsWith(QLatin1Char('/'))) return folder;
  return folder + QLatin1Char('/');
}

QString NormalizeEntryPath(const QString& path) {
  if (path.startsWith(QLatin1Char('/'))) return path;
  if (path.size() >= 2 && path[1] == QLatin1Char(':')) return path;
  QString normalized = path;
  normalized.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return normalized;
}

}  // namespace marvane
