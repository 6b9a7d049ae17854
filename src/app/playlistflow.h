#pragma once
// The ways a playlist file becomes the current playlist on the main window, and the settings they keep:
// the command line, the start-up load of the last playlist, the Open Playlist dialog, a file dropped on the
// playlist label, and saving with the "PlayList" setting.
//
// Reports go through Dialogs: "Error loading file." when the chosen file is not there, "Couldn't load the
// playlist." when it does not load. A failed drop or command-line load shows nothing. UI thread only.

#include "common/dialogs.h"
#include "playlist/nextsongchooser.h"
#include "playlist/playlist.h"
#include "playlist/playlistfile.h"
#include "playlist/playlisthost.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace marvane {

class SettingsStore;

class PlaylistFlow {
 public:
  // What the command line opened.
  static constexpr qint16 kOpenedNothing = 0;
  static constexpr qint16 kOpenedSound = 1;
  static constexpr qint16 kOpenedPlaylist = 2;

  static const QString kOpenTitle;
  static const QString kOpenFilter;
  static const QString kErrorLoadingFile;
  static const QString kCouldNotLoad;

  PlaylistFlow(Playlist& playlist, NextSongChooser& chooser, PlaylistHost& host, SettingsStore& settings,
               Dialogs& dialogs);

  // The whole command-line text as one path (no quotes removed): a sound file plays at once on line 1; a
  // playlist is loaded and AutoPilot is switched on, whether the load worked or not. A relative path is taken
  // from the current folder. Sets OpenedKind.
  void OpenFromCommandLine(const QString& text);
  qint16 OpenedKind() const { return openedKind_; }

  // At start-up, after OpenFromCommandLine: unless the command line opened a playlist, loads the playlist named
  // by the "PlayList" setting when that file exists; then the playlist label shows the list's name without its
  // extension (when there is one).
  void StartupLoad();

  // The main window's Open Playlist (FileOpen with an index below 1): asks for a file, loads it, remembers it
  // and chooses the next song. Cancel ends silently.
  void OpenPlaylist();

  // A file dropped on TitleLabel(index): a playlist on element 0 replaces the list (no next-song choice);
  // a sound file on element n loads on Player(n). Whether the drop may happen at all is AcceptsTitleDrop.
  void DropOnTitle(int index, const QStringList& files);

  // SavePlaylist of the list in memory; a save in the plain-line kind also stores folder + name as the
  // "PlayList" setting. progress, when given, is the editor's progress bar.
  bool SavePlaylist(const QString& folder, const QString& name,
                    const std::function<void(qint32)>& progress = {});

 private:
  // PlayListName and ListPath from path, then a replacing load.
  bool LoadAsCurrent(const QString& path);

  Playlist& playlist_;
  NextSongChooser& chooser_;
  PlaylistHost& host_;
  SettingsStore& settings_;
  Dialogs& dialogs_;
  qint16 openedKind_ = kOpenedNothing;
};

}  // namespace marvane
