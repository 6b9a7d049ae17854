#pragma once
// AutoPilot: line 0 plays the playlist unattended with its two players AP(0) and AP(1). One carries the current
// song (CurrentAP) while the other opens the next one SpinUp seconds before the hand-over; when FadeSeconds
// remain, the next song starts on the other player and the two overlap at line 0's volume. A song that does
// not start within the stall limit (5 ticks, 40 in high-priority mode) is replaced by a fresh choice.
//
// States: Off; Starting (StartIt gave the current player a song to open, PlayWhenOpened set); Playing; Preparing
// (the next song open on the other player, "Loading Next Song..." shown); Overlap; Finishing (AutoPilotOn
// cleared by a first AStop press, the current song plays out). While Starting, the tick only counts stall ticks:
// an early open never clears the PlayWhenOpened of the song being started.
//
// The players' events can arrive inside the calls that cause them (Stop, Play); Starting keeps StartIt from
// running inside itself, and nothing else is guarded.
//
// AutoPilot is also what the next-song choice and the playlist loaders see of the console (PlaylistHost).
//
// UI thread only.

#include "playlist/playlisthost.h"

#include <QObject>
#include <QRandomGenerator>

#include <functional>
#include <memory>

namespace marvane {

class AudioEngine;
class Dialogs;
class ImageButtonRule;
class MainForm;
class MediaPlayer;
class NextSongChooser;
class SettingsStore;
struct ColorScheme;
struct ConsoleState;
struct Playlist;

class AutoPilot : public QObject, public PlaylistHost {
  Q_OBJECT

 public:
  static const QString kNextSong;
  static const QString kNextSongStopped;
  static const QString kNone;

  AutoPilot(MainForm& form, AudioEngine& engine, SettingsStore& settings, ConsoleState& state,
            const ColorScheme& colors, Playlist& playlist, Dialogs& dialogs, ImageButtonRule& rule,
            QRandomGenerator& random, QObject* parent = nullptr);
  ~AutoPilot() override;

  NextSongChooser& Chooser() { return *chooser_; }

  // The buttons' actions.
  void APlay();
  void AStop();
  void ANext();
  void ShuffButtClick();
  // Start-up's restore of what the SmartRandom button stores; false when the stored text is not a Boolean.
  bool RestoreSmartRandom();
  // Starts NextFile on the other player (or plays it there when it is open already).
  void StartIt();
  // The stop-now of a second AStop press, also run when line 0 fades out with the crossfader.
  void StopNow();
  // The main timer's AutoPilot tick: stall watchdog, early open, hand-over.
  void Tick();

  // The AutoPilot players' events.
  void APOpenStateChange(int index, int newState);
  void APPlayStateChange(int index, int newState);

  int CurrentAP() const { return currentAP_; }
  int StallTicks() const { return stallTicks_; }
  bool Starting() const { return starting_; }
  bool PlayWhenOpened() const { return playWhenOpened_; }

  // A song started on an AutoPilot player: (full path), for the song log.
  std::function<void(const QString&)> logSong;
  // The level correction in decibels for a song about to be opened or played on an AutoPilot player (even
  // loudness); without it, or for 0, the song plays as it is.
  std::function<double(const QString&)> songTrim;

  // PlaylistHost.
  bool AutoPilotOn() const override;
  void SetAutoPilotOn(bool on) override;
  bool AutoPilotLoop() const override;
  bool SmartRandom() const override;
  qint16 NoRep() const override;
  void ShowNextSong(const QString& name) override;
  void ShowPlaylistTitle(const QString& text) override;
  void OpenSound(int line, const QString& path, bool autoStart) override;

 private:
  MediaPlayer& AP(int index) const;
  const QString& NextFile() const;
  void PaintLine(bool playing);
  void Level(MediaPlayer& player, const QString& file) const;

  MainForm& form_;
  AudioEngine& engine_;
  SettingsStore& settings_;
  ConsoleState& state_;
  const ColorScheme& colors_;
  Playlist& playlist_;
  QRandomGenerator& random_;
  std::unique_ptr<NextSongChooser> chooser_;
  int currentAP_ = 0;
  int stallTicks_ = 0;
  bool starting_ = false;
  bool playWhenOpened_ = false;
};

}  // namespace marvane
