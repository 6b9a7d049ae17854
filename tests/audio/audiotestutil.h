#pragma once
// Helpers for the engine's tests: an engine on an offline output, opening files, recording a player's events, and
// level measurements on rendered buffers.

#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "audio/offlineoutput.h"
#include "support/testenv.h"

#include <QElapsedTimer>

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace marvane::test {

// Opens path with AutoStart off and waits until the open finished. Returns the final open state.
int OpenAndWait(MediaPlayer& player, const QString& path, int timeoutMs = 10000);

// One channel (0 left, 1 right) of an interleaved stereo buffer, from frame `from` for `count` frames.
std::vector<float> Channel(const std::vector<float>& stereo, int channel, int from = 0, int count = -1);
double Rms(const std::vector<float>& samples);
double Peak(const std::vector<float>& samples);
double Db(double ratio);
// Amplitude of the frequency's component of samples, whose first sample lies at frame startFrame of rate.
double ToneAmplitude(const std::vector<float>& samples, double frequency, int rate, int startFrame = 0);
// A sound file's samples as the ffmpeg tool decodes them: interleaved 32-bit float. Empty when it cannot.
std::vector<float> DecodedSamples(const QString& path);
// One second of stereo from a raw capture of 32-bit float stereo, from where sound first appears. Empty when
// the capture holds less.
std::vector<float> CapturedTone(const QString& rawPath, int rate);

// parecord on the private PulseAudio daemon's sink monitor into a raw 32-bit float stereo file, delivering
// promptly; and its end.
pid_t StartRecorder(const QString& rawPath);
void StopRecorder(pid_t recorder);
// Whether a raw capture of 32-bit floats holds sound (anything above -60 dBFS).
bool Heard(const QString& rawPath);

// Records every event of one player, in order, as (kind, old, new), kind 'o' or 'p'.
struct EventLog {
  struct Event {
    char kind;
    int oldState, newState;
    bool operator==(const Event&) const = default;
  };
  explicit EventLog(MediaPlayer& player);
  std::vector<Event> events;
};

// An engine on an offline output at 44.1 kHz.
struct OfflineEngine {
  explicit OfflineEngine(int rate = 44100, int bufferFrames = 512);
  OfflineOutput* output;
  std::unique_ptr<AudioEngine> engine;
  std::vector<float> Render(double seconds);
};

}  // namespace marvane::test
