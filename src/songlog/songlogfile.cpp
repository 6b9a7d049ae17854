#include "songlog/songlogfile.h"

#include <QFile>

#include <sys/stat.h>

namespace marvane {

bool SongLogFile::Stamp::operator==(const Stamp& other) const {
  return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

SongLogFile::Stamp SongLogFile::StampOf(const QString& path) {
  Stamp stamp;
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) != 0) return stamp;
  stamp.exists = true;
  stamp.device = info.st_dev;
  stamp.inode = info.st_ino;
  stamp.size = info.st_size;
  stamp.modified = info.st_mtim;
  return stamp;
}

ProfileFile& SongLogFile::Profile(const QString& path) {
  const Stamp stamp = StampOf(path);
  if (path_ != path || !(stamp_ == stamp)) {
    profile_ = ProfileFile::Load(path);
    path_ = path;
    stamp_ = stamp;
  }
  return profile_;
}

bool SongLogFile::Save(const QString& path, QString* error) {
  if (path_ != path) Profile(path);
  if (!profile_.Save(path, error)) {
    path_.clear();
    profile_ = ProfileFile();
    return false;
  }
  // Files are replaced by a rename, so even a rewrite within one clock tick gets a new inode and is noticed.
  stamp_ = StampOf(path);
  return true;
}

}  // namespace marvane
