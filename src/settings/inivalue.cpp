#include "settings/inivalue.h"

#include "common/filestamp.h"
#include "settings/profilefile.h"

#include <QMutex>


namespace marvane {

namespace {

// The last profile file used, with the stamp it had when it was read or written.
struct CachedProfile {
  QString path;
  FileStamp stamp;
  ProfileFile profile;
};

QMutex cacheMutex;
CachedProfile cache;

// The parsed file at path, re-read when it changed on disk since it was cached.
ProfileFile& Current(const QString& path) {
  const FileStamp stamp = FileStamp::Of(path);
  if (cache.path != path || !(cache.stamp == stamp)) {
    cache.path = path;
    cache.profile = ProfileFile::Load(path);
    cache.stamp = stamp;
  }
  return cache.profile;
}

}  // namespace

QString ReadIniValue(const QString& section, const QString& key, const QString& file) {
  const QMutexLocker lock(&cacheMutex);
  const QString value = Current(file).Value(section, key).value_or(QString());
  return value.left(kIniReadLimit);
}

void WriteIniValue(const QString& section, const QString& key, QString& value, const QString& file) {
  if (value.size() > kIniWriteLimit) value.truncate(kIniWriteLimit);
  const QMutexLocker lock(&cacheMutex);
  ProfileFile& profile = Current(file);
  profile.SetValue(section, key, value);
  if (profile.Save(file)) {
    cache.stamp = FileStamp::Of(file);
  } else {
    // The file on disk is unchanged; forget the edit so the next call reads the truth again.
    cache.path.clear();
  }
}

}  // namespace marvane
