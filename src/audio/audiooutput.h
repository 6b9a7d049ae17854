#pragma once
// Where the engine's mix goes. An output pulls stereo float frames from its AudioSource: a sound card through
// PortAudio, a null output that consumes in real time, or an offline output that a test or benchmark drives.
//
// Threads: Start and Stop are called from the UI thread. AudioSource::Render runs on the output's own thread
// (the audio callback) and must not lock, allocate, do I/O, log or emit signals.

#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace marvane {

class AudioSource {
 public:
  virtual ~AudioSource() = default;
  // Writes `frames` interleaved stereo frames to `out`. Real-time safe.
  virtual void Render(float* out, int frames) noexcept = 0;
};

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;

  virtual int SampleRate() const = 0;
  // Frames per callback.
  virtual int BufferFrames() const = 0;
  // Starts pulling from `source` (which must outlive the output's running). False with *error on failure.
  virtual bool Start(AudioSource* source, QString* error) = 0;
  // Stops pulling; when it returns, Render is no longer running and will not be called again.
  virtual void Stop() = 0;
  // True when nothing outside the program paces the output: a test or benchmark pulls it.
  virtual bool IsOffline() const { return false; }
  // A short description for the user ("PortAudio: default (ALSA)", "no sound device").
  virtual QString Description() const = 0;

  // A sound device's health, looked at on the UI thread while it runs. `lost` once the stream broke or ended by
  // itself, when for longer than `stall` no callback came, or for three times that every callback came too late
  // to be heard. An output that was stopped (Stop) or never started is not lost. `lastPull` is when the device
  // last took sound.
  struct Health {
    bool lost = false;
    std::chrono::steady_clock::time_point lastPull;
  };
  virtual Health Check(std::chrono::nanoseconds /*stall*/) const { return {}; }
  // Stops pulling at once without waiting for the device: when it returns, Render is not running and will not
  // be called again. The device itself is let go of by the destructor, which may then run on another thread.
  virtual void Abandon() { Stop(); }
  // How to open this device again after it was lost (tried on a thread of its own; null while it cannot be
  // opened), or an empty function for outputs that cannot be lost.
  virtual std::function<std::unique_ptr<AudioOutput>()> Reopener() const { return {}; }
  // How long sound the output took takes to be heard: what a stop would throw away. 0 for outputs that hold none.
  virtual std::chrono::duration<double> Latency() const { return {}; }
  // Callbacks the device reported as late (an output underflow: the listener heard a gap) since it started.
  virtual std::int64_t Underruns() const { return 0; }
};

}  // namespace marvane
