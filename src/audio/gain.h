#pragma once
// The player's level units. Volume and balance are hundredths of a decibel: a volume of -332 plays 3.32 dB
// below full level, -10000 is exact silence. A negative balance lowers the right channel by that much, a
// positive one the left channel.

namespace marvane {

inline constexpr int kMinVolume = -10000;
inline constexpr int kMaxVolume = 0;
inline constexpr int kMinBalance = -10000;
inline constexpr int kMaxBalance = 10000;

// Linear amplitude of a level in hundredths of a decibel; -10000 or below is exactly 0.
double HundredthsDbToGain(int hundredthsDb);

struct StereoGain {
  float left = 1.0f;
  float right = 1.0f;
};

// Left and right amplitudes for a player's volume and balance (both clamped to their ranges first).
StereoGain VolumeBalanceToGain(int volume, int balance);

}  // namespace marvane
