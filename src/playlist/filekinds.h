#pragma once
// Which files the console takes where, told by the last three characters of the name in lower case, as the
// program has always done (".ra" and ".rm" count with their dot; "party.m3u\"" in quotes is nothing).

#include <QString>
#include <QStringList>

namespace marvane {

// "mp3", "wav", ".ra", ".rm", "ram", "mp2", "mp1", "mid": a sound file a line plays.
bool IsSoundFileName(const QString& name);
// "m3u", "mvn", "pls": a playlist file.
bool IsPlaylistFileName(const QString& name);

// Whether files dragged over the title label of a line may be dropped there: only the first file counts. The
// playlist label (index 0) takes playlist files, the lines' labels (1 and up) take sound files; no file at all is
// refused.
bool AcceptsTitleDrop(int index, const QStringList& files);

}  // namespace marvane
