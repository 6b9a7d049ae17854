#pragma once
// One media player as the console sees it: open a file, play, stop, seek, loop, volume and balance, and the
// open-state and play-state events.
//
// THREADS: a UI-thread object. Every member is called on the thread that owns the engine, and both signals are
// emitted there. A change caused by a call (Play, Stop, Open's move to opening and any stop or close it makes
// first) is emitted inside that call, before it returns. A change the engine finds (the open finished or failed,
// the end of the file) arrives later through the event loop.
//
// States (common/states.h): OpenState 0 closed, 5 opening, 6 open. PlayState 2 playing, 0 stopped.
// Levels: Volume -10000 (silence) to 0 in hundredths of a decibel; Balance -10000 to 10000 in hundredths of a
// decibel by which the opposite channel is lowered (negative lowers the right channel). PlayCount is how many
// times the file plays before it stops (0 or less: for ever); the end of the last play stops the player and
// rewinds it to 0.

#include "common/states.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

namespace marvane {

class Clock;
class ClockTimer;
class PlayerVoice;

class MediaPlayer : public QObject {
  Q_OBJECT

 public:
  // The engine makes the players; `voice` must outlive the player's last call. The poll timer runs on `clock`.
  MediaPlayer(PlayerVoice* voice, Clock& clock, QObject* parent = nullptr);
  ~MediaPlayer() override;

  void Open(const QString& file);
  void Play();
  void Stop();

  QString FileName() const { return fileName_; }
  void SetFileName(const QString& file) { Open(file); }
  double CurrentPosition() const;
  void SetCurrentPosition(double seconds);
  double Duration() const { return openState_ == kOpen ? duration_ : 0.0; }
  PlayStateCode PlayState() const { return playState_; }
  OpenStateCode OpenState() const { return openState_; }
  int PlayCount() const { return playCount_; }
  void SetPlayCount(int count);
  bool AutoStart() const { return autoStart_; }
  void SetAutoStart(bool on) { autoStart_ = on; }
  int Volume() const { return volume_; }
  void SetVolume(int hundredthsDb);
  int Balance() const { return balance_; }
  void SetBalance(int hundredthsDb);
  // Both at once: the gain is computed and sent once.
  void SetVolumeAndBalance(int volume, int balance);
  // A level correction in decibels on top of volume and balance (AutoPilot's even loudness); 0 by default.
  double Trim() const { return trimDb_; }
  void SetTrim(double db);

  // While the file is opening, waits up to `timeoutMs` of real time for the decoder's answer and raises the open
  // state change at once. For a simulated clock, on which time stands still while a decoder probes a file: an
  // open then takes no simulated time, as a local file's open takes no time worth counting.
  void FinishOpen(int timeoutMs);

  // The engine's output rate changed (while nothing mixes): the file goes on at the new rate from where it is.
  void ChangeOutputRate(int rate);

  // Why the last open failed (for a debug view); empty after a successful open.
  QString LastError() const { return lastError_; }

  // Set by the engine: called inside Play, before the player starts, so a sleeping output is running again by the
  // time Play returns.
  std::function<void()> wakeOutput;
  // Looks at what the decoder and the callback found: the end of an open, the end of the file. The player's own
  // timer calls it every 10 ms of its clock while it opens or plays, so that a render on a simulated clock hears
  // of an end at the same moment every time. The engine of a real device turns that timer off (SetPolled) and
  // calls it when a decoder thread has news instead.
  void Poll();
  void SetPolled(bool polled);

 Q_SIGNALS:
  void OpenStateChange(int oldState, int newState);
  void PlayStateChange(int oldState, int newState);

 private:
  void OpenFinished(std::uint32_t token, bool ok, double duration, const QString& error);
  void UpdatePolling();
  void ChangeOpenState(OpenStateCode state);
  void ChangePlayState(PlayStateCode state);
  void ApplyGain();

  PlayerVoice* const voice_;
  ClockTimer* poll_;
  bool polled_ = true;
  QString fileName_;
  QString lastError_;
  double duration_ = 0.0;
  double seekTarget_ = 0.0;  // the position to report until the voice has played from there
  std::uint32_t openToken_ = 0;
  OpenStateCode openState_ = kClosed;
  PlayStateCode playState_ = kStopped;
  int playCount_ = 1;
  bool autoStart_ = true;
  int volume_ = 0;
  int balance_ = 0;
  double trimDb_ = 0.0;
};

}  // namespace marvane
