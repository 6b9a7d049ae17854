#include "audio/gain.h"

#include <algorithm>
#include <cmath>

namespace marvane {

double HundredthsDbToGain(int hundredthsDb) {
  if (hundredthsDb <= kMinVolume) return 0.0;
  return std::pow(10.0, hundredthsDb / 2000.0);
}

StereoGain VolumeBalanceToGain(int volume, int balance) {
  volume = std::clamp(volume, kMinVolume, kMaxVolume);
  balance = std::clamp(balance, kMinBalance, kMaxBalance);
  const double level = HundredthsDbToGain(volume);
  StereoGain gain;
  gain.left = static_cast<float>(level * (balance > 0 ? HundredthsDbToGain(-balance) : 1.0));
  gain.right = static_cast<float>(level * (balance < 0 ? HundredthsDbToGain(balance) : 1.0));
  return gain;
}

}  // namespace marvane
