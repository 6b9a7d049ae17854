#pragma once
// Every file the program writes (settings, playlists, song log, colour schemes, exported logs) is written to a
// temporary file in the same folder, flushed to disk and renamed over the old one. A crash or a full disk
// therefore leaves either the old file whole or the new file whole, never half of one.

#include <QByteArray>
#include <QString>

namespace marvane {

// Replaces the file at path with bytes, creating missing parent folders. Returns false and leaves any old file
// untouched on failure; *error then holds a readable reason.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

}  // namespace marvane
