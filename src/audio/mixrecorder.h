#pragma once
// Records the engine's mix, as it leaves the crossfader and before the sound card's master volume, to a WAV or
// FLAC file. The audio callback copies each block into a MixTap; a writer thread of the recorder's own drains it
// to the file, so the callback never waits on the disk. A block that finds the tap full (the disk fell more than
// ten seconds behind) is dropped and counted, never waited for.
//
// A write that fails (a full disk, a file-size limit, a vanished folder) ends the writing; the file keeps
// everything written up to then, and its header is kept up to date as it grows, so it plays. The UI thread sees
// the failure in Failure() and stops the recorder.
//
// Threads: every member on the UI thread; the writer thread is internal.

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>

#include "audio/mixtap.h"
#include "audio/soundfilewriter.h"

namespace marvane {

class AudioEngine;

class MixRecorder {
 public:
  // Seconds of mix the tap holds while the disk is busy.
  static constexpr int kTapSeconds = 10;

  explicit MixRecorder(AudioEngine& engine);
  // Stops a recording still running, finishing its file.
  ~MixRecorder();
  MixRecorder(const MixRecorder&) = delete;
  MixRecorder& operator=(const MixRecorder&) = delete;

  // Creates the file (".wav": 32-bit float, ".flac": 24-bit) and starts recording from the next callback. False
  // with *error when the file cannot be made; nothing is recording then.
  bool Start(const QString& path, QString* error);
  // Stops taking the mix, writes what the tap still holds and finishes the file. Nothing when not recording.
  void Stop();

  bool Recording() const { return tap_ != nullptr; }
  QString Path() const { return path_; }
  // Seconds of mix taken since the start (dropped blocks count too: they are time that passed).
  double Seconds() const;
  // Frames dropped because the tap was full.
  std::int64_t DroppedFrames() const { return tap_ ? tap_->FramesDropped() : lastDropped_; }
  // Why writing stopped, once it has (empty while all is well).
  QString Failure() const;

 private:
  void WriterMain(std::stop_token stop);

  AudioEngine& engine_;
  std::unique_ptr<MixTap> tap_;
  SoundFileWriter file_;
  QString path_;
  std::int64_t lastDropped_ = 0;
  std::jthread writer_;
  std::atomic<bool> failed_{false};
  mutable std::mutex failureMutex_;
  QString failure_;
};

}  // namespace marvane
