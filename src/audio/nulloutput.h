#pragma once
// An output with no device behind it: a thread pulls the mix at the pace of real time and throws it away, so
// players advance, end and raise their events as if a sound card were playing them. Used when no device opens,
// and in place of a device that was lost until it comes back; it can then first make up the time since the
// device last took sound, so the players' positions go on as if nothing had happened.
// It can also record how long each Render took, into memory reserved before the thread starts.
//
// Threads: Start/Stop and the timing accessors on one controlling thread; Render runs on the output's thread.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>
#include <vector>

#include "audio/audiooutput.h"

namespace marvane {

class NullOutput : public AudioOutput {
 public:
  explicit NullOutput(int sampleRate = 44100, int bufferFrames = 512);
  ~NullOutput() override;

  int SampleRate() const override { return sampleRate_; }
  int BufferFrames() const override { return bufferFrames_; }
  bool Start(AudioSource* source, QString* error) override;
  void Stop() override;
  QString Description() const override;

  // Before Start: the first Start pulls at once, as fast as it can, the sound that real time owes since `from`
  // (at most two seconds), then goes on at the pace of real time.
  void CarryOnFrom(std::chrono::steady_clock::time_point from) { carryOnFrom_ = from; }
  // Before Start: keep the duration of up to `maxCallbacks` Render calls, in nanoseconds.
  void RecordCallbackTimes(std::size_t maxCallbacks);
  // After Stop: the recorded durations.
  std::vector<std::int64_t> CallbackTimes() const;

 private:
  void Run(std::chrono::steady_clock::time_point first);

  const int sampleRate_;
  const int bufferFrames_;
  AudioSource* source_ = nullptr;
  std::atomic<bool> running_{false};
  std::thread thread_;
  std::vector<std::int64_t> times_;
  std::size_t timeCount_ = 0;
  std::optional<std::chrono::steady_clock::time_point> carryOnFrom_;
};

}  // namespace marvane
