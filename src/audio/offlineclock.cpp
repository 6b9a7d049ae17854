#include "audio/offlineclock.h"

#include <QtGlobal>

#include <algorithm>

#include "audio/audioengine.h"
#include "audio/offlineoutput.h"
#include "common/simulatedclock.h"

namespace marvane {

namespace {
// Longest piece rendered in one pull, so that a long step of the clock needs no large buffer.
constexpr int kChunkFrames = 8192;
}  // namespace

OfflineClock::OfflineClock(SimulatedClock& clock, AudioEngine& engine, int openTimeoutMs)
    : clock_(clock),
      engine_(engine),
      output_(static_cast<OfflineOutput&>(engine.Output())),
      openTimeoutMs_(openTimeoutMs),
      buffer_(static_cast<std::size_t>(kChunkFrames) * 2) {
  Q_ASSERT(engine.Output().IsOffline());
  clock_.advancing = [this](std::int64_t fromMs, std::int64_t toMs) { Render(fromMs, toMs); };
}

OfflineClock::~OfflineClock() { clock_.advancing = nullptr; }

void OfflineClock::Render(std::int64_t /*fromMs*/, std::int64_t toMs) {
  engine_.FinishOpens(openTimeoutMs_);
  const std::int64_t target = toMs * output_.SampleRate() / 1000;
  while (frames_ < target) {
    const int count = static_cast<int>(std::min<std::int64_t>(target - frames_, kChunkFrames));
    output_.PullInto(buffer_.data(), count);
    frames_ += count;
    if (rendered) rendered(buffer_.data(), count);
  }
}

}  // namespace marvane
