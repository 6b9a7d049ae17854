#pragma once
// An output that nothing paces: the caller pulls the mix with Pull(), as fast as it likes, on its own thread.
// Before each pull the engine waits until every playing player's decoder has caught up, so an offline render is
// the same on every run, with no silence from a decoder that fell behind. Tests and benchmarks use it.
//
// Threads: Pull on one thread at a time (it is the audio callback's thread for the engine's purposes).

#include <vector>

#include "audio/audiooutput.h"

namespace marvane {

class OfflineOutput : public AudioOutput {
 public:
  explicit OfflineOutput(int sampleRate = 44100, int bufferFrames = 512);

  int SampleRate() const override { return sampleRate_; }
  int BufferFrames() const override { return bufferFrames_; }
  bool Start(AudioSource* source, QString* error) override;
  void Stop() override { source_ = nullptr; }
  bool IsOffline() const override { return true; }
  QString Description() const override { return QStringLiteral("offline render"); }

  // Renders `frames` stereo frames, in callbacks of BufferFrames() each, and returns them interleaved.
  std::vector<float> Pull(int frames);
  // The same into a caller's buffer of frames * 2 floats.
  void PullInto(float* out, int frames);

 private:
  const int sampleRate_;
  const int bufferFrames_;
  AudioSource* source_ = nullptr;
};

}  // namespace marvane
