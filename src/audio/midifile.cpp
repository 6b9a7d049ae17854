#include "audio/midifile.h"

#include <algorithm>
#include <cmath>

namespace marvane {
namespace {

constexpr std::uint32_t kDefaultTempo = 500000;  // 120 beats per minute

class ByteReader {
 public:
  ByteReader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
  bool AtEnd() const { return pos_ >= size_; }
  std::size_t Position() const { return pos_; }
  bool Read(std::uint8_t* value) {
    if (pos_ >= size_) return false;
    *value = data_[pos_++];
    return true;
  }
  bool ReadBig(int bytes, std::uint32_t* value) {
    if (size_ - pos_ < static_cast<std::size_t>(bytes) || pos_ > size_) return false;
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | data_[pos_++];
    *value = v;
    return true;
  }
  // Variable-length quantity of at most four bytes, as the file format allows.
  bool ReadVarLen(std::uint32_t* value) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      std::uint8_t byte = 0;
      if (!Read(&byte)) return false;
      v = (v << 7) | (byte & 0x7F);
      if ((byte & 0x80) == 0) {
        *value = v;
        return true;
      }
    }
    return false;
  }
  bool Skip(std::uint32_t count) {
    if (size_ - pos_ < count) return false;
    pos_ += count;
    return true;
  }

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

void AppendBig(QByteArray* out, std::uint32_t value, int bytes) {
  for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) out->append(static_cast<char>((value >> shift) & 0xFF));
}

void AppendVarLen(QByteArray* out, std::uint32_t value) {
  char bytes[5];
  int count = 0;
  bytes[count++] = static_cast<char>(value & 0x7F);
  while ((value >>= 7) != 0) bytes[count++] = static_cast<char>((value & 0x7F) | 0x80);
  while (count > 0) out->append(bytes[--count]);
}

}  // namespace

std::optional<MidiFile> MidiFile::Parse(const QByteArray& bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
  ByteReader file(data, static_cast<std::size_t>(bytes.size()));
  std::uint32_t tag = 0;
  std::uint32_t length = 0;
  if (!file.ReadBig(4, &tag) || tag != 0x4D546864 /* MThd */ || !file.ReadBig(4, &length) || length < 6)
    return std::nullopt;
  std::uint32_t format = 0;
  std::uint32_t trackCount = 0;
  std::uint32_t division = 0;
  if (!file.ReadBig(2, &format) || !file.ReadBig(2, &trackCount) || !file.ReadBig(2, &division) ||
      !file.Skip(length - 6))
    return std::nullopt;
  MidiFile midi;
  if (division & 0x8000) {
    // SMPTE: frames per second (as a negative number) times ticks per frame.
    const int fps = 256 - static_cast<int>((division >> 8) & 0xFF);
    const int ticksPerFrame = static_cast<int>(division & 0xFF);
    midi.smpte_ = true;
    midi.division_ = std::max(1, (fps == 29 ? 30 : fps) * std::max(1, ticksPerFrame));
  } else {
    midi.division_ = std::max<int>(1, static_cast<int>(division));
  }
  QByteArray tracks;
  int cleanTracks = 0;

  while (!file.AtEnd()) {
    if (!file.ReadBig(4, &tag) || !file.ReadBig(4, &length)) break;
    const std::size_t start = file.Position();
    const std::size_t available = static_cast<std::size_t>(bytes.size()) - start;
    const std::size_t trackSize = std::min<std::size_t>(length, available);
    if (tag != 0x4D54726B /* MTrk */) {
      if (!file.Skip(static_cast<std::uint32_t>(trackSize))) break;
      continue;
    }
    ByteReader track(data + start, trackSize);
    QByteArray out;
    std::int64_t tick = 0;
    std::int64_t emitted = 0;  // tick of the last event written to `out`
    std::uint8_t status = 0;
    while (!track.AtEnd()) {
      std::uint32_t delta = 0;
      if (!track.ReadVarLen(&delta)) break;
      std::uint8_t byte = 0;
      if (!track.Read(&byte)) break;
      if (byte == 0xFF) {
        std::uint8_t type = 0;
        std::uint32_t size = 0;
        const std::size_t bodyAt = track.Position();
        if (!track.Read(&type) || !track.ReadVarLen(&size)) break;
        const std::size_t dataAt = track.Position();
        if (!track.Skip(size)) break;
        if (type == 0x2F) {  // End of Track
          tick += delta;
          break;
        }
        if (type == 0x51 && size >= 3) {
          const unsigned char* t = data + start + dataAt;
          const std::uint32_t tempo = (std::uint32_t{t[0]} << 16) | (std::uint32_t{t[1]} << 8) | t[2];
          if (tempo > 0) midi.tempos_.push_back({tick + delta, tempo});
        }
        tick += delta;
        emitted = tick;
        AppendVarLen(&out, delta);
        out.append(static_cast<char>(0xFF));
        out.append(reinterpret_cast<const char*>(data + start + bodyAt), static_cast<int>(track.Position() - bodyAt));
        continue;
      }
      if (byte == 0xF0 || byte == 0xF7) {
        std::uint32_t size = 0;
        const std::size_t bodyAt = track.Position();
        if (!track.ReadVarLen(&size) || !track.Skip(size)) break;
        tick += delta;
        emitted = tick;
        AppendVarLen(&out, delta);
        out.append(static_cast<char>(byte));
        out.append(reinterpret_cast<const char*>(data + start + bodyAt), static_cast<int>(track.Position() - bodyAt));
        continue;
      }
      std::uint8_t first = 0;
      if (byte & 0x80) {
        status = byte;
        if (!track.Read(&first)) break;
      } else {
        if (status == 0) break;  // data byte with no running status: the track is damaged from here
        first = byte;
      }
      const std::uint8_t kind = status & 0xF0;
      std::uint8_t second = 0;
      const bool twoBytes = kind != 0xC0 && kind != 0xD0;
      if (twoBytes && !track.Read(&second)) break;
      // Data bytes hold seven bits; a damaged file's high bit is dropped here, as in the clean copy, so a note
      // with "velocity" 0x80 counts as the note-off it plays as.
      first &= 0x7F;
      second &= 0x7F;
      if (kind == 0x90 && second > 0) midi.hasNotes_ = true;
      tick += delta;
      emitted = tick;
      AppendVarLen(&out, delta);
      out.append(static_cast<char>(status));
      out.append(static_cast<char>(first));
      if (twoBytes) out.append(static_cast<char>(second));
    }
    midi.lastTick_ = std::max(midi.lastTick_, tick);
    // Close the track at its true end so trailing rests keep their length.
    AppendVarLen(&out, static_cast<std::uint32_t>(tick - emitted));
    out.append("\xFF\x2F\x00", 3);
    tracks.append("MTrk");
    AppendBig(&tracks, static_cast<std::uint32_t>(out.size()), 4);
    tracks.append(out);
    ++cleanTracks;
    if (!file.Skip(static_cast<std::uint32_t>(trackSize))) break;
  }
  midi.clean_ = QByteArrayLiteral("MThd");
  AppendBig(&midi.clean_, 6, 4);
  AppendBig(&midi.clean_, 1, 2);
  AppendBig(&midi.clean_, static_cast<std::uint32_t>(cleanTracks), 2);
  AppendBig(&midi.clean_, division, 2);
  midi.clean_.append(tracks);
  std::stable_sort(midi.tempos_.begin(), midi.tempos_.end(),
                   [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
  return midi;
}

double MidiFile::TicksToSeconds(std::int64_t tick) const {
  if (smpte_) return static_cast<double>(tick) / division_;
  double seconds = 0.0;
  std::int64_t at = 0;
  std::uint32_t tempo = kDefaultTempo;
  for (const TempoChange& change : tempos_) {
    if (change.tick >= tick) break;
    seconds += static_cast<double>(change.tick - at) * tempo / 1e6 / division_;
    at = change.tick;
    tempo = change.microsPerQuarter;
  }
  return seconds + static_cast<double>(tick - at) * tempo / 1e6 / division_;
}

std::int64_t MidiFile::SecondsToTicks(double seconds) const {
  if (seconds <= 0.0) return 0;
  if (smpte_) return std::llround(seconds * division_);
  double at = 0.0;
  std::int64_t atTick = 0;
  std::uint32_t tempo = kDefaultTempo;
  for (const TempoChange& change : tempos_) {
    const double next = at + static_cast<double>(change.tick - atTick) * tempo / 1e6 / division_;
    if (next >= seconds) break;
    at = next;
    atTick = change.tick;
    tempo = change.microsPerQuarter;
  }
  return atTick + std::llround((seconds - at) * 1e6 * division_ / tempo);
}

}  // namespace marvane
