#include "audio/loudnessmeter.h"

#include <memory>
#include <vector>

#include "audio/codecs.h"
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
  const CodecTable* codecs = Codecs(&error);  // opened already by the decoder
  const std::unique_ptr<LoudnessMeter> meter = codecs != nullptr ? codecs->newLoudnessMeter(kRate) : nullptr;
  if (meter == nullptr) return std::nullopt;
  std::vector<float> buffer(static_cast<std::size_t>(kChunkFrames) * 2);
  std::int64_t frames = 0;
  for (;;) {
    if (stop.stop_requested()) return std::nullopt;
    const int got = decoder->Read(buffer.data(), kChunkFrames);
    if (got > 0 && !meter->Add(buffer.data(), got)) return std::nullopt;
    frames += got;
    if (got < kChunkFrames) break;
  }
  const std::optional<double> lufs = meter->Lufs();
  if (!lufs) return std::nullopt;
  return SongMeasure{*lufs, static_cast<double>(frames) / kRate};
}

}  // namespace marvane
