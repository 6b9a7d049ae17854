#pragma once
// Small helpers on file names used across the program: split a path into folder and name, cut an extension,
// make sure a folder ends with "/". Paths use "/" as separator.

#include <QString>

namespace marvane {

// Splits path at its last "/": returns the part after it. lastFolder, when given, receives the part up to and
// including that "/", or "" when path holds no "/" (the path is then returned unchanged).
QString SplitFileName(const QString& path, QString* lastFolder = nullptr);

// The name before its last ".", or the name unchanged when it has no "." or the result would be empty
// (".mp3" stays ".mp3"; "a.b.mp3" gives "a.b").
QString StripExtension(const QString& name);

// The folder with a "/" at its end; a folder that already ends with one is returned unchanged.
QString FolderWithSlash(const QString& folder);

// A playlist entry or stored path in "/" form: a relative path's "\" become "/". A path starting with "/",
// or whose second character is ":" (written on Windows), is taken unchanged.
QString NormalizeEntryPath(const QString& path);

}  // namespace marvane
