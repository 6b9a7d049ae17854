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

#include <QObject>
#include <QString>

#include <array>
#include <memory>

#include "audio/audiooutput.h"

namespace marvane {

class Clock;
class MediaPlayer;
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

  AudioOutput& Output() { return *output_; }
  int SampleRate() const { return output_->SampleRate(); }
  // Why the engine is not playing through the output it was given, or empty.
  QString OutputNotice() const { return outputNotice_; }

 private:
  void Render(float* out, int frames) noexcept override;
  void WaitForDecoders(int frames);

  std::unique_ptr<AudioOutput> output_;
  QString outputNotice_;
  bool offline_ = false;
  std::unique_ptr<DecodeSignal> signal_;
  std::array<std::unique_ptr<PlayerVoice>, kPlayerCount> voices_;
  std::array<MediaPlayer*, kPlayerCount> players_{};
};

}  // namespace marvane
