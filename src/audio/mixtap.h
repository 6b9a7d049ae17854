#pragma once
// A copy of the engine's mix on its way to a file: a single-producer single-consumer ring of stereo frames
// between the audio callback (Push) and one writer thread (Pop). The ring's memory is allocated once, when it is
// made; Push never blocks, locks or allocates. When the writer falls behind and a block does not fit, the block
// is dropped whole and counted, so the callback never waits on the disk.
//
// Threads: Push on the mixing thread only, Pop on one consumer thread only; the counters may be read anywhere.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

namespace marvane {

class MixTap {
 public:
  // Room for `capacityFrames` stereo frames (rounded up to a power of two).
  explicit MixTap(int capacityFrames) {
    std::uint64_t size = 1;
    while (size < static_cast<std::uint64_t>(std::max(capacityFrames, 1))) size <<= 1;
    mask_ = size - 1;
    samples_.assign(static_cast<std::size_t>(size) * 2, 0.0f);
  }

  // Mixing thread: copies `frames` interleaved stereo frames in, or drops them all when they do not fit.
  void Push(const float* in, int frames) noexcept {
    const std::uint64_t write = write_.load(std::memory_order_relaxed);
    const std::uint64_t read = read_.load(std::memory_order_acquire);
    if (write - read + static_cast<std::uint64_t>(frames) > mask_ + 1) {
      dropped_.fetch_add(frames, std::memory_order_relaxed);
      return;
    }
    for (int i = 0; i < frames; ++i) {
      const std::size_t at = static_cast<std::size_t>((write + static_cast<std::uint64_t>(i)) & mask_) * 2;
      samples_[at] = in[2 * i];
      samples_[at + 1] = in[2 * i + 1];
    }
    write_.store(write + static_cast<std::uint64_t>(frames), std::memory_order_release);
  }

  // Consumer thread: takes up to `maxFrames` frames into `out` (maxFrames * 2 floats); returns how many.
  int Pop(float* out, int maxFrames) noexcept {
    const std::uint64_t read = read_.load(std::memory_order_relaxed);
    const std::uint64_t write = write_.load(std::memory_order_acquire);
    const int frames = static_cast<int>(std::min<std::uint64_t>(write - read, static_cast<std::uint64_t>(maxFrames)));
    for (int i = 0; i < frames; ++i) {
      const std::size_t at = static_cast<std::size_t>((read + static_cast<std::uint64_t>(i)) & mask_) * 2;
      out[2 * i] = samples_[at];
      out[2 * i + 1] = samples_[at + 1];
    }
    read_.store(read + static_cast<std::uint64_t>(frames), std::memory_order_release);
    return frames;
  }

  // Frames taken in and frames dropped since the tap was made.
  std::int64_t FramesTaken() const { return static_cast<std::int64_t>(write_.load(std::memory_order_acquire)); }
  std::int64_t FramesDropped() const { return dropped_.load(std::memory_order_relaxed); }

 private:
  std::vector<float> samples_;
  std::uint64_t mask_ = 0;
  std::atomic<std::uint64_t> write_{0};
  std::atomic<std::uint64_t> read_{0};
  std::atomic<std::int64_t> dropped_{0};
};

}  // namespace marvane
