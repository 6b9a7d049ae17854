#include "console/volumelaw.h"

#include <gtest/gtest.h>

namespace marvane {
namespace {

TEST(VolumeLaw, StepsGiveTheTableOfAttenuations) {
  const std::pair<int, int> rows[] = {{0, -9569}, {1, -8660}, {5, -5778}, {10, -3424}, {15, -1963}, {20, -1055},
                                      {25, -492}, {30, -142}, {31, -90}, {32, -43}, {33, 0}};
  for (const auto& [step, volume] : rows) EXPECT_EQ(VolumeOfStep(step), volume) << "step " << step;
  for (int step = 1; step <= kMaxVolumeStep; ++step) EXPECT_GT(VolumeOfStep(step), VolumeOfStep(step - 1));
}

TEST(VolumeLaw, SliderAndCrossfaderLevelMakeTheStep) {
  // 80 x 100 makes 26.67, rounded to 27; 0.5 and 1.5 round to the even 0 and 2; the bottom is quiet, not silent.
  for (const auto& [slider, fader, step] :
       {std::tuple{100, 100, 33}, {80, 100, 27}, {0, 100, 0}, {100, 0, 0}, {75, 2, 0}, {45, 10, 2}, {50, 50, 8}})
    EXPECT_EQ(std::pair(VolumeStep(slider, fader), LineVolume(slider, fader)), std::pair(step, VolumeOfStep(step)))
        << slider << " " << fader;
  EXPECT_EQ(LineVolume(80, 100), -332);
}

}  // namespace
}  // namespace marvane
