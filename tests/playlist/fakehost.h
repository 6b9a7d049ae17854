#pragma once
// The main window as the playlist code sees it, for tests: switches the test sets, and a record of what was
// shown and opened.

#include "playlist/playlisthost.h"

#include <QList>
#include <QStringList>

namespace marvane::test {

struct OpenedSound {
  int line;
  QString path;
  bool autoStart;
};

class FakePlaylistHost final : public PlaylistHost {
 public:
  bool autoPilotOn = false;
  bool autoPilotLoop = false;
  bool smartRandom = false;
  qint16 noRep = 10;
  QStringList nextSongShown;
  QStringList titlesShown;
  QList<OpenedSound> opened;

  bool AutoPilotOn() const override { return autoPilotOn; }
  void SetAutoPilotOn(bool on) override { autoPilotOn = on; }
  bool AutoPilotLoop() const override { return autoPilotLoop; }
  bool SmartRandom() const override { return smartRandom; }
  qint16 NoRep() const override { return noRep; }
  void ShowNextSong(const QString& name) override { nextSongShown << name; }
  void ShowPlaylistTitle(const QString& text) override { titlesShown << text; }
  void OpenSound(int line, const QString& path, bool autoStart) override { opened.append({line, path, autoStart}); }
};

}  // namespace marvane::test
