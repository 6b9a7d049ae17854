#pragma once
// A decoder turns one sound file into interleaved stereo float frames at the output rate.
//
// Threads: a decoder is made, used and destroyed on one decoder thread at a time; it is never touched by the
// audio callback.

#include <QString>

#include <memory>
#include <optional>
#include <stop_token>

namespace marvane {

class Decoder {
 public:
  virtual ~Decoder() = default;

  // Length of the file in seconds.
  virtual double Duration() const = 0;
  // Fills `out` with up to `frames` stereo frames. Fewer than asked means the file has ended; a stream that
  // breaks part way ends there too.
  virtual int Read(float* out, int frames) = 0;
  // Moves so that the next Read starts `seconds` into the file. False when the file cannot go there.
  virtual bool Seek(double seconds) = 0;
  // The track gain of the file's ReplayGain tag in decibels (what brings it to -18 LUFS), when it has one.
  virtual std::optional<double> ReplayGainDb() const { return std::nullopt; }
};

// Opens any file the engine plays: a MIDI file (by its content) through the synthesizer, a ".ram" metafile
// by the local file named on its first usable line, anything else through FFmpeg. Returns nullptr with a
// one-line reason in *error when the file cannot be played. Every read of the file, the open included, gives
// up once `stop` is requested, and so does the decoder returned.
std::unique_ptr<Decoder> OpenDecoder(const QString& path, int outputRate, QString* error,
                                     std::stop_token stop = {});

// The local file a ".ram" metafile names, or an empty string when its first usable line is not a local file
// (a network address, a missing file, nothing at all).
QString ResolveRamFile(const QString& ramPath, std::stop_token stop = {});

}  // namespace marvane
