#pragma once
// One value of a profile file at a time, with the program's length rules: a value written is cut to its first
// 80 characters, and a value read is at most 79 characters long. A missing file, section or key reads as "".
//
// The last file used is kept parsed and indexed (and checked against the file's size and modification time on
// every call), so a run of calls on one file does not parse it again each time. Writes replace the file
// atomically. Safe to call from any thread.

#include <QString>

namespace marvane {

inline constexpr qsizetype kIniWriteLimit = 80;
inline constexpr qsizetype kIniReadLimit = 79;

QString ReadIniValue(const QString& section, const QString& key, const QString& file);

// Cuts value (the caller's variable too) to 80 characters, then stores it. Failures are not reported.
void WriteIniValue(const QString& section, const QString& key, QString& value, const QString& file);

}  // namespace marvane
