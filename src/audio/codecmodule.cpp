// The entry of the codec module (marvane-codecs.so, see codecs.h): FFmpeg and MIDI decoders, libebur128's meter
// and libsndfile's writer behind the program's own interfaces.

#include <ebur128.h>
#include <sndfile.h>

#include <cmath>

#include "audio/codecs.h"
#include "audio/ffmpegdecoder.h"
#include "audio/mididecoder.h"

namespace marvane {
namespace {

class Ebur128Meter : public LoudnessMeter {
 public:
  explicit Ebur128Meter(ebur128_state* state) : state_(state) {}
  ~Ebur128Meter() override { ebur128_destroy(&state_); }
  bool Add(const float* frames, int count) override {
    return ebur128_add_frames_float(state_, frames, static_cast<std::size_t>(count)) == EBUR128_SUCCESS;
  }
  std::optional<double> Lufs() override {
    double lufs = 0.0;
    if (ebur128_loudness_global(state_, &lufs) != EBUR128_SUCCESS || !std::isfinite(lufs)) return std::nullopt;
    return lufs;
  }

 private:
  ebur128_state* state_;
};

class SndfileSink : public SoundFileSink {
 public:
  explicit SndfileSink(SNDFILE* file) : file_(file) {}
  ~SndfileSink() override { sf_close(file_); }
  std::int64_t Write(const float* frames, int count, QString* error) override {
    const sf_count_t done = sf_writef_float(file_, frames, count);
    if (done != count && error != nullptr) *error = QString::fromLocal8Bit(sf_strerror(file_));
    return std::max<sf_count_t>(done, 0);
  }

 private:
  SNDFILE* file_;
};

std::unique_ptr<SoundFileSink> CreateSoundFile(const QString& path, int sampleRate, bool headerAfterEveryWrite,
                                               QString* error) {
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = 2;
  if (path.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive)) {
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  } else if (path.endsWith(QLatin1String(".flac"), Qt::CaseInsensitive)) {
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
  } else {
    if (error) *error = QStringLiteral("only .wav and .flac files can be written");
    return nullptr;
  }
  SNDFILE* file = sf_open(path.toLocal8Bit().constData(), SFM_WRITE, &info);
  if (file == nullptr) {
    if (error) *error = QString::fromLocal8Bit(sf_strerror(nullptr));
    return nullptr;
  }
  // Samples beyond full scale are written as they are in a float file and clipped in an integer one.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  if (headerAfterEveryWrite) sf_command(file, SFC_SET_UPDATE_HEADER_AUTO, nullptr, SF_TRUE);
  return std::make_unique<SndfileSink>(file);
}

CodecTable MakeTable() {
  CodecTable table;
  table.openFile = [](std::unique_ptr<ByteSource> source, const QString& name, int outputRate, std::stop_token stop,
                      QString* error) -> std::unique_ptr<Decoder> {
    return FfmpegDecoder::Open(std::move(source), name, outputRate, std::move(stop), error);
  };
  table.openMidi = [](const QByteArray& bytes, int outputRate, QString* error) -> std::unique_ptr<Decoder> {
    return MidiDecoder::Open(bytes, outputRate, error);
  };
  table.newLoudnessMeter = [](int sampleRate) -> std::unique_ptr<LoudnessMeter> {
    ebur128_state* state = ebur128_init(2, static_cast<unsigned long>(sampleRate), EBUR128_MODE_I);
    if (state == nullptr) return nullptr;
    return std::make_unique<Ebur128Meter>(state);
  };
  table.createSoundFile = CreateSoundFile;
  return table;
}

}  // namespace
}  // namespace marvane

extern "C" __attribute__((visibility("default"))) const marvane::CodecTable* marvane_codec_table() {
  static const marvane::CodecTable table = marvane::MakeTable();
  return &table;
}
