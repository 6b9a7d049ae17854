#include "audio/offlineoutput.h"

#include <algorithm>

namespace marvane {

OfflineOutput::OfflineOutput(int sampleRate, int bufferFrames)
    : sampleRate_(sampleRate), bufferFrames_(bufferFrames) {}

bool OfflineOutput::Start(AudioSource* source, QString* /*error*/) {
  source_ = source;
  return true;
}

std::vector<float> OfflineOutput::Pull(int frames) {
  std::vector<float> out(static_cast<std::size_t>(std::max(frames, 0)) * 2, 0.0f);
  PullInto(out.data(), frames);
  return out;
}

void OfflineOutput::PullInto(float* out, int frames) {
  for (int done = 0; done < frames;) {
    const int count = std::min(bufferFrames_, frames - done);
    if (source_ != nullptr) {
      source_->Render(out + static_cast<std::ptrdiff_t>(done) * 2, count);
    } else {
      std::fill(out + static_cast<std::ptrdiff_t>(done) * 2, out + static_cast<std::ptrdiff_t>(done + count) * 2,
                0.0f);
    }
    done += count;
  }
}

}  // namespace marvane
