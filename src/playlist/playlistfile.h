#pragma once
// Reading and writing playlist files. The kind is told by the last three characters of the file name:
//  - "mvn" (the native kind) and "m3u": plain lines, one entry per line, nothing else;
//  - "pls": a profile file, section "playlist", keys File1 to FileN and NumberOfEntries.
// The loader tests the extension without regard to letter case; the writer writes ".pls" only for a name ending
// in "pls" exactly (a name ending in "PLS" is written as plain lines, but loads as ".pls").
//
// An entry is a full path. On reading, a line or value that starts with "/" or whose second character is ":"
// (written on Windows) is taken unchanged; anything else is appended to the playlist file's folder, its "\"
// turned into "/" (an empty line gives the folder itself, "#EXTM3U" gives the folder followed by "#EXTM3U").
// On writing, an entry whose folder is exactly the folder written into (letter case counts) is written as its
// file name alone; every other entry is written whole.
//
// Limits of the formats: a plain line longer than 100 characters is skipped on reading; a ".pls" value is cut to
// 80 characters when written and read back as at most 79; the plain-line writer refuses more than 32,767
// entries. Files are read as UTF-8, or Windows-1252 where the bytes are not UTF-8, and written as UTF-8 with
// CR LF line ends. Every write replaces the file atomically: a failed save leaves the old file whole.
//
// No entry is checked for existence here. UI thread only; nothing here yields to the event loop: a list of
// 100,000 entries loads or saves in a small fraction of a second.

#include "playlist/playlist.h"

#include <QString>

#include <functional>

namespace marvane {

inline constexpr qsizetype kPlaylistLineLimit = 100;
inline constexpr qint32 kLineFormatMaxEntries = 32767;
// A ".pls" whose NumberOfEntries is larger than this is taken as damaged: it would otherwise make the loader
// append the folder millions of times for keys that are not there.
inline constexpr qint32 kPlsMaxEntries = 1000000;

// What a save reports to the window that asked for it.
struct PlaylistSaveHooks {
  // The Playlist Editor's progress bar: called with the entry number every 25 entries (plain lines) or every
  // 50 entries (".pls").
  std::function<void(qint32)> SetProgress;
  // Called with folder + name after a successful plain-line save (the program remembers it as the current
  // playlist); the ".pls" writer does not call it.
  std::function<void(const QString&)> LineFormatSaved;
};

// Fills playlist from the file folder + name (folder ends with "/"). With replace the file becomes the current
// playlist: ListItems and PlayedList are emptied and ListPath becomes folder; without it the entries are
// appended and ListPath stays. ListItemCount becomes the number of entries now held.
// Returns false, changing nothing, when folder or name is empty, no file is at folder + name, the extension is
// none of "mvn", "m3u" and "pls" (any letter case), or the file cannot be read.
bool LoadPlaylist(Playlist& playlist, const QString& folder, const QString& name, bool replace);

// Writes playlist.ListItems to folder + name in the kind its name selects. Returns false when folder or name is
// empty, folder is not an existing folder, the list is too long for plain lines, or the file cannot be written.
// Saving ".pls" over an existing file keeps its other keys and sections, and File keys beyond the new count.
bool SavePlaylist(const Playlist& playlist, const QString& folder, const QString& name,
                  const PlaylistSaveHooks& hooks = {});

}  // namespace marvane
