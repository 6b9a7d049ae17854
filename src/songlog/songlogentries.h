#pragma once
// The song log as the viewer lists it and the export writes it: entry n is the values of the keys "n Date",
// "n Time" and "n File" of section "Songs", for n from 1 to the number in "Entries" of section "Total". A key
// that is missing gives an empty text, so a count larger than the file lists empty entries for the missing
// ones; a count that is not a number lists nothing. Values are read as every profile value of the program is
// read: at most 79 characters.
//
// Safe to call from any thread on a profile that thread owns.

#include "settings/profilefile.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace marvane {

struct SongLogEntry {
  QString Date;
  QString Time;
  QString Song;
};

// A count beyond this is listed and exported as this many entries: a damaged "Entries" of two billion would
// otherwise fill the memory with empty rows.
inline constexpr qint32 kMaxSongLogEntries = 1000000;

// The number in "Entries", read as the program reads numbers (leading number, rounded halves to even); 0 when
// it is not a positive number.
qint32 SongLogEntryCount(const ProfileFile& log);

// Entry n (from 1), by three look-ups: for one entry.
SongLogEntry SongLogEntryAt(const ProfileFile& log, qint32 n);

// Every entry, 1 to the count, in one pass over the "Songs" section.
std::vector<SongLogEntry> ListSongLog(const ProfileFile& log);

// The exported text: one line per entry ended by CR LF, in UTF-8. Each line is the date and " | " when dates
// are included, the time and " | " when times are, then the song.
QByteArray SongLogText(const std::vector<SongLogEntry>& entries, bool dates, bool times);

}  // namespace marvane
