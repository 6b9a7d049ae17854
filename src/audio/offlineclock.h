#pragma once
// Runs an engine on an offline output in step with a simulated clock, so that the console's timers and the
// sound keep one time: every stretch of simulated time the clock moves through is rendered as exactly its
// frames (the frames of the first t milliseconds are t * rate / 1000, rounded down, so no stretch gains or loses
// a frame), and every file that is opening gets its answer before any timer fires, even one due at the same
// moment: an open takes no simulated time. Each rendered stretch is handed
// to `rendered` (frames interleaved stereo, valid during the call).
//
// A soak test and an offline render use it: make a SimulatedClock, an AudioEngine on an OfflineOutput with that
// clock, the console's objects on the same clock, then an OfflineClock, and call the clock's Advance.
//
// UI thread only; installs itself as the clock's `advancing` hook for its lifetime.

#include <cstdint>
#include <functional>
#include <vector>

namespace marvane {

class AudioEngine;
class OfflineOutput;
class SimulatedClock;

class OfflineClock {
 public:
  // The engine's output must be an OfflineOutput. An open waits at most `openTimeoutMs` of real time for its
  // decoder.
  OfflineClock(SimulatedClock& clock, AudioEngine& engine, int openTimeoutMs = 10000);
  ~OfflineClock();
  OfflineClock(const OfflineClock&) = delete;
  OfflineClock& operator=(const OfflineClock&) = delete;

  // Frames rendered since the clock's start.
  std::int64_t FramesRendered() const { return frames_; }

  std::function<void(const float* frames, int count)> rendered;

 private:
  void Render(std::int64_t fromMs, std::int64_t toMs);

  SimulatedClock& clock_;
  AudioEngine& engine_;
  OfflineOutput& output_;
  const int openTimeoutMs_;
  std::int64_t frames_ = 0;
  std::vector<float> buffer_;
};

}  // namespace marvane
