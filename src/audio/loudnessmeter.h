#pragma once
// Measures a sound file's integrated loudness (EBU R128, through libebur128) and its length, by decoding it
// whole as the engine would play it; a file with a ReplayGain tag is taken at its word, without decoding. For AutoPilot's even loudness; it runs on a worker thread, never on the UI
// thread or the audio callback.

#include <QString>

#include <optional>
#include <stop_token>

namespace marvane {

struct SongMeasure {
  double lufs = 0.0;     // integrated loudness, LUFS
  double seconds = 0.0;  // length as decoded
};

// Nothing when the file cannot be decoded, holds only silence, or `stop` was requested.
std::optional<SongMeasure> MeasureSong(const QString& path, std::stop_token stop = {});

}  // namespace marvane
