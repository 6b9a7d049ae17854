// The MIDI file reader on any bytes: it refuses them or gives a finite length, a clean copy that it reads to the
// same end, and conversions between seconds and ticks that agree with each other.

#include "audio/midifile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const std::optional<marvane::MidiFile> midi = marvane::MidiFile::Parse(bytes);
  if (!midi) return 0;
  const double duration = midi->DurationSeconds();
  Check(std::isfinite(duration) && duration >= 0.0);
  const std::optional<marvane::MidiFile> clean = marvane::MidiFile::Parse(midi->CleanBytes());
  Check(clean.has_value() && clean->LastTick() == midi->LastTick() && clean->HasNotes() == midi->HasNotes());
  for (const std::int64_t tick : {std::int64_t{0}, midi->LastTick() / 3, midi->LastTick()}) {
    const double seconds = midi->TicksToSeconds(tick);
    Check(std::isfinite(seconds) && seconds <= duration);
    Check(std::llabs(midi->SecondsToTicks(seconds) - tick) <= 1);
  }
  return 0;
}
