#pragma once
// The console's master strip: slider 7 and Mute(7), which belong to no line and drive the sound card's master
// volume. The strip keeps the mute state (Mute(7) marked "Muted") and the slider's last value; the console's
// widgets show them and forward their events here.
//
//  - slider 7 changed (drag, keypad 8 and 2, start-up's SetValue): Scroll(value);
//  - Mute(7) pressed with any button (and Space down, and a double click): MuteDown();
//  - Mute(7) released: MuteUp(button); only the left button unmutes, so a right click leaves it muted.
//
// Thread contract: UI thread only.

#include "common/states.h"

namespace marvane {

class Mixer;

class MasterStrip {
 public:
  explicit MasterStrip(Mixer& mixer);

  // Slider 7 has a new value: the master volume follows unless the mute is held.
  void Scroll(int value);
  // Marks the strip muted and turns the master volume to level 0.
  void MuteDown();
  // With the left button (kLeftButton): unmarks the strip and applies the slider's level again. Other buttons do
  // nothing.
  void MuteUp(int button);

  bool Muted() const { return muted_; }
  int SliderValue() const { return sliderValue_; }

 private:
  // Index 7 of the volume law: nothing while muted, else the slider's level through the mixer.
  void ApplyLineVolume();

  Mixer& mixer_;
  bool muted_ = false;
  int sliderValue_ = 0;
};

}  // namespace marvane
