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

// Processes events until `done` is true or `timeoutMs` passes. Returns `done()`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);
// Opens `path` with AutoStart off and waits until the open finished. Returns the final open state.
int OpenAndWait(MediaPlayer& player, const QString& path, int timeoutMs = 10000);

// One channel (0 left, 1 right) of an interleaved stereo buffer, from frame `from` for `count` frames.
std::vector<float> Channel(const std::vector<float>& stereo, int channel, int from = 0, int count = -1);
double Rms(const std::vector<float>& samples);
double Peak(const std::vector<float>& samples);
double Db(double ratio);

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
