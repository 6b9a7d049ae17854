#pragma once
// Writes stereo float frames to a sound file through libsndfile, the kind chosen by the file name's extension:
// ".wav" is 32-bit float WAV (the mix exactly as the engine made it), ".flac" is 24-bit FLAC. A WAV file's
// header can be brought up to date after every write, so that a file cut short by a full disk, a size limit or
// a crash still plays up to its last write.
//
// The writing itself is done by the codec module (codecs.h), opened at the first Open.
//
// One thread at a time.

#include <QString>

#include <cstdint>
#include <memory>

#include "audio/codecs.h"

namespace marvane {

class SoundFileWriter {
 public:
  SoundFileWriter() = default;
  ~SoundFileWriter();
  SoundFileWriter(const SoundFileWriter&) = delete;
  SoundFileWriter& operator=(const SoundFileWriter&) = delete;

  // True for a name this writer can write (".wav" or ".flac", any letter case).
  static bool KnownKind(const QString& path);

  // Creates (or replaces) the file. False with *error when the name's kind is unknown or the file cannot be made.
  bool Open(const QString& path, int sampleRate, bool headerAfterEveryWrite, QString* error);
  // Appends `frames` interleaved stereo frames. False with *error when not all of them could be written; the
  // file then holds what was written before and stays playable once closed.
  bool Write(const float* frames, int count, QString* error);
  // Finishes the file (its header and, for FLAC, its stream information). Safe to call twice.
  void Close();

  bool IsOpen() const { return file_ != nullptr; }
  std::int64_t FramesWritten() const { return frames_; }

 private:
  std::unique_ptr<SoundFileSink> file_;
  std::int64_t frames_ = 0;
};

}  // namespace marvane
