#pragma once
// The NextSong label's tool tip: how long the list plays from the current song to its end, "Time left in the
// list: 1:02:03": what remains of the current song and the lengths of the entries from the next song to the
// list's last, in list order (none once the choice has wrapped to the list's start). The lengths come from
// SongLevels; while any is unmeasured the tool tip says "unknown" and the unmeasured ones are queued. Worked out
// when the tool tip is about to show, never on a timer.
//
// UI thread only.

#include <QObject>
#include <QString>

namespace marvane {

class AudioEngine;
class AutoPilot;
class MainForm;
class SongLevels;
struct ConsoleState;
struct Playlist;

class ListTimeLeft : public QObject {
  Q_OBJECT

 public:
  ListTimeLeft(MainForm& form, AudioEngine& engine, AutoPilot& autoPilot, const Playlist& playlist,
               SongLevels& levels, const ConsoleState& state, QObject* parent = nullptr);

  // The tool tip's text as of now.
  QString Text();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  MainForm& form_;
  AudioEngine& engine_;
  AutoPilot& autoPilot_;
  const Playlist& playlist_;
  SongLevels& levels_;
  const ConsoleState& state_;
};

}  // namespace marvane
