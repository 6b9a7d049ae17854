#include "audio/loudnessmeter.h"

#include <ebur128.h>

#include <cmath>
#include <memory>
#include <vector>

#include "audio/decoder.h"

namespace marvane {

namespace {
constexpr int kRate = 44100;
constexpr int kChunkFrames = 8192;
}  // namespace

std::optional<SongMeasure> MeasureSong(const QString& path, std::stop_token stop) {
  QString error;
  std::unique_ptr<Decoder> decoder = OpenDecoder(path, kRate, &error, stop);
  if (decoder == nullptr) return std::nullopt;
  // A ReplayGain tag says it without decoding: its track gain brings the song to -18 LUFS.
  if (const std::optional<double> gain = decoder->ReplayGainDb()) return SongMeasure{-18.0 - *gain, decoder->Duration()};
  std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> meter(ebur128_init(2, kRate, EBUR128_MODE_I),
                                                                  [](ebur128_state* s) { ebur128_destroy(&s); });
  if (meter == nullptr) return std::nullopt;
  std::vector<float> buffer(static_cast<std::size_t>(kChunkFrames) * 2);
  std::int64_t frames = 0;
  for (;;) {
    if (stop.stop_requested()) return std::nullopt;
    const int got = decoder->Read(buffer.data(), kChunkFrames);
    if (got > 0 && ebur128_add_frames_float(meter.get(), buffer.data(), static_cast<std::size_t>(got)) != 0)
      return std::nullopt;
    frames += got;
    if (got < kChunkFrames) break;
  }
  double lufs = 0.0;
  if (ebur128_loudness_global(meter.get(), &lufs) != EBUR128_SUCCESS || !std::isfinite(lufs)) return std::nullopt;
  return SongMeasure{lufs, static_cast<double>(frames) / kRate};
}

}  // namespace marvane
