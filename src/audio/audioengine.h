#pragma once
// The audio engine: one output, one mix, and eight players: AP(0) and AP(1) for the AutoPilot line and
// Player(1) to Player(6) for the manual lines.
//
// THREADS: the engine and its players are UI-thread objects (see mediaplayer.h). Each player has its own
// decoder thread (see playervoice.h). The output calls Render on its own thread; Render takes no lock,
// allocates nothing, does no I/O and emits nothing, except with an offline output, where it first waits for
// the decoders so that the render does not depend on thread timing.
//
// The sum of the players is clipped to [-1, 1], so loud mixes distort gently instead of wrapping around.
//
// A sound device that goes away while the engine runs (a USB card pulled out, the sound server restarted) is
// found by a watchdog on the UI thread: a stream that ended or broke, callbacks that stop coming or never come
// in time. The engine then plays on a real-time null output, which first makes up the time since the device
// last took sound, so players advance, end and raise their events as before; it says so once (OutputLost),
// tries to open the device again every second on the probe's thread, and goes back to it when it opens
// (OutputRestored), the players where real time has brought them. Only one output ever pulls the mix at a time.
// An output that was stopped on purpose is not lost.
//
// Quiet when idle: when no player has played for about two seconds, the engine stops its output (no callbacks,
// no device wake-ups) and starts it again inside the next Play, before Play returns. While the mix is held (it is
// being recorded) the output never sleeps. An offline output never sleeps. A device that will not start again
// counts as lost.
//
// The output the user chose (a device by name, frames per buffer, a rate) can change while the engine plays
// (SwitchOutput): the old output stops and is let go of, the new one starts, and the players go on where they
// were; a new rate makes every player decode afresh for it from its position. A chosen device that does not
// open plays on the default device instead, and the same probe tries the chosen one every second and moves to
// it when it opens. A lost chosen device comes back to the chosen device.

#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include "audio/audiooutput.h"

class QSocketNotifier;
class QTimer;

namespace marvane {

class Clock;
class DeviceProbe;
class MediaPlayer;
class MixTap;
class NullOutput;
class PlayerVoice;
struct DecodeSignal;

// The output the user chose: a device by name (PortAudioOutput::kDefaultDevice for the default), the frames per
// buffer and the rate.
struct OutputChoice {
  QString device;
  int bufferFrames = 1024;
  int sampleRate = 44100;
};

class AudioEngine : public QObject, private AudioSource {
  Q_OBJECT

 public:
  static constexpr int kPlayerCount = 8;
  // Opens the output a choice names, without starting it; null with a reason in *error.
  using OutputOpener = std::function<std::unique_ptr<AudioOutput>(const OutputChoice& choice, QString* error)>;

  // Takes the output and starts it at once. When it fails to start, the engine runs on a real-time null
  // output instead and OutputNotice() says why. The players' timers run on `clock` (the system clock unless a
  // simulated one is given).
  explicit AudioEngine(std::unique_ptr<AudioOutput> output, Clock* clock = nullptr, QObject* parent = nullptr);
  // Opens the chosen output through `open` and starts it. When the chosen device does not open, the default
  // device plays and AbsentNotice() says so until the chosen one opens; when no device opens, OutputNotice().
  AudioEngine(const OutputChoice& choice, OutputOpener open, Clock* clock = nullptr, QObject* parent = nullptr);
  ~AudioEngine() override;

  // PortAudio's devices, by OutputChoice.
  static std::unique_ptr<AudioOutput> OpenPortAudio(const OutputChoice& choice, QString* error);

  // Plays through `choice` from now on, opened through the engine's opener (an engine given a fixed output
  // has none and stays on it). The current output stops and is let go of first, so that a device it holds can
  // open again with other settings; the players go on where they were. When the chosen device does not open,
  // the default plays instead and OutputAbsent says why; when it opens later, OutputRestored.
  void SwitchOutput(const OutputChoice& choice);
  OutputChoice Choice() const { return choice_; }

  // PortAudio's default device (stereo float, 512 frames per buffer). When no device opens: a real-time null
  // output, and a one-line notice for the user in *notice (left empty when the device opened).
  static std::unique_ptr<AudioOutput> CreateDefaultOutput(QString* notice);

  // The AutoPilot players, index 0 or 1 (any other index is a programming error, asserted in debug builds).
  MediaPlayer& AP(int index);
  // The manual lines' players, line 1 to 6 (likewise asserted).
  MediaPlayer& Player(int line);
  // All eight by slot: 0 and 1 are AP(0) and AP(1), 2 to 7 are Player(1) to Player(6). Null outside 0..7.
  MediaPlayer* PlayerAt(int slot);

  // Every player that is opening a file gets its answer now (MediaPlayer::FinishOpen), each waiting up to
  // `timeoutMs` of real time. For a simulated clock, before it moves time on.
  void FinishOpens(int timeoutMs);

  // What pulls the mix now: the output given, a device opened again after a loss, or the null output standing
  // in for a lost device.
  AudioOutput& Output() { return *output_; }
  int SampleRate() const { return rate_; }
  // Why the engine is not playing through the output it was given, or empty.
  QString OutputNotice() const { return outputNotice_; }
  // True while a lost device is being stood in for.
  bool OutputLostNow() const { return lost_; }
  // Why the engine plays on another output than the chosen one, while it waits for the chosen one; or empty.
  QString AbsentNotice() const { return waiting_ ? absentNotice_ : QString(); }
  // While held, the output keeps running even when nothing plays (the mix is being recorded); held also starts a
  // sleeping output at once.
  void HoldOutput(bool hold);
  // True while the output runs (false while it sleeps because nothing plays).
  bool OutputRunning() const { return running_; }
  // How long the engine waits with nothing playing before it stops the output.
  static constexpr std::chrono::milliseconds kIdleStop{2000};

  // Output underruns since the engine started, over every device it has played through.
  std::int64_t Underruns() const { return pastUnderruns_ + output_->Underruns(); }

  // From the next callback on, a copy of the mix (after the clip, before the system's master volume) goes into
  // `tap`; null stops it. When this returns, no callback touches the tap given before, so it may be freed.
  void SetMixTap(MixTap* tap);

  // The notice for the user when the sound device goes away while playing.
  static const QString kDeviceLostNotice;
  // How long a device may go without a callback before it counts as lost (see AudioOutput::Check), and how
  // often a lost device is tried again.
  static constexpr std::chrono::milliseconds kStallLimit{1000};
  static constexpr std::chrono::milliseconds kRetryInterval{1000};

 Q_SIGNALS:
  // The sound device went away: the engine plays on silently, in time. Once per loss.
  void OutputLost(const QString& notice);
  // The device is back and plays again; or the chosen device, absent so far, appeared and plays now.
  void OutputRestored();
  // A switch of output could not open the chosen device: the engine plays on the default device (or silently)
  // and moves to the chosen one when it opens.
  void OutputAbsent(const QString& notice);

 private:
  // What opening a choice gave: the output, and when it is not the chosen device, why.
  struct Opened {
    std::unique_ptr<AudioOutput> output;
    QString notice;
    bool silent = false;  // no device opened: the null output plays
  };
  AudioEngine(Opened opened, const OutputChoice& choice, OutputOpener open, Clock* clock, QObject* parent);
  static Opened OpenChoice(const OutputChoice& choice, const OutputOpener& open);
  // Starts output_ (the null output standing in when it cannot start: then why) and watches it.
  QString StartOutput();
  // Every player decodes for the rate from now on.
  void FollowRate(int rate);
  // Looks for the chosen device on the probe's thread while another output plays.
  void AwaitChoice(const QString& notice);
  // The probe looks for the device lost, or for the chosen one while another plays.
  void Search();
  void MoveTo(std::unique_ptr<AudioOutput> device);
  void ListenToDecoders();
  // Stops the output once it played what it holds: the mix fades out over one callback and goes silent without
  // moving the players on, since a stopped device throws away the sound it had not played yet.
  void DrainAndStop();
  void Render(float* out, int frames) noexcept override;
  void WaitForDecoders(int frames);
  void WatchOutput();
  void LoseOutput(std::chrono::steady_clock::time_point lastPull);
  void StandIn(std::chrono::steady_clock::time_point from);
  // Starts a sleeping output again (Play, HoldOutput); stops a running one when nothing has played for kIdleStop.
  void WakeOutput();
  // The mixer runs from now on (before an output starts): the voices leave their queues to the callback.
  void MarkRunning();
  void SleepWhenIdle();

  std::unique_ptr<AudioOutput> output_;
  int rate_ = 44100;
  QString outputNotice_;
  // Set while the output is a device that can be lost.
  std::function<std::unique_ptr<AudioOutput>()> reopen_;
  QTimer* watch_ = nullptr;
  // With a real device: the decoder threads' news (an open finished, a file's end played) wakes the UI thread
  // through this eventfd, and every player looks (MediaPlayer::Poll); no player polls.
  int news_ = -1;
  QSocketNotifier* newsNotifier_ = nullptr;
  bool lost_ = false;
  // False while the output sleeps. The voices then let the UI thread drop stale blocks in the callback's place, so
  // whatever starts an output (a device coming back, a switch of devices) makes the engine running first.
  bool running_ = true;
  bool held_ = false;
  std::chrono::steady_clock::time_point lastBusy_;
  OutputChoice choice_;
  OutputOpener open_;
  // Set while the output plays in place of the chosen device, which the probe looks for.
  bool waiting_ = false;
  QString absentNotice_;
  // Set by the probe when what it found is the chosen device.
  std::shared_ptr<std::atomic<bool>> foundChoice_;
  // Underruns of the devices given up so far.
  std::int64_t pastUnderruns_ = 0;
  std::unique_ptr<DeviceProbe> probe_;
  bool offline_ = false;
  // 0 the mix plays; 1 the next callback fades it out; 2 it is held silent (DrainAndStop); 3 the next callback
  // fades it in (the first of a device the mix moved to, which takes up the sound mid-song).
  std::atomic<int> hold_{0};
  std::unique_ptr<DecodeSignal> signal_;
  std::array<std::unique_ptr<PlayerVoice>, kPlayerCount> voices_;
  std::array<MediaPlayer*, kPlayerCount> players_{};
  // The recorder's tap, and whether a callback is using it (SetMixTap's handshake).
  std::atomic<MixTap*> tap_{nullptr};
  std::atomic<bool> tapBusy_{false};
};

}  // namespace marvane
