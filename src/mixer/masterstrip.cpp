#include "mixer/masterstrip.h"

#include "mixer/mixer.h"

namespace marvane {

MasterStrip::MasterStrip(Mixer& mixer) : mixer_(mixer) {}

void MasterStrip::Scroll(int value) {
  sliderValue_ = value;
  ApplyLineVolume();
}

void MasterStrip::MuteDown() {
  muted_ = true;
  mixer_.MuteMasterVolume();
}

void MasterStrip::MuteUp(int button) {
  if (button != kLeftButton) return;
  muted_ = false;
  ApplyLineVolume();
}

void MasterStrip::ApplyLineVolume() {
  if (muted_) return;
  mixer_.ApplyMasterVolume(sliderValue_);
}

}  // namespace marvane
