#pragma once
// What opening playlists needs from the main window besides the next-song choice: the playlist-name label and
// the players of the lines. The console implements it. UI thread only.

#include "playlist/nextsonghost.h"

#include <QString>

namespace marvane {

class PlaylistHost : public NextSongHost {
 public:
  // TitleLabel element 0, the AutoPilot line's title, shows text.
  virtual void ShowPlaylistTitle(const QString& text) = 0;
  // Player(line) loads path (writing its FileName). With autoStart its AutoStart is set first, so it plays as
  // soon as the file is open; without it AutoStart is left as it is.
  virtual void OpenSound(int line, const QString& path, bool autoStart) = 0;
};

}  // namespace marvane
