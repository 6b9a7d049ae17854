#pragma once
// A small reader of Standard MIDI Files that finds what the synthesizer does not tell: how long the file plays
// and where a time in seconds falls in ticks. It follows every tempo change, running status, SysEx and meta
// events, SMPTE time divisions, and skips unknown chunks. It never reads past the bytes it is given.

#include <QByteArray>

#include <cstdint>
#include <optional>
#include <vector>

namespace marvane {

class MidiFile {
 public:
  // Parses the file's bytes. Empty when they are not a MIDI file at all; a damaged track is read up to the
  // damage.
  static std::optional<MidiFile> Parse(const QByteArray& bytes);

  // Seconds from the start to the last track's end (its End of Track event, so trailing rests count).
  double DurationSeconds() const { return TicksToSeconds(lastTick_); }
  std::int64_t LastTick() const { return lastTick_; }
  bool HasNotes() const { return hasNotes_; }

  // The same music as a clean type 1 file: every event with its own status byte, unknown chunks left out,
  // damaged tracks cut at the damage and closed with End of Track. FluidSynth's reader gives up on some files
  // that this reader plays (running status across meta events, foreign chunks); it gets this copy instead.
  const QByteArray& CleanBytes() const { return clean_; }

  double TicksToSeconds(std::int64_t tick) const;
  std::int64_t SecondsToTicks(double seconds) const;

 private:
  struct TempoChange {
    std::int64_t tick;
    std::uint32_t microsPerQuarter;
  };
  // Ticks per quarter note, or for SMPTE divisions the ticks per second with smpte_ set.
  int division_ = 96;
  bool smpte_ = false;
  std::int64_t lastTick_ = 0;
  bool hasNotes_ = false;
  std::vector<TempoChange> tempos_;  // sorted by tick
  QByteArray clean_;
};

}  // namespace marvane
