#pragma once
// Opening, playing and stopping the files of lines 1 to 6, Stop All, and what the manual lines do when their
// players report a change: the title follows the loaded file (and the file is remembered as "File n" for the
// next start), the line's labels light up while it plays, and a song that starts is handed to the song log
// when every song is logged.
//
// UI thread only.

#include <QObject>

#include <functional>

class QWidget;

namespace marvane {

class AudioEngine;
class Dialogs;
class ImageButtonRule;
class MainForm;
class SettingsStore;
struct ColorScheme;
struct ConsoleState;

class LineTransport : public QObject {
  Q_OBJECT

 public:
  static const QString kSoundFilter;
  static const QString kErrorLoadingFile;

  LineTransport(MainForm& form, AudioEngine& engine, SettingsStore& settings, ConsoleState& state,
                const ColorScheme& colors, Dialogs& dialogs, ImageButtonRule& rule, QObject* parent = nullptr);

  // Line 0 opens a playlist (through openPlaylist); lines 1 to 6 ask for a sound file and load it, stopped.
  void FileOpen(int n);
  // Start-up's restores of what FileOpen and the open event store: the folder of the open dialog ("Path"), and
  // line n's last file ("File n"), opened without checking that it is still there (a missing file fails to
  // open).
  void RestorePath();
  void RestoreFile(int n);
  // The actions of the image buttons and of Stop All.
  void PlayButt(int n);
  void StopButt(int n);
  void StopAllClick();

  // The players' events of lines 1 to 6.
  void PlayerOpenStateChange(int n);
  void PlayerPlayStateChange(int n, int newState);

  // Whether the extension test lets a path be opened on a line: the last three characters, in lower case, are
  // one of wav, mp3, mp2, mp1, .ra, .rm, ram, mid.
  static bool HasSoundExtension(const QString& path);

  // FileOpen(0): the playlist's own open dialog.
  std::function<void()> openPlaylist;
  // A song started on a line: (full path). Called only when every song is logged.
  std::function<void(const QString&)> logSong;

 private:
  void PaintLineLabels(int n, bool playing);

  MainForm& form_;
  AudioEngine& engine_;
  SettingsStore& settings_;
  ConsoleState& state_;
  const ColorScheme& colors_;
  Dialogs& dialogs_;
};

// Sets a label's caption colour (a 32-bit colour, red in the low byte).
void SetCaptionColor(QWidget* label, quint32 color);

}  // namespace marvane
