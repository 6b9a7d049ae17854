#pragma once
// The song log file, kept in memory between writes. A log can hold 100,000 entries (several megabytes): parsing
// it, or even laying out the whole parsed file again, for every song would cost far more than writing it. So
// the file's bytes and its parsed form are kept, and reused as long as the file on disk is the one last read or
// written (same inode, size and modification time). Anything that changed the file meanwhile (the viewer
// clearing it, another copy of the program, an editor) makes the next use read it again.
//
// Writes follow the profile-file engine's rules (ProfileFile is the authority on every value). The common write
// of the log (a new "Entries" value where it stands and new keys at the end of a "Songs" section that closes the
// file) is made by splicing the kept bytes; anything else is laid out again by the engine. Either way the whole
// file is replaced once, atomically.
//
// Preload reads and parses the file on a worker thread, so that the first write of a run does not parse a large
// log on the UI thread. Apart from that worker, which touches nothing but its own copy, the object is used by
// one thread only.

#include "common/filestamp.h"
#include "settings/profilefile.h"

#include <QByteArray>
#include <QString>

#include <future>
#include <vector>

#include <sys/types.h>

#include <ctime>

namespace marvane {

class SongLogFile {
 public:
  struct Edit {
    QString section;
    QString key;
    QString value;
  };

  SongLogFile() = default;
  SongLogFile(const SongLogFile&) = delete;
  SongLogFile& operator=(const SongLogFile&) = delete;
  ~SongLogFile();

  // Starts reading path in the background unless it is already held and current, or being read.
  void Preload(const QString& path);

  // The parsed file at path; a missing file gives an empty profile.
  const ProfileFile& Profile(const QString& path);

  // Sets the values in order, as ProfileFile::SetValue does, and replaces the file once. On failure the file on
  // disk is left as it was and the edits are forgotten.
  bool Write(const QString& path, const std::vector<Edit>& edits, QString* error = nullptr);

 private:
  // Where the common write touches the file: the line holding Entries of Total, and whether new keys of Songs
  // land at the very end of the file.
  struct Layout {
    qsizetype entriesStart = -1;  // first byte of the line, -1 when there is none
    qsizetype entriesEnd = -1;    // end of its text, before the line ending
    QByteArray entriesKey;        // the key as the file spells it
    bool songsClosesFile = false;
    QByteArray newline = "\n";
  };
  struct Cache {
    QString path;
    FileStamp stamp;
    QByteArray bytes;
    ProfileFile profile;
    Layout layout;
  };

  static Cache Read(const QString& path);
  static Layout Scan(const QByteArray& bytes);
  void MakeCurrent(const QString& path);
  bool Splice(const std::vector<Edit>& edits, QByteArray* bytes) const;

  Cache cache_;
  std::future<Cache> preload_;
  QString preloadPath_;
};

}  // namespace marvane
