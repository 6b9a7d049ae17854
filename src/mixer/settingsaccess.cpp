#include "mixer/settingsaccess.h"

namespace marvane {

SettingsAccess::~SettingsAccess() = default;

}  // namespace marvane
