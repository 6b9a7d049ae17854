#pragma once
// The sound card through PortAudio's default output device (ALSA, JACK, or PulseAudio and PipeWire through
// ALSA): stereo 32-bit float at the device's default rate.
//
// Threads: OpenDefault, Start and Stop on the UI thread; PortAudio calls the source from its own callback
// thread.

#include <memory>

#include "audio/audiooutput.h"

typedef void PaStream;
struct PaStreamCallbackTimeInfo;

namespace marvane {

class PortAudioOutput : public AudioOutput {
 public:
  // 512 frames is about 12 ms at 44.1 kHz: steady on a loaded desktop and quick enough for a DJ's hands.
  static constexpr int kDefaultBufferFrames = 512;

  // Opens (without starting) the default output device. Null with a reason in *error when none opens.
  static std::unique_ptr<PortAudioOutput> OpenDefault(int bufferFrames, QString* error);
  ~PortAudioOutput() override;

  int SampleRate() const override { return sampleRate_; }
  int BufferFrames() const override { return bufferFrames_; }
  bool Start(AudioSource* source, QString* error) override;
  void Stop() override;
  QString Description() const override { return description_; }

 private:
  PortAudioOutput() = default;
  // PortAudio's callback signature exactly (PaStreamCallbackFlags is an unsigned long).
  static int Callback(const void* input, void* output, unsigned long frames, const PaStreamCallbackTimeInfo* timeInfo,
                      unsigned long statusFlags, void* userData);

  PaStream* stream_ = nullptr;
  AudioSource* source_ = nullptr;
  int sampleRate_ = 44100;
  int bufferFrames_ = kDefaultBufferFrames;
  bool started_ = false;
  QString description_;
};

}  // namespace marvane
