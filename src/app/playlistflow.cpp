#include "app/playlistflow.h"

#include "playlist/filekinds.h"
#include "playlist/pathhelpers.h"
#include "settings/settingkeys.h"
#include "settings/settingsstore.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

namespace marvane {

namespace {

// The hourglass while a chosen playlist loads; restored however the load ends.
class BusyCursor {
 public:
  BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
  ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// The plain-line writer spells the key this way; keys are matched without regard to letter case.
const QString kPlaylistKeyAsSaved = QStringLiteral("Playlist");

}  // namespace

const QString PlaylistFlow::kOpenTitle = QStringLiteral("Open a Playlist file");
const QString PlaylistFlow::kOpenFilter =
    QStringLiteral("Playlist Files (*.mvn, *.m3u, *.pls)|*.mvn;*.m3u;*.pls|All Files (*.*)|*.*");
const QString PlaylistFlow::kErrorLoadingFile = QStringLiteral("Error loading file.");
const QString PlaylistFlow::kCouldNotLoad = QStringLiteral("Couldn't load the playlist.");

PlaylistFlow::PlaylistFlow(Playlist& playlist, NextSongChooser& chooser, PlaylistHost& host,
                           SettingsStore& settings, Dialogs& dialogs)
    : playlist_(playlist), chooser_(chooser), host_(host), settings_(settings), dialogs_(dialogs) {}

bool PlaylistFlow::LoadAsCurrent(const QString& path) {
  QString folder;
  playlist_.PlayListName = SplitFileName(path, &folder);
  playlist_.ListPath = folder;
  return LoadPlaylist(playlist_, playlist_.ListPath, playlist_.PlayListName, true);
}

void PlaylistFlow::OpenFromCommandLine(const QString& text) {
  openedKind_ = kOpenedNothing;
  if (text.isEmpty()) return;
  // A terminal passes paths relative to its folder; the test of the ending still sees the text as given.
  const QString path = text.startsWith(QLatin1Char('/')) ? text : QDir::current().absoluteFilePath(text);
  if (IsSoundFileName(text)) {
    host_.OpenSound(1, path, true);
    openedKind_ = kOpenedSound;
  } else if (IsPlaylistFileName(text)) {
    LoadAsCurrent(path);
    openedKind_ = kOpenedPlaylist;
    host_.SetAutoPilotOn(true);
  }
}

void PlaylistFlow::StartupLoad() {
  if (openedKind_ != kOpenedPlaylist) {
    const QString remembered = settings_.ReadSetting(keys::kPlayList, QString());
    if (!remembered.isEmpty() && QFileInfo(remembered).isFile()) LoadAsCurrent(remembered);
  }
  if (!playlist_.PlayListName.isEmpty()) host_.ShowPlaylistTitle(StripExtension(playlist_.PlayListName));
}

void PlaylistFlow::OpenPlaylist() {
  FileDialogRequest request;
  request.title = kOpenTitle;
  request.folder = playlist_.ListPath;
  request.filter = kOpenFilter;
  const std::optional<QString> chosen = dialogs_.OpenFile(request);
  if (!chosen || chosen->isEmpty()) return;

  std::optional<BusyCursor> busy(std::in_place);
  if (!QFileInfo(*chosen).isFile()) {
    busy.reset();
    dialogs_.Message(kErrorLoadingFile);
    return;
  }
  QString folder;
  playlist_.PlayListName = SplitFileName(*chosen, &folder);
  playlist_.ListPath = folder;
  settings_.WriteSetting(keys::kListPath, playlist_.ListPath);
  if (LoadPlaylist(playlist_, playlist_.ListPath, playlist_.PlayListName, true)) {
    host_.ShowPlaylistTitle(playlist_.PlayListName);
    settings_.WriteSetting(keys::kPlayList, *chosen);
    chooser_.ChooseNextSong();
    return;
  }
  busy.reset();
  dialogs_.Message(kCouldNotLoad);
}

void PlaylistFlow::DropOnTitle(int index, const QStringList& files) {
  // The drag was refused where the ending does not fit; a drop that comes anyway is ignored the same way.
  if (!AcceptsTitleDrop(index, files)) return;
  const QString& file = files.first();
  if (index > 0) {
    host_.OpenSound(index, file, false);
    return;
  }
  if (!LoadAsCurrent(file)) return;
  host_.ShowPlaylistTitle(playlist_.PlayListName);
  settings_.WriteSetting(keys::kPlayList, playlist_.ListPath + playlist_.PlayListName);
}

bool PlaylistFlow::SavePlaylist(const QString& folder, const QString& name,
                                const std::function<void(qint32)>& progress) {
  PlaylistSaveHooks hooks;
  hooks.SetProgress = progress;
  hooks.LineFormatSaved = [this](const QString& path) { settings_.WriteSetting(kPlaylistKeyAsSaved, path); };
  return marvane::SavePlaylist(playlist_, folder, name, hooks);
}

}  // namespace marvane
