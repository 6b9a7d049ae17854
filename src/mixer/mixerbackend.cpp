#include "mixer/mixerbackend.h"

namespace marvane {

MixerBackend::~MixerBackend() = default;

}  // namespace marvane
