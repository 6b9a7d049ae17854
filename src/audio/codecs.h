#pragma once
// The sound file codecs: FFmpeg's demuxers and decoders, FluidSynth for MIDI, libsndfile's writer and
// libebur128's loudness meter. They, and the hundred-odd libraries they bring with them (FFmpeg's libraries link
// video codecs, TLS and SVG libraries), live in a module of their own, marvane-codecs.so, that the program opens
// the first time it decodes, writes or measures a file, on whichever thread needs it first. Until then none of
// them is mapped: a program that has not played a file yet starts faster and is some 18 MB smaller.
//
// The module is looked for in ../lib/marvane beside the program's bin/ folder (where it is installed, and where
// the build folder puts it), then at the place this build made it, for the tests and benchmarks that run from
// folders of their own.
//
// Threads: Codecs may be called from any thread but the audio callback; the first call opens the module and the
// others wait for it. The module is never closed.

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <stop_token>

#include "audio/bytesource.h"
#include "audio/decoder.h"

namespace marvane {

// Integrated loudness (EBU R128) of the stereo frames given to it.
class LoudnessMeter {
 public:
  virtual ~LoudnessMeter() = default;
  // False when the meter could not take them.
  virtual bool Add(const float* frames, int count) = 0;
  // LUFS; nothing for silence or when it cannot say.
  virtual std::optional<double> Lufs() = 0;
};

// A sound file being written (see SoundFileWriter).
class SoundFileSink {
 public:
  virtual ~SoundFileSink() = default;
  // The number of frames written, all of `count` or fewer with *error.
  virtual std::int64_t Write(const float* frames, int count, QString* error) = 0;
};

// What the module offers. Built into the module and the program from this one header; a module of another build
// is refused by its size and version.
struct CodecTable {
  static constexpr int kVersion = 1;
  int size = sizeof(CodecTable);
  int version = kVersion;
  // FfmpegDecoder::Open: the file that `source` reads; `name` lets FFmpeg weigh formats by extension.
  std::unique_ptr<Decoder> (*openFile)(std::unique_ptr<ByteSource> source, const QString& name, int outputRate,
                                       std::stop_token stop, QString* error) = nullptr;
  // MidiDecoder::Open: the bytes of a Standard MIDI File.
  std::unique_ptr<Decoder> (*openMidi)(const QByteArray& bytes, int outputRate, QString* error) = nullptr;
  // A meter for stereo frames at `sampleRate`; null when libebur128 cannot make one.
  std::unique_ptr<LoudnessMeter> (*newLoudnessMeter)(int sampleRate) = nullptr;
  // Creates (or replaces) a sound file: 32-bit float WAV for ".wav", 24-bit FLAC for ".flac". Null with *error.
  std::unique_ptr<SoundFileSink> (*createSoundFile)(const QString& path, int sampleRate, bool headerAfterEveryWrite,
                                                    QString* error) = nullptr;
};

// The module's table, opening the module at the first call. Null with a one-line reason in *error when the module
// cannot be found or opened.
const CodecTable* Codecs(QString* error);

}  // namespace marvane

// The module's one exported function.
extern "C" const marvane::CodecTable* marvane_codec_table();
