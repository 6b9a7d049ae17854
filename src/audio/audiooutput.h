#pragma once
// Where the engine's mix goes. An output pulls stereo float frames from its AudioSource: a sound card through
// PortAudio, a null output that consumes in real time, or an offline output that a test or benchmark drives.
//
// Threads: Start and Stop are called from the UI thread. AudioSource::Render runs on the output's own thread
// (the audio callback) and must not lock, allocate, do I/O, log or emit signals.

#include <QString>

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
};

}  // namespace marvane
