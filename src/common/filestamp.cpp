#include "common/filestamp.h"

#include <QFile>

#include <sys/stat.h>

namespace marvane {

bool FileStamp::operator==(const FileStamp& other) const {
  return exists == other.exists && device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

FileStamp FileStamp::Of(const QString& path) {
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

}  // namespace marvane
