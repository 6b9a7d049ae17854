#pragma once
// The console's volume law: a line's slider (0..100) and the crossfader level of its side (0..100, or 100 for an
// Always On line) give the player's volume in hundredths of a decibel.
//
// The step L = slider x level / 300, rounded half to even, runs from 0 to 33. The attenuation starts at 11000,
// is divided by 1.1 once for every step from 0 to L inclusive, and 431 is taken off; the volume is its negative,
// rounded half to even and held within -10000..0. So each step is 1.1 times less attenuation, L 33 is full
// level (0) and L 0 is -9569, quiet but not silent.

namespace marvane {

inline constexpr int kMaxVolumeStep = 33;

// The step L for a slider value and a crossfader level.
int VolumeStep(int slider, int crossLevel);

// The volume of a step, in hundredths of a decibel.
int VolumeOfStep(int step);

// Both at once: VolumeOfStep(VolumeStep(slider, crossLevel)).
int LineVolume(int slider, int crossLevel);

}  // namespace marvane
