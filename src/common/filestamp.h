#pragma once
// What a file looks like on disk right now: whether it exists, its device and inode, size and modification time.
// Files the program writes are replaced by a rename, so a new inode marks every rewrite, even one within the same
// clock tick; a cache that keeps a parsed file compares stamps to know when to read it again.

#include <QString>

#include <sys/types.h>
#include <time.h>

namespace marvane {

struct FileStamp {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};

  bool operator==(const FileStamp& other) const;

  // The stamp of the file at path now (exists false when there is none).
  static FileStamp Of(const QString& path);
};

}  // namespace marvane
