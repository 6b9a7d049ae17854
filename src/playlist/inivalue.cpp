#include "playlist/inivalue.h"

#include "playlist/profilefile.h"

#include <QFile>
#include <QMutex>

#include <sys/stat.h>

namespace marvane {

namespace {

// The last profile file used, with the stamp it had when it was read or written.
// Files the program writes are replaced by a rename, so a new inode also marks every rewrite, even one within
// the same clock tick.
struct FileStamp {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};

  bool operator==(const FileStamp& other) const {
    return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
  }
};

FileStamp StampOf(const QString& path) {
  FileStamp stamp;
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return stamp;
  stamp.exists = true;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  stamp.size = info.st_size;
  stamp.modified = info.st_mtim;
  return stamp;
}

struct CachedProfile {
  QString path;
  FileStamp stamp;
  ProfileFile profile;
};

QMutex cacheMutex;
CachedProfile cache;

// The parsed file at path, re-read when it changed on disk since it was cached.
ProfileFile& Current(const QString& path) {
  const FileStamp stamp = StampOf(path);
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
    cache.stamp = StampOf(file);
  } else {
    // The file on disk is unchanged; forget the edit so the next call reads the truth again.
    cache.path.clear();
  }
}

}  // namespace marvane
