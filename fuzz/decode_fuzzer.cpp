// Any bytes as a sound file, decoded from memory through the same open path, whitelists and seeking as a file on
// disk: the decoder opens or says why not, gives a finite length and finite samples, comes to an end, and seeks.

#include "audio/ffmpegdecoder.h"
#include "audio/memorysource.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// A low output rate keeps the resampler cheap; the decoding before it is the same at any rate.
constexpr int kRate = 8000;
constexpr int kChunk = 4096;
// Longer output only repeats the same decoding at the cost of speed.
constexpr std::int64_t kMaxFrames = 5 * kRate;

// Reads up to `limit` frames; all of them finite and within what a sample can be.
std::int64_t ReadChecked(marvane::Decoder& decoder, std::int64_t limit) {
  std::vector<float> buffer(static_cast<std::size_t>(kChunk) * 2);
  std::int64_t frames = 0;
  while (frames < limit) {
    const int got = decoder.Read(buffer.data(), kChunk);
    Check(got >= 0 && got <= kChunk);
    for (int i = 0; i < got * 2; ++i) Check(std::isfinite(buffer[static_cast<std::size_t>(i)]));
    if (got < kChunk) break;
    frames += got;
  }
  return frames;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The name's extension weighs in the probe, as a file's does; the first byte picks one.
  static const QString kNames[] = {QStringLiteral("input.wav"), QStringLiteral("input.mp3"),
                                   QStringLiteral("input.ra"), QStringLiteral("input")};
  const QString& name = kNames[size > 0 ? data[0] % 4 : 3];
  QString error;
  auto source =
      std::make_unique<marvane::MemorySource>(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  std::unique_ptr<marvane::FfmpegDecoder> decoder =
      marvane::FfmpegDecoder::Open(std::move(source), name, kRate, {}, &error);
  if (decoder == nullptr) {
    Check(!error.isEmpty());
    return 0;
  }
  const double duration = decoder->Duration();
  Check(std::isfinite(duration) && duration >= 0.0);
  ReadChecked(*decoder, kMaxFrames);
  if (decoder->Seek(duration / 2)) ReadChecked(*decoder, kChunk);
  if (decoder->Seek(0.0)) ReadChecked(*decoder, kChunk);
  return 0;
}
