#pragma once
// Helpers for the engine's tests: sound files made by the ffmpeg command-line tool in a temporary folder, an
// engine on an offline output, waiting for events, and level measurements on rendered buffers.

#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <functional>
#include <memory>
#include <vector>

#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "audio/offlineoutput.h"

namespace marvane::test {

// Starts a program (argument 0 is looked up in PATH) without forking the test process; -1 on failure.
pid_t StartProgram(const QStringList& arguments);
// Waits up to `timeoutMs` for it to end (killing it after that); its exit code, or -1.
int FinishProgram(pid_t pid, int timeoutMs);

// Runs `ffmpeg` with `arguments` (after its quiet flags) and returns true when it made `output`.
bool RunFfmpeg(const QStringList& arguments, const QString& output);

// An ffmpeg lavfi expression source of `seconds` at `rate`, for example Expression("0.5*sin(2*PI*441*t)").
// `channels` 1 or 2 (two copies of the expression).
QStringList ExpressionInput(const QString& expression, double seconds, int rate = 44100, int channels = 2);

// Makes `name` in `dir` from a lavfi expression with the given encoder arguments. Empty path on failure.
QString MakeFile(const QString& dir, const QString& name, const QString& expression, double seconds,
                 const QStringList& encoder, int rate = 44100, int channels = 2);
// The same with the encoder arguments in one space-separated string, for example "-c:a pcm_f32le".
QString MakeFile(const QString& dir, const QString& name, const QString& expression, double seconds,
                 const char* encoder, int rate = 44100, int channels = 2);
// The reference tone most tests play: 441 Hz at half scale, exactly 100 samples a cycle at 44.1 kHz.
inline const QString kTone441 = QStringLiteral("0.5*sin(2*PI*441*t)");

// Whole-file helpers; WriteFile returns `path`, or an empty string when it could not write.
QString WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

// Processes events until `done` is true or `timeoutMs` passes. Returns `done()`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);
// Opens `path` with AutoStart off and waits until the open finished. Returns the final open state.
int OpenAndWait(MediaPlayer& player, const QString& path, int timeoutMs = 10000);

// One channel (0 left, 1 right) of an interleaved stereo buffer, from frame `from` for `count` frames.
std::vector<float> Channel(const std::vector<float>& stereo, int channel, int from = 0, int count = -1);
double Rms(const std::vector<float>& samples);
double Peak(const std::vector<float>& samples);
double Db(double ratio);
// Amplitude of the `frequency` component of `samples`, whose first sample lies at frame `startFrame` of `rate`.
double ToneAmplitude(const std::vector<float>& samples, double frequency, int rate, int startFrame = 0);
// Largest difference between the left channel from frame `from` on and an ideal 441 Hz sine of 0.5 at 44.1 kHz.
double SineError(const std::vector<float>& stereo, int from);
// One second of stereo from a raw capture of 32-bit float stereo, from where sound first appears. Empty when
// the capture holds less.
std::vector<float> CapturedTone(const QString& rawPath, int rate);

// Records every event of one player, in order, as (kind, old, new), kind 'o' or 'p'.
struct EventLog {
  struct Event {
    char kind;
    int oldState;
    int newState;
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
