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
  EXPECT_EQ(VolumeStep(100, 100), 33);
  EXPECT_EQ(LineVolume(100, 100), 0);
  EXPECT_EQ(VolumeStep(80, 100), 27);  // 26.67 rounds to 27
  EXPECT_EQ(LineVolume(80, 100), -332);
  EXPECT_EQ(LineVolume(0, 100), -9569);  // the bottom is quiet, not silent
  EXPECT_EQ(LineVolume(100, 0), -9569);
  EXPECT_EQ(VolumeStep(75, 2), 0);     // 0.5 rounds to the even 0
  EXPECT_EQ(VolumeStep(45, 10), 2);    // 1.5 rounds to the even 2
  EXPECT_EQ(LineVolume(50, 50), VolumeOfStep(8));  // 8.33
}

}  // namespace
}  // namespace marvane
