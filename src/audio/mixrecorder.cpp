#include "audio/mixrecorder.h"

#include <chrono>
#include <vector>

#include "audio/audioengine.h"

namespace marvane {

namespace {
// How often the writer looks at the tap, and the most it writes at once.
constexpr auto kWriterPeriod = std::chrono::milliseconds(20);
constexpr int kWriteFrames = 8192;
}  // namespace

MixRecorder::MixRecorder(AudioEngine& engine) : engine_(engine) {}

MixRecorder::~MixRecorder() { Stop(); }

bool MixRecorder::Start(const QString& path, QString* error) {
  Stop();
  if (!file_.Open(path, engine_.SampleRate(), true, error)) return false;
  path_ = path;
  failed_ = false;
  {
    std::lock_guard<std::mutex> lock(failureMutex_);
    failure_.clear();
  }
  tap_ = std::make_unique<MixTap>(engine_.SampleRate() * kTapSeconds);
  writer_ = std::jthread([this](std::stop_token stop) { WriterMain(stop); });
  engine_.SetMixTap(tap_.get());
  return true;
}

void MixRecorder::Stop() {
  if (!tap_) return;
  // After SetMixTap returns no callback touches the tap again; the writer then drains it and finishes the file.
  engine_.SetMixTap(nullptr);
  writer_.request_stop();
  writer_.join();
  file_.Close();
  lastDropped_ = tap_->FramesDropped();
  tap_.reset();
}

double MixRecorder::Seconds() const {
  if (!tap_) return 0.0;
  return static_cast<double>(tap_->FramesTaken() + tap_->FramesDropped()) / engine_.SampleRate();
}

QString MixRecorder::Failure() const {
  if (!failed_) return {};
  std::lock_guard<std::mutex> lock(failureMutex_);
  return failure_;
}

void MixRecorder::WriterMain(std::stop_token stop) {
  std::vector<float> buffer(static_cast<std::size_t>(kWriteFrames) * 2);
  for (;;) {
    // Read before draining: once a stop is asked for, one more full drain follows.
    const bool stopping = stop.stop_requested();
    int frames = 0;
    while (!failed_ && (frames = tap_->Pop(buffer.data(), kWriteFrames)) > 0) {
      QString error;
      if (!file_.Write(buffer.data(), frames, &error)) {
        std::lock_guard<std::mutex> lock(failureMutex_);
        failure_ = error;
        failed_ = true;
      }
    }
    if (stopping) return;
    std::this_thread::sleep_for(kWriterPeriod);
  }
}

}  // namespace marvane
