#include "audio/playervoice.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>

#include "audio/decoder.h"
#include "audio/realtime.h"

namespace marvane {
namespace {

// A freshly opened file has this many blocks decoded before it reports open, so Play sounds at once.
constexpr int kPrimeBlocks = 4;

}  // namespace

PlayerVoice::PlayerVoice(int outputRate, DecodeSignal* signal)
    : outputRate_(outputRate),
      signal_(signal),
      maxGainStep_(1.0f / (0.005f * static_cast<float>(outputRate))),
      fade_(static_cast<std::size_t>(0.005 * std::max(outputRate, 48000) + 2.0) * 2) {
  thread_ = std::thread([this] {
    LowerDecoderThread();
    DecoderMain();
    std::lock_guard<std::mutex> lock(doneMutex_);
    done_ = true;
    doneChanged_.notify_all();
  });
}

PlayerVoice::~PlayerVoice() {
  BeginShutdown();
  if (thread_.joinable()) thread_.join();
}

void PlayerVoice::SetNews(std::function<void()> news) {
  std::lock_guard<std::mutex> lock(newsMutex_);
  news_ = std::move(news);
}

void PlayerVoice::BeginShutdown() {
  SetNews({});
  fileStop_.request_stop();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  WakeDecoderThread();
}

bool PlayerVoice::FinishShutdown(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock<std::mutex> lock(doneMutex_);
  if (!doneChanged_.wait_until(lock, deadline, [this] { return done_; })) {
    thread_.detach();
    return false;
  }
  lock.unlock();
  thread_.join();
  return true;
}

std::uint32_t PlayerVoice::NextGeneration() {
  uiGeneration_ = (uiGeneration_ + 1) & 0xFFFF;
  return uiGeneration_;
}

void PlayerVoice::Post(Request request) {
  std::uint32_t generation = request.generation;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    // An open or close makes every earlier request pointless; a seek replaces a seek still waiting.
    if (request.kind == RequestKind::kOpen || request.kind == RequestKind::kClose) {
      requests_.clear();
    } else if (!requests_.empty() && requests_.back().kind == RequestKind::kSeek) {
      requests_.pop_back();
    }
    requests_.push_back(std::move(request));
    // The generation changes under the mutex so the decoder never sees a request older than the generation.
    generation_.store(requests_.back().generation, std::memory_order_release);
  }
  if (!mixerRunning_) {
    // No callback runs: the UI thread stands in for it as the queue's consumer.
    DropStale(&generation);
  }
  WakeDecoderThread();
}

void PlayerVoice::WakeDecoderThread() noexcept {
  wakeups_.fetch_add(1, std::memory_order_release);
  wakeups_.notify_one();
}

void PlayerVoice::Consumed() noexcept {
  // Pairs with the fence in DecoderMain: either the decoder sees the room made here, or this sees that it waits.
  std::atomic_thread_fence(std::memory_order_seq_cst);
  if (roomWanted_.load(std::memory_order_relaxed) && queue_.Available() <= BlockQueue::kCapacity / 2 &&
      roomWanted_.exchange(false))
    WakeDecoderThread();
}

void PlayerVoice::SetMixerRunning(bool running) {
  mixerRunning_ = running;
  if (running) return;
  std::uint32_t generation = generation_.load(std::memory_order_acquire);
  DropStale(&generation);
  Consumed();
}

std::uint32_t PlayerVoice::RequestOpen(const QString& path) {
  const std::uint32_t token = ++uiToken_;
  fileStop_.request_stop();
  fileStop_ = std::stop_source();
  Post({RequestKind::kOpen, NextGeneration(), token, path, 0.0, fileStop_.get_token()});
  uiAtStart_ = !playing_.load(std::memory_order_relaxed);
  return token;
}

void PlayerVoice::RequestClose() {
  fileStop_.request_stop();
  Post({RequestKind::kClose, NextGeneration(), 0, QString(), 0.0, {}});
  uiAtStart_ = false;
}

void PlayerVoice::RequestSeek(double seconds) {
  seconds = std::max(0.0, seconds);
  // While stopped the callback consumes nothing of the current generation, so what the decoder queued from the
  // start is still there to play.
  if (seconds == 0.0 && uiAtStart_) return;
  Post({RequestKind::kSeek, NextGeneration(), 0, QString(), seconds, {}});
  uiAtStart_ = seconds == 0.0 && !playing_.load(std::memory_order_relaxed);
}

void PlayerVoice::ChangeRate(int rate, double seconds) {
  outputRate_.store(rate);
  maxGainStep_ = 1.0f / (0.005f * static_cast<float>(rate));
  {
    std::lock_guard<std::mutex> lock(mutex_);
    // An open still waiting will decode at the new rate anyway, and its generation already makes every block
    // queued before it stale.
    for (const Request& waiting : requests_)
      if (waiting.kind == RequestKind::kOpen) return;
  }
  Post({RequestKind::kRate, NextGeneration(), 0, QString(), std::max(0.0, seconds), {}});
}

void PlayerVoice::SetPlaying(bool playing) {
  if (playing) {
    playEpoch_.store(playEpoch_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
    uiAtStart_ = false;
  } else if (HasEnded() && endedRewound_.load(std::memory_order_relaxed)) {
    uiAtStart_ = true;  // the decoder already went on from the start after the end
  }
  playing_.store(playing, std::memory_order_release);
}

void PlayerVoice::SetPlayCount(int count) { playCount_.store(count, std::memory_order_relaxed); }

void PlayerVoice::SetGain(StereoGain gain) {
  gainLeft_.store(gain.left, std::memory_order_relaxed);
  gainRight_.store(gain.right, std::memory_order_relaxed);
}

bool PlayerVoice::TakeOpenResult(OpenResult* result) {
  std::lock_guard<std::mutex> lock(resultMutex_);
  if (!openResult_) return false;
  *result = std::move(*openResult_);
  openResult_.reset();
  return true;
}

bool PlayerVoice::Position(double* seconds) const {
  const std::uint64_t packed = position_.load(std::memory_order_acquire);
  if ((packed >> (64 - kGenerationBits)) != uiGeneration_) return false;
  *seconds = static_cast<double>(packed & kFrameMask) / outputRate_.load(std::memory_order_relaxed);
  return true;
}

bool PlayerVoice::HasEnded() const {
  return playing_.load(std::memory_order_relaxed) &&
         endedEpoch_.load(std::memory_order_acquire) == playEpoch_.load(std::memory_order_relaxed);
}

bool PlayerVoice::Stale(const AudioBlock& block, std::uint32_t* generation) const noexcept {
  if (block.generation == *generation) return false;
  // The decoder publishes a block only after the generation it belongs to was stored, so a fresh look tells a
  // block of a seek posted since this callback began from one that is really out of date.
  *generation = generation_.load(std::memory_order_acquire);
  return block.generation != *generation;
}

void PlayerVoice::DropStale(std::uint32_t* generation) noexcept {
  for (AudioBlock* block = queue_.ReadSlot(); block != nullptr && Stale(*block, generation);
       block = queue_.ReadSlot()) {
    queue_.Release();
    readOffset_ = 0;
  }
}

void PlayerVoice::CatchFade(bool playing, std::uint32_t epoch) noexcept {
  if (!sounding_ || (playing && epoch == seenEpoch_)) return;
  sounding_ = false;
  fadeLength_ = fadeRead_ = 0;
  const int capacity = static_cast<int>(fade_.size() / 2);
  int offset = readOffset_;
  // The blocks still waiting are exactly what this play would have mixed next; they are only looked at, so a
  // stopped player resumes where it stopped.
  for (int i = 0; fadeLength_ < capacity && (currentLeft_ > 0.0f || currentRight_ > 0.0f); ++i, offset = 0) {
    const AudioBlock* block = queue_.Peek(i);
    if (block == nullptr || block->generation != soundingGeneration_) break;
    for (; offset < block->frames && fadeLength_ < capacity; ++offset, ++fadeLength_) {
      currentLeft_ = std::max(0.0f, currentLeft_ - maxGainStep_);
      currentRight_ = std::max(0.0f, currentRight_ - maxGainStep_);
      fade_[2 * fadeLength_] = block->samples[2 * offset] * currentLeft_;
      fade_[2 * fadeLength_ + 1] = block->samples[2 * offset + 1] * currentRight_;
    }
    if (block->endOfFile) break;
  }
  currentLeft_ = currentRight_ = 0.0f;
}

void PlayerVoice::MixInto(float* out, int frames) noexcept {
  std::uint32_t generation = generation_.load(std::memory_order_acquire);
  const bool playing = playing_.load(std::memory_order_acquire);
  const std::uint32_t epoch = playEpoch_.load(std::memory_order_acquire);
  CatchFade(playing, epoch);
  // The fade of a sound let go overlaps whatever this player plays next.
  const int fading = std::min(frames, fadeLength_ - fadeRead_);
  for (int i = 0; i < fading * 2; ++i) out[i] += fade_[2 * fadeRead_ + i];
  fadeRead_ += fading;
  DropStale(&generation);
  if (!playing || endedEpoch_.load(std::memory_order_relaxed) == epoch) {
    Consumed();  // stale blocks may have gone
    return;
  }
  if (epoch != seenEpoch_) {
    // A new Play: count the plays afresh and glide in from silence, so resuming mid-song does not click.
    seenEpoch_ = epoch;
    loopsDone_ = 0;
    currentLeft_ = currentRight_ = 0.0f;
  }
  const float targetLeft = gainLeft_.load(std::memory_order_relaxed);
  const float targetRight = gainRight_.load(std::memory_order_relaxed);
  int done = 0;
  while (done < frames) {
    AudioBlock* block = queue_.ReadSlot();
    if (block == nullptr) break;  // starved: the rest of this callback is silence for this player only
    if (Stale(*block, &generation)) {
      queue_.Release();
      readOffset_ = 0;
      continue;
    }
    const int count = std::min(block->frames - readOffset_, frames - done);
    // The block and the mix never overlap; saying so lets the compiler vectorise the loops below.
    const float* __restrict in = block->samples.data() + static_cast<std::ptrdiff_t>(readOffset_) * 2;
    float* __restrict mix = out + static_cast<std::ptrdiff_t>(done) * 2;
    if (currentLeft_ == targetLeft && currentRight_ == targetRight) {
      for (int i = 0; i < count; ++i) {
        mix[2 * i] += in[2 * i] * targetLeft;
        mix[2 * i + 1] += in[2 * i + 1] * targetRight;
      }
    } else {
      for (int i = 0; i < count; ++i) {
        currentLeft_ += std::clamp(targetLeft - currentLeft_, -maxGainStep_, maxGainStep_);
        currentRight_ += std::clamp(targetRight - currentRight_, -maxGainStep_, maxGainStep_);
        mix[2 * i] += in[2 * i] * currentLeft_;
        mix[2 * i + 1] += in[2 * i + 1] * currentRight_;
      }
    }
    readOffset_ += count;
    done += count;
    if (count > 0) {
      sounding_ = true;
      soundingGeneration_ = generation;
    }
    position_.store(PackPosition(generation, block->startFrame + readOffset_), std::memory_order_release);
    if (readOffset_ < block->frames) continue;
    const bool endOfFile = block->endOfFile;
    const bool restarts = block->restarts;
    queue_.Release();
    readOffset_ = 0;
    if (!endOfFile) continue;
    const int playCount = playCount_.load(std::memory_order_relaxed);
    if (restarts && (playCount <= 0 || loopsDone_ + 1 < playCount)) {
      ++loopsDone_;  // the decoder already went on from the start: no gap
      continue;
    }
    position_.store(PackPosition(generation, 0), std::memory_order_release);
    endedRewound_.store(restarts, std::memory_order_relaxed);
    endedEpoch_.store(epoch, std::memory_order_release);
    WakeDecoderThread();  // it tells the UI thread
    sounding_ = false;  // the file's own end: nothing to fade
    break;
  }
  Consumed();
}

bool PlayerVoice::ReadyToMix(int frames) {
  std::uint32_t generation = generation_.load(std::memory_order_acquire);
  const bool playing = playing_.load(std::memory_order_acquire);
  CatchFade(playing, playEpoch_.load(std::memory_order_acquire));
  DropStale(&generation);
  Consumed();
  if (!playing) return true;
  if (endedEpoch_.load(std::memory_order_relaxed) == playEpoch_.load(std::memory_order_acquire)) return true;
  int available = -readOffset_;
  int loops = loopsDone_;
  if (seenEpoch_ != playEpoch_.load(std::memory_order_relaxed)) loops = 0;
  const int playCount = playCount_.load(std::memory_order_relaxed);
  for (int i = 0; available < frames; ++i) {
    const AudioBlock* block = queue_.Peek(i);
    if (block == nullptr) break;
    if (Stale(*block, &generation)) continue;
    available += block->frames;
    if (block->endOfFile) {
      if (!block->restarts || (playCount > 0 && loops + 1 >= playCount)) return true;
      ++loops;
    }
  }
  if (available >= frames) return true;
  return idleGeneration_.load(std::memory_order_acquire) == static_cast<std::int64_t>(generation);
}

void PlayerVoice::DecoderMain() {
  std::unique_ptr<Decoder> decoder;
  std::uint32_t generation = 0;
  std::int64_t nextFrame = 0;
  bool atEnd = true;       // nothing more to decode for this generation
  bool pushEnd = false;    // a failed seek still owes the callback an end-of-file block
  std::uint32_t primeToken = 0;  // an open waiting to report until a few blocks are ready
  int primed = 0;
  double primeDuration = 0.0;
  QString path;  // the file open now, and what stops its reads: a new rate opens it afresh
  std::stop_token stop;

  auto tell = [this] {
    std::lock_guard<std::mutex> newsLock(newsMutex_);
    if (news_) news_();
  };
  auto report = [&](std::uint32_t token, bool ok, double duration, const QString& error) {
    {
      std::lock_guard<std::mutex> resultLock(resultMutex_);
      openResult_ = OpenResult{token, ok, duration, error};
    }
    tell();
  };
  std::uint32_t toldEnd = endedEpoch_.load(std::memory_order_acquire);

  // Sleeps until the next wake-up after `seen` (a request, room in the queue, shutdown), without the mutex.
  std::unique_lock<std::mutex> lock(mutex_);
  auto sleep = [&](std::uint32_t seen) {
    lock.unlock();
    wakeups_.wait(seen, std::memory_order_acquire);
    lock.lock();
  };
  while (!quit_) {
    // Read before the requests are looked at, so a request posted after that look still wakes the wait below.
    const std::uint32_t seen = wakeups_.load(std::memory_order_acquire);
    if (const std::uint32_t ended = endedEpoch_.load(std::memory_order_acquire); ended != toldEnd) {
      toldEnd = ended;  // the callback played the file's end and woke this thread to say so
      lock.unlock();
      tell();
      lock.lock();
    }
    if (!requests_.empty()) {
      Request request = std::move(requests_.front());
      requests_.pop_front();
      idleGeneration_.store(-1, std::memory_order_release);
      lock.unlock();
      if (primeToken != 0) {
        report(primeToken, true, primeDuration, QString());  // superseded before it finished priming
        primeToken = 0;
      }
      generation = request.generation;
      pushEnd = false;
      switch (request.kind) {
        case RequestKind::kOpen: {
          decoder.reset();
          QString error;
          decoder = OpenDecoder(request.path, outputRate_, &error, request.stop);
          path = request.path;
          stop = request.stop;
          nextFrame = 0;
          atEnd = decoder == nullptr;
          if (decoder == nullptr) {
            report(request.token, false, 0.0, error);
          } else {
            primeToken = request.token;
            primeDuration = decoder->Duration();
            primed = 0;
          }
          break;
        }
        case RequestKind::kClose:
          decoder.reset();
          atEnd = true;
          break;
        case RequestKind::kSeek:
          if (decoder != nullptr) {
            const double seconds = std::min(request.seconds, std::max(0.0, decoder->Duration()));
            const bool ok = decoder->Seek(seconds);
            nextFrame = std::llround(seconds * outputRate_);
            atEnd = !ok;
            pushEnd = !ok;
          }
          break;
        case RequestKind::kRate:
          if (decoder != nullptr) {
            // A file that cannot be opened again at the new rate ends where it is.
            QString error;
            std::unique_ptr<Decoder> fresh = OpenDecoder(path, outputRate_, &error, stop);
            const double seconds = std::min(request.seconds, std::max(0.0, decoder->Duration()));
            const bool ok = fresh != nullptr && fresh->Seek(seconds);
            if (fresh != nullptr) decoder = std::move(fresh);
            nextFrame = std::llround(seconds * outputRate_);
            atEnd = !ok;
            pushEnd = !ok;
          }
          break;
      }
      lock.lock();
      continue;
    }

    if (decoder != nullptr && (!atEnd || pushEnd)) {
      AudioBlock* block = queue_.WriteSlot();
      if (block != nullptr) {
        lock.unlock();
        const int frames = pushEnd ? 0 : decoder->Read(block->samples.data(), AudioBlock::kFrames);
        block->frames = frames;
        block->startFrame = nextFrame;
        block->generation = generation;
        block->endOfFile = frames < AudioBlock::kFrames;
        block->restarts = false;
        nextFrame += frames;
        pushEnd = false;
        if (block->endOfFile) {
          // Going on from the start at once is what makes a loop seamless and leaves an ended file rewound;
          // the callback decides at the end of the block whether that sound is heard. A play that gave no
          // sound at all is not repeated: the decoder and the callback would only spin.
          block->restarts = nextFrame > 0 && decoder->Seek(0.0);
          atEnd = !block->restarts;
          if (block->restarts) nextFrame = 0;
        }
        queue_.Publish();
        // An offline renderer that ran dry waits for a half-full queue (see AudioEngine::WaitForDecoders), so
        // telling it about every block would only make the two threads take turns a block at a time.
        if (signal_ != nullptr && (block->endOfFile || queue_.Available() >= BlockQueue::kCapacity / 2))
          signal_->published.notify_all();
        if (primeToken != 0 && (++primed >= kPrimeBlocks || atEnd)) {
          report(primeToken, true, primeDuration, QString());
          primeToken = 0;
        }
        lock.lock();
        continue;
      }
      if (primeToken != 0) {
        report(primeToken, true, primeDuration, QString());
        primeToken = 0;
      }
      // Full: the callback wakes this thread once it has played half the queue, so the decoder works in long
      // runs; a stopped player's decoder sleeps until a request comes.
      roomWanted_.store(true, std::memory_order_seq_cst);
      std::atomic_thread_fence(std::memory_order_seq_cst);
      if (queue_.Available() > BlockQueue::kCapacity / 2) {
        sleep(seen);
      } else {
        roomWanted_.store(false, std::memory_order_relaxed);
      }
      continue;
    }

    idleGeneration_.store(generation, std::memory_order_release);
    if (signal_ != nullptr) signal_->published.notify_all();
    sleep(seen);
  }
}

}  // namespace marvane
