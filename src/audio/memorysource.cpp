#include "audio/memorysource.h"

#include <algorithm>
#include <cstring>

namespace marvane {

int MemorySource::Read(std::uint8_t* buffer, int size) {
  const std::int64_t count = std::clamp<std::int64_t>(bytes_.size() - position_, 0, std::max(size, 0));
  std::memcpy(buffer, bytes_.constData() + position_, static_cast<std::size_t>(count));
  position_ += count;
  bytesRead_ += count;
  return static_cast<int>(count);
}

bool MemorySource::Seek(std::int64_t offset) {
  if (offset < 0 || offset > bytes_.size()) return false;
  position_ = offset;
  return true;
}

}  // namespace marvane
