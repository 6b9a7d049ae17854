#pragma once
// The playlist in memory: one object created at start-up and handed to the loaders, the next-song chooser,
// AutoPilot and the Playlist Editor. Members keep the program's own names. UI thread only.

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace marvane {

struct Playlist {
  // The list: one full path per entry, in play order, duplicates allowed. Position n of the program is
  // ListItems[n - 1].
  QStringList ListItems;
  // Recently played songs, newest first. AutoPilot puts each song it starts at the front; only the next-song
  // choice removes entries, always the last one. A replacing load empties it.
  QStringList PlayedList;
  // The number of entries after the last load that passed its first checks. The editor's own additions and
  // removals do not change it, so SmartRandom's short-list rule keeps counting the loaded list.
  qint32 ListItemCount = 0;
  // Folder of the current playlist file, ending with "/".
  QString ListPath;
  // File name of the current playlist, extension included.
  QString PlayListName;
};

}  // namespace marvane
