#pragma once
// The engine's half of one player: a decoder thread that fills a queue of blocks ahead of playback, and the
// mixing step that the audio callback runs. MediaPlayer drives it from the UI thread.
//
// THREADS
// - UI thread: RequestOpen, RequestClose, RequestSeek, SetPlaying, SetPlayCount, SetGain, Position, HasEnded.
//   Requests are queued under a mutex for the decoder thread; everything the callback reads is an atomic.
// - Decoder thread (owned here): opens, seeks and decodes into the BlockQueue; leaves the result of each open
//   for the UI thread to collect with TakeOpenResult. With a news function set (SetNews), it also tells the UI
//   thread when an open has finished and when the callback reached the end of the file, so a player on a real
//   device needs no polling.
// - Mixing thread (the audio callback): MixInto and, for offline outputs only, ReadyToMix and WakeDecoder.
//   MixInto takes no lock and allocates nothing; its only system call is waking the decoder thread: when it
//   waits for room, at most once per half queue played (about a second), and when the file's end was played.
//
// Every open, close and seek starts a new generation. Blocks carry the generation they were decoded for, and
// the callback drops blocks of older generations unheard, so a seek never plays stale sound and the
// single-producer single-consumer queue never has to be emptied from the producer's side. A block of a newer
// generation than the one a callback began with (a seek posted while it mixes) is current, never stale.
//
// After the last block of a play the decoder goes on from the start of the file at once: a loop is seamless,
// and a file whose end was reached is already rewound for its next Play, whoever noticed the end first.
//
// Nothing is cut off: a Play glides in from silence, and when the sound of a play is let go (Stop, a new Play,
// or an open or close over it) the callback takes its next few milliseconds out of the queue without consuming
// them, fades them to silence and plays them out of a buffer of its own. The position stays where the play was
// let go, so a later Play resumes exactly there.

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

#include "audio/blockqueue.h"
#include "audio/gain.h"

namespace marvane {

// Lets an offline renderer sleep until some decoder has published a block.
struct DecodeSignal {
  std::mutex mutex;
  std::condition_variable published;
};

class PlayerVoice {
 public:
  struct OpenResult {
    std::uint32_t token = 0;
    bool ok = false;
    double duration = 0.0;
    QString error;
  };
  // `signal` may be null (real-time outputs); with it, the decoder announces every block it publishes.
  PlayerVoice(int outputRate, DecodeSignal* signal);
  // Ends the decoder thread (see BeginShutdown), waiting for it as long as it takes.
  ~PlayerVoice();
  PlayerVoice(const PlayerVoice&) = delete;
  PlayerVoice& operator=(const PlayerVoice&) = delete;

  // UI thread: the result of the latest finished open, once. False while none is waiting.
  bool TakeOpenResult(OpenResult* result);
  // UI thread: `news` is called on the decoder thread after an open finished and after the callback played the
  // file's end (HasEnded). It must return at once (the engine's writes to an eventfd); BeginShutdown clears it.
  void SetNews(std::function<void()> news);

  // UI thread. Each returns at once; the work happens on the decoder thread. Opening or closing interrupts any
  // read of the file let go, so a file that stopped answering never holds the player.
  std::uint32_t RequestOpen(const QString& path);  // returns the token its OpenResult will carry
  void RequestClose();
  // A seek to 0 while stopped, when the sound to come already starts at the file's start (a file just opened,
  // rewound before, or whose end was reached), keeps the blocks decoded so far: the next Play sounds at once.
  void RequestSeek(double seconds);

  // UI thread, at shutdown: asks the decoder thread to end, interrupting any read. Returns at once.
  void BeginShutdown();
  // Waits until `deadline` for the decoder thread to end. False when it did not: it is stuck in a read that the
  // system cannot interrupt (a network mount that stopped answering). The thread is then detached and still uses
  // this object whenever the read returns, so the caller must leave the voice alive (the engine leaks it on
  // purpose as the program ends).
  bool FinishShutdown(std::chrono::steady_clock::time_point deadline);

  // The output's rate changed: the file goes on at `rate` from `seconds` (decoded afresh for the new rate).
  // Only while no output pulls the mix.
  void ChangeRate(int rate, double seconds);

  void SetPlaying(bool playing);
  bool Playing() const { return playing_.load(std::memory_order_relaxed); }
  // UI thread: the engine stopped its output (false) or started it again (true). While no callback runs, the UI
  // thread drops the blocks that a seek, open or close made stale itself, so the decoder has room at once.
  void SetMixerRunning(bool running);
  void SetPlayCount(int count);
  void SetGain(StereoGain gain);

  // Seconds already mixed in the current generation, or nothing while a seek or open has not yet produced
  // sound (the caller then knows the target better).
  bool Position(double* seconds) const;
  // True when the current play reached the end of its last play count.
  bool HasEnded() const;

  // Mixing thread.
  void MixInto(float* out, int frames) noexcept;
  // Mixing thread, offline only: true when `frames` can be mixed without starving (or nothing more will come).
  bool ReadyToMix(int frames);
  // Wakes the decoder once its queue is half empty, so it decodes in long runs rather than a block at a time.
  void WakeDecoder() noexcept { Consumed(); }

 private:
  enum class RequestKind { kOpen, kClose, kSeek, kRate };
  struct Request {
    RequestKind kind;
    std::uint32_t generation;
    std::uint32_t token;
    QString path;
    double seconds;
    std::stop_token stop;  // for an open: requested when the file is let go
  };

  std::uint32_t NextGeneration();
  void Post(Request request);
  void DecoderMain();
  // True when block is of an older generation than the current one; a block of a newer generation than
  // *generation is current, and *generation moves up to it.
  bool Stale(const AudioBlock& block, std::uint32_t* generation) const noexcept;
  void DropStale(std::uint32_t* generation) noexcept;
  // Mixing thread: when the sound of the last play was let go, fills fade_ with what it would have played next,
  // gliding to silence. Before any stale block is dropped.
  void CatchFade(bool playing, std::uint32_t epoch) noexcept;
  // Any thread: wakes the decoder thread from its wait.
  void WakeDecoderThread() noexcept;
  // The consumer's side (mixing thread, or the UI thread while no callback runs) after releasing blocks: wakes a
  // decoder that waits for room once half the queue is free. Takes no lock: an atomic and, only when the decoder
  // sleeps, one futex wake-up, at most once per half queue played.
  void Consumed() noexcept;

  static constexpr int kGenerationBits = 16;
  static constexpr std::uint64_t kFrameMask = (std::uint64_t{1} << (64 - kGenerationBits)) - 1;
  static std::uint64_t PackPosition(std::uint32_t generation, std::int64_t frame) {
    return (static_cast<std::uint64_t>(generation & 0xFFFF) << (64 - kGenerationBits)) |
           (static_cast<std::uint64_t>(frame) & kFrameMask);
  }

  std::atomic<int> outputRate_;  // written by ChangeRate only, while nothing mixes
  DecodeSignal* const signal_;
  BlockQueue queue_;

  // Written by the UI thread, read by the decoder and the callback.
  std::atomic<std::uint32_t> generation_{0};
  std::atomic<bool> playing_{false};
  std::atomic<std::uint32_t> playEpoch_{0};
  std::atomic<int> playCount_{1};
  std::atomic<float> gainLeft_{1.0f};
  std::atomic<float> gainRight_{1.0f};
  std::uint32_t uiGeneration_ = 0;  // UI thread's copy
  std::uint32_t uiToken_ = 0;
  bool uiAtStart_ = false;  // stopped, and the current generation's next sound is the file's start
  std::stop_source fileStop_;  // UI thread: stops the reads of the file opened last
  bool mixerRunning_ = true;  // UI thread's copy: false while the engine's output sleeps

  // Written by the callback.
  std::atomic<std::uint64_t> position_{0};
  std::atomic<std::uint32_t> endedEpoch_{0xFFFFFFFF};
  std::atomic<bool> endedRewound_{false};  // with endedEpoch_: the blocks after the end start the file again
  // Callback-only state.
  float currentLeft_ = 0.0f;
  float currentRight_ = 0.0f;
  std::uint32_t seenEpoch_ = 0xFFFFFFFF;
  int loopsDone_ = 0;
  int readOffset_ = 0;
  // The last callback mixed sound of this generation for seenEpoch_, so letting it go needs a fade.
  bool sounding_ = false;
  std::uint32_t soundingGeneration_ = 0;
  // Largest gain change per frame: a full-scale move takes 5 ms, short enough to follow a slider at once and
  // long enough that no step is heard as a click.
  float maxGainStep_;
  // The fade of the sound let go last: interleaved stereo, already faded; fadeRead_ frames of it were played.
  std::vector<float> fade_;
  int fadeLength_ = 0;
  int fadeRead_ = 0;

  // Written by the decoder thread: the generation for which nothing more will be decoded (-1: busy).
  std::atomic<std::int64_t> idleGeneration_{0};

  std::mutex resultMutex_;
  std::optional<OpenResult> openResult_;
  std::mutex newsMutex_;  // held while the news function is called, so it is never called once cleared
  std::function<void()> news_;

  std::mutex mutex_;
  std::deque<Request> requests_;
  // The decoder thread's one event, counted so no wake-up is lost: a request, room in the queue, shutdown.
  std::atomic<std::uint32_t> wakeups_{0};
  // Set by the decoder while it waits for the callback to free half the queue.
  std::atomic<bool> roomWanted_{false};
  bool quit_ = false;
  std::thread thread_;
  // Set by the decoder thread as its last act.
  std::mutex doneMutex_;
  std::condition_variable doneChanged_;
  bool done_ = false;
};

}  // namespace marvane
