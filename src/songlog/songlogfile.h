#pragma once
// The song log file, kept parsed in memory between writes. A log can hold 100,000 entries (several megabytes);
// parsing it for every song would cost more than writing it, so the parsed file is kept and used again as long
// as the file on disk is the one last read or written (same inode, size and modification time). Anything that
// changed the file meanwhile (the viewer clearing it, another copy of the program, an editor) makes the next use
// read it again.
//
// Each write replaces the whole file once, atomically. Not thread safe: one thread at a time.

#include "playlist/profilefile.h"

#include <QString>

#include <sys/types.h>

#include <ctime>

namespace marvane {

class SongLogFile {
 public:
  // The parsed file at path; a missing file gives an empty profile.
  ProfileFile& Profile(const QString& path);
  // Writes the profile to path. On failure the file on disk is left as it was and the edits are forgotten,
  // so the next use reads the file again.
  bool Save(const QString& path, QString* error = nullptr);

 private:
  struct Stamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    bool operator==(const Stamp& other) const;
  };
  static Stamp StampOf(const QString& path);

  QString path_;
  Stamp stamp_;
  ProfileFile profile_;
};

}  // namespace marvane
