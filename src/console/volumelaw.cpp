#include "console/volumelaw.h"

#include "common/vbconvert.h"

#include <algorithm>

namespace marvane {

int VolumeStep(int slider, int crossLevel) {
  // The product stays within 16 bits (at most 100 x 100) for values inside the controls' ranges.
  const auto product = static_cast<qint16>(slider * crossLevel);
  return static_cast<int>(RoundHalfEven(product / 300.0));
}

int VolumeOfStep(int step) {
  double attenuation = 11000.0;
  for (int i = 0; i <= step; ++i) attenuation /= 1.1;
  attenuation -= 431.0;
  const qint64 volume = RoundHalfEven(-attenuation);
  return static_cast<int>(std::clamp<qint64>(volume, -10000, 0));
}

int LineVolume(int slider, int crossLevel) { return VolumeOfStep(VolumeStep(slider, crossLevel)); }

}  // namespace marvane
