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

#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include "audio/audiooutput.h"

class QTimer;

namespace marvane {

class Clock;
class DeviceProbe;
class MediaPlayer;
class MixTap;
class NullOutput;
class PlayerVoice;
struct DecodeSignal;

class AudioEngine : public QObject, private AudioSource {
  Q_OBJECT

 public:
  static constexpr int kPlayerCount = 8;

  // Takes the output and starts it at once. When it fails to start, the engine runs on a real-time null
  // output instead and OutputNotice() says why. The players' timers run on `clock` (the system clock unless a
  // simulated one is given).
  explicit AudioEngine(std::unique_ptr<AudioOutput> output, Clock* clock = nullptr, QObject* parent = nullptr);
  ~AudioEngine() override;

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
  // The device is back and plays again.
  void OutputRestored();

 private:
  void Render(float* out, int frames) noexcept override;
  void WaitForDecoders(int frames);
  void WatchOutput();
  void LoseOutput(std::chrono::steady_clock::time_point lastPull);
  void StandIn(std::chrono::steady_clock::time_point from);

  std::unique_ptr<AudioOutput> output_;
  int rate_ = 44100;
  QString outputNotice_;
  // Set while the output is a device that can be lost.
  std::function<std::unique_ptr<AudioOutput>()> reopen_;
  QTimer* watch_ = nullptr;
  bool lost_ = false;
  // Underruns of the devices given up so far.
  std::int64_t pastUnderruns_ = 0;
  std::unique_ptr<DeviceProbe> probe_;
  bool offline_ = false;
  std::unique_ptr<DecodeSignal> signal_;
  std::array<std::unique_ptr<PlayerVoice>, kPlayerCount> voices_;
  std::array<MediaPlayer*, kPlayerCount> players_{};
  // The recorder's tap, and whether a callback is using it (SetMixTap's handshake).
  std::atomic<MixTap*> tap_{nullptr};
  std::atomic<bool> tapBusy_{false};
};

}  // namespace marvane
