#include "console/listtimeleft.h"

#include <QEvent>
#include <QLabel>

#include <algorithm>

#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "common/states.h"
#include "console/autopilot.h"
#include "console/consolestate.h"
#include "console/mainform.h"
#include "console/mixrecording.h"
#include "console/songlevels.h"
#include "playlist/nextsongchooser.h"
#include "playlist/playlist.h"

namespace marvane {

ListTimeLeft::ListTimeLeft(MainForm& form, AudioEngine& engine, AutoPilot& autoPilot, const Playlist& playlist,
                           SongLevels& levels, const ConsoleState& state, QObject* parent)
    : QObject(parent),
      form_(form),
      engine_(engine),
      autoPilot_(autoPilot),
      playlist_(playlist),
      levels_(levels),
      state_(state) {
  form_.NextSong()->installEventFilter(this);
}

QString ListTimeLeft::Text() {
  const QStringList& items = playlist_.ListItems;
  const auto count = static_cast<qint32>(items.size());
  double seconds = 0.0;
  const MediaPlayer& current = engine_.AP(autoPilot_.CurrentAP());
  if (current.PlayState() == kPlaying) seconds += std::max(0.0, current.Duration() - current.CurrentPosition());
  // The chooser's position is the entry after the next song. At 1 the choice has wrapped: the next song is the
  // list's first again, and the list ends with the current song.
  const qint32 listPos = autoPilot_.Chooser().ListPos();
  const qint32 next = listPos <= 1 ? count + 1 : listPos - 1;
  QStringList unmeasured;
  for (qint32 n = std::max(next, 1); n <= count && !autoPilot_.Chooser().NextFile().isEmpty(); ++n) {
    if (const std::optional<double> length = levels_.Seconds(items[n - 1]))
      seconds += *length;
    else
      unmeasured << items[n - 1];
  }
  if (!unmeasured.isEmpty()) {
    levels_.Request(unmeasured);
    return QStringLiteral("Time left in the list: unknown");
  }
  return QStringLiteral("Time left in the list: ") + MixRecording::RunningTime(seconds);
}

bool ListTimeLeft::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ToolTip && watched == form_.NextSong())
    form_.NextSong()->setToolTip(state_.ToolTipsOn ? Text() : QString());
  return QObject::eventFilter(watched, event);
}

}  // namespace marvane
