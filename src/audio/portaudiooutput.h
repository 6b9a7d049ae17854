#pragma once
// The sound card through PortAudio (ALSA, JACK, or PulseAudio and PipeWire through ALSA): its default output
// device or one chosen by name, stereo 32-bit float at a chosen rate or the device's own.
//
// Threads: OpenDefault, Start, Stop and Check on the UI thread; a lost device is reopened and let go of on the
// engine's probe thread. Every call into PortAudio's set-up (never the callback) holds one lock, so the two
// threads never meet inside PortAudio. PortAudio calls the source from its own callback thread. Where rtkit raises
// that thread, a thread of the output's own asks it after each start; the next start and the destructor join it.
//
// The callback notes when it ran and whether PortAudio found it late (an output underflow): a device that was
// pulled out or a sound server that went away shows as a stream that ended, callbacks that stop coming, or
// callbacks that never come in time.

#include <QStringList>

#include <atomic>
#include <memory>
#include <thread>

#include "audio/audiooutput.h"

typedef void PaStream;
struct PaStreamCallbackTimeInfo;

namespace marvane {

class PortAudioOutput : public AudioOutput {
 public:
  // 1024 frames is about 23 ms at 44.1 kHz: quick enough for a DJ's hands, steady on a loaded desktop, and it
  // wakes the sound server's client thread and the callback half as often as 512 (through the sound server a
  // played file then costs 1.6% of a core rather than 2.2%). A DJ who wants less latency picks 512 or lower.
  static constexpr int kDefaultBufferFrames = 1024;

  // The name that stands for PortAudio's default output device.
  static const QString kDefaultDevice;

  // Opens (without starting) the default output device, at `sampleRate` or else (0) the device's own rate.
  // Null with a reason in *error when none opens.
  static std::unique_ptr<PortAudioOutput> OpenDefault(int bufferFrames, QString* error, int sampleRate = 0);
  // The same for the output device of that name, as OutputDeviceNames gives it (kDefaultDevice: the default
  // device). A device that came after PortAudio looked for devices (it looks once while any output is open)
  // opens by its ALSA name: the name itself, or the "hw:card,device" a sound card's name ends with.
  static std::unique_ptr<PortAudioOutput> Open(const QString& device, int bufferFrames, int sampleRate,
                                               QString* error);
  // kDefaultDevice, then every device PortAudio can play through: ALSA's sound cards and plugins (the sound
  // server among them), and JACK's where it runs; then the ALSA devices that came since PortAudio looked (it
  // looks once while any output is open), a sound card plugged in or a device added to the configuration.
  static QStringList OutputDeviceNames();
  ~PortAudioOutput() override;

  int SampleRate() const override { return sampleRate_; }
  int BufferFrames() const override { return bufferFrames_; }
  bool Start(AudioSource* source, QString* error) override;
  void Stop() override;
  QString Description() const override { return description_; }
  Health Check(std::chrono::nanoseconds stall) const override;
  void Abandon() override;
  std::function<std::unique_ptr<AudioOutput>()> Reopener() const override;
  std::chrono::duration<double> Latency() const override;
  std::int64_t Underruns() const override { return underruns_.load(std::memory_order_relaxed); }

 private:
  PortAudioOutput() = default;
  // PortAudio's callback signature exactly (PaStreamCallbackFlags is an unsigned long).
  static int Callback(const void* input, void* output, unsigned long frames, const PaStreamCallbackTimeInfo* timeInfo,
                      unsigned long statusFlags, void* userData);
  static void Finished(void* userData);

  PaStream* stream_ = nullptr;
  AudioSource* source_ = nullptr;
  int sampleRate_ = 44100;
  int bufferFrames_ = kDefaultBufferFrames;
  bool started_ = false;
  // This process may not raise the callback thread itself: after each start, raiser_ asks rtkit to.
  bool viaRtkit_ = false;
  std::thread raiser_;
  QString device_;  // the name it was opened by, which a lost device is opened by again
  QString description_;
  // Written by the callback (steady-clock nanoseconds): its last run, and its last run that was in time.
  std::atomic<std::int64_t> lastCallback_{0};
  std::atomic<std::int64_t> lastTimely_{0};
  std::atomic<std::int64_t> underruns_{0};  // callbacks with PortAudio's output underflow flag
  std::atomic<bool> ended_{false};     // the stream ended by itself (PortAudio's finished callback)
  // Abandon's handshake with the callback: it sets abandoned_ and waits while the callback is rendering.
  std::atomic<bool> abandoned_{false};
  std::atomic<bool> rendering_{false};
};

}  // namespace marvane
