#pragma once
// A single-producer single-consumer queue of preallocated audio blocks between one decoder thread (producer)
// and the mixing thread (consumer).
//
// Threads: WriteSlot/Publish only on the producer thread, ReadSlot/Release only on the consumer thread;
// Available may be read anywhere. Neither side ever blocks, locks or allocates: the consumer is the audio
// callback. The memory of every block is allocated once, by the producer before it publishes its first block (a
// player that never opens a file holds none), so a player's memory does not grow with the length of its file.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

namespace marvane {

// Decoded audio: interleaved stereo float at the output rate, tagged with where it came from.
struct AudioBlock {
  // 1024 frames is about 23 ms at 44.1 kHz: small enough that a seek throws little away, large enough that
  // the decoder thread wakes rarely.
  static constexpr int kFrames = 1024;
  std::array<float, kFrames * 2> samples{};
  int frames = 0;
  // Position of the first frame within the file, in output-rate frames.
  std::int64_t startFrame = 0;
  // The seek generation the block belongs to; blocks of an older generation are dropped unheard.
  std::uint32_t generation = 0;
  // The last block of one play of the file (it may hold no frames).
  bool endOfFile = false;
  // With endOfFile: the blocks after it start the file again. False when the file cannot go back to its start
  // or its last play gave no sound at all; then nothing follows in this generation.
  bool restarts = false;
};

class BlockQueue {
 public:
  // 96 blocks hold about 2.2 s at 44.1 kHz (768 KB): enough to ride over a slow disk, and long runs for each
  // decoder when eight share one core, yet only 6 MB for all eight players.
  static constexpr int kCapacity = 96;

  BlockQueue() = default;
  BlockQueue(const BlockQueue&) = delete;
  BlockQueue& operator=(const BlockQueue&) = delete;

  // Producer: the next free block, or nullptr when the queue is full.
  AudioBlock* WriteSlot() {
    // The consumer reads blocks_ only after it sees a block published, which happens after this.
    if (blocks_ == nullptr) blocks_ = std::make_unique<AudioBlock[]>(kCapacity);
    const std::uint64_t write = write_.load(std::memory_order_relaxed);
    // Acquire pairs with the consumer's release in Release(): the slot is no longer being read.
    if (write - read_.load(std::memory_order_acquire) >= kCapacity) return nullptr;
    return &blocks_[write % kCapacity];
  }
  // Producer: hands the block from WriteSlot() to the consumer.
  void Publish() {
    // Release makes the block's contents visible before the consumer sees the new count.
    write_.store(write_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
  }

  // Consumer: the oldest published block, or nullptr when none is waiting.
  AudioBlock* ReadSlot() {
    const std::uint64_t read = read_.load(std::memory_order_relaxed);
    if (read == write_.load(std::memory_order_acquire)) return nullptr;
    return &blocks_[read % kCapacity];
  }
  // Consumer: gives the block from ReadSlot() back to the producer.
  void Release() { read_.store(read_.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

  // Number of published blocks not yet released (a snapshot).
  int Available() const {
    return static_cast<int>(write_.load(std::memory_order_acquire) - read_.load(std::memory_order_acquire));
  }
  // Consumer: the i-th waiting block (0 is the oldest), or nullptr. Used to look ahead without consuming.
  AudioBlock* Peek(int index) {
    const std::uint64_t read = read_.load(std::memory_order_relaxed);
    if (read + static_cast<std::uint64_t>(index) >= write_.load(std::memory_order_acquire)) return nullptr;
    return &blocks_[(read + static_cast<std::uint64_t>(index)) % kCapacity];
  }

 private:
  std::unique_ptr<AudioBlock[]> blocks_;
  // Monotonic counters; 64 bits never wrap in practice. Each lives on its own cache line so the two threads
  // do not fight over one line.
  alignas(64) std::atomic<std::uint64_t> write_{0};
  alignas(64) std::atomic<std::uint64_t> read_{0};
};

}  // namespace marvane
