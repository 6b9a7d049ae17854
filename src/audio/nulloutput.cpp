#include "audio/nulloutput.h"

#include <chrono>
#include <vector>

namespace marvane {

NullOutput::NullOutput(int sampleRate, int bufferFrames) : sampleRate_(sampleRate), bufferFrames_(bufferFrames) {}

NullOutput::~NullOutput() { Stop(); }

QString NullOutput::Description() const { return QStringLiteral("no sound device (silent, real time)"); }

void NullOutput::RecordCallbackTimes(std::size_t maxCallbacks) {
  times_.assign(maxCallbacks, 0);
  timeCount_ = 0;
}

std::vector<std::int64_t> NullOutput::CallbackTimes() const {
  return std::vector<std::int64_t>(times_.begin(), times_.begin() + static_cast<std::ptrdiff_t>(timeCount_));
}

bool NullOutput::Start(AudioSource* source, QString* /*error*/) {
  Stop();
  source_ = source;
  timeCount_ = 0;
  running_.store(true);
  thread_ = std::thread([this] { Run(); });
  return true;
}

void NullOutput::Stop() {
  running_.store(false);
  if (thread_.joinable()) thread_.join();
}

void NullOutput::Run() {
  using Clock = std::chrono::steady_clock;
  std::vector<float> buffer(static_cast<std::size_t>(bufferFrames_) * 2);
  const auto period = std::chrono::nanoseconds(1'000'000'000LL * bufferFrames_ / sampleRate_);
  auto deadline = Clock::now();
  while (running_.load(std::memory_order_relaxed)) {
    const auto begin = Clock::now();
    source_->Render(buffer.data(), bufferFrames_);
    if (timeCount_ < times_.size())
      times_[timeCount_++] = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - begin).count();
    // Absolute deadlines keep the long-run pace exact whatever each sleep overshoots by.
    deadline += period;
    std::this_thread::sleep_until(deadline);
  }
}

}  // namespace marvane
