#include "audio/nulloutput.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace marvane {
namespace {

// Time made up after a lost device: a little more than the detection of the loss takes, and less than what a
// player's queue holds, so that the made-up sound is really there.
constexpr std::chrono::seconds kLongestCarryOn{2};

}  // namespace

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
  const auto now = std::chrono::steady_clock::now();
  const auto first = std::clamp(carryOnFrom_.value_or(now), now - kLongestCarryOn, now);
  carryOnFrom_.reset();
  thread_ = std::thread([this, first] { Run(first); });
  return true;
}

void NullOutput::Stop() {
  running_.store(false);
  if (thread_.joinable()) thread_.join();
}

void NullOutput::Run(std::chrono::steady_clock::time_point first) {
  using Clock = std::chrono::steady_clock;
  std::vector<float> buffer(static_cast<std::size_t>(bufferFrames_) * 2);
  const auto period = std::chrono::nanoseconds(1'000'000'000LL * bufferFrames_ / sampleRate_);
  auto deadline = first;
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
