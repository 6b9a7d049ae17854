// The master strip (slider 7 and Mute(7)) against a scripted card.

#include "mixer/masterstrip.h"
#include "mixer/mixer.h"
#include "mixer/scriptedmixerbackend.h"
#include "support/scripteddialogs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace marvane {
namespace {

using test::ScriptedDialogs;
using test::ScriptedMixerBackend;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr quint32 kMaster = 1;

class MasterStripTest : public ::testing::Test {
 protected:
  ScriptedMixerBackend card;
  ScriptedDialogs dialogs;
  Mixer mixer{card, dialogs};
  MasterStrip strip{mixer};

  void Start(qint32 minimum = 0, qint32 maximum = 65535) {
    card.speakers = ScriptedMixerBackend::Control(kMaster, minimum, maximum);
    mixer.InitMixer();
  }
};

TEST_F(MasterStripTest, SliderDrivesTheMasterVolume) {
  Start();
  strip.Scroll(80);
  strip.Scroll(100);
  strip.Scroll(0);
  EXPECT_THAT(card.LevelsWritten(kMaster), ElementsAre(52428, 65535, 0));
}

TEST_F(MasterStripTest, MuteHeldWhileSliderMovesWritesNothingUntilRelease) {
  Start();
  strip.Scroll(80);
  strip.MuteDown();
  EXPECT_TRUE(strip.Muted());
  strip.Scroll(60);
  strip.Scroll(40);
  EXPECT_THAT(card.LevelsWritten(kMaster), ElementsAre(52428, 0));

  strip.MuteUp(MasterStrip::kLeftButton);
  EXPECT_FALSE(strip.Muted());
  // The release applies the slider's newest value, not the one from before the mute.
  EXPECT_THAT(card.LevelsWritten(kMaster), ElementsAre(52428, 0, 26214));
}

TEST_F(MasterStripTest, RightClickLeavesItMutedUntilTheNextLeftClick) {
  Start();
  strip.Scroll(50);
  strip.MuteDown();
  strip.MuteUp(MasterStrip::kRightButton);
  strip.Scroll(70);
  EXPECT_TRUE(strip.Muted());
  EXPECT_THAT(card.LevelsWritten(kMaster), ElementsAre(32768, 0));

  // A left click: its press writes 0 again, its release brings the slider's level back (45874.5, a half,
  // goes to the even neighbour).
  strip.MuteDown();
  strip.MuteUp(MasterStrip::kLeftButton);
  EXPECT_THAT(card.LevelsWritten(kMaster), ElementsAre(32768, 0, 0, 45874));
}

TEST_F(MasterStripTest, MuteWritesZeroEvenBelowACardsMinimum) {
  Start(100, 1100);
  strip.Scroll(0);
  strip.MuteDown();
  strip.MuteUp(MasterStrip::kLeftButton);
  EXPECT_THAT(card.LevelsWritten(kMaster), ElementsAre(100, 0, 100));
}

TEST_F(MasterStripTest, WithoutAMasterControlNothingIsWrittenButTheMuteStateStillWorks) {
  card.microphone = ScriptedMixerBackend::Control(2, 0, 100);
  mixer.InitMixer();
  strip.Scroll(80);
  strip.MuteDown();
  EXPECT_TRUE(strip.Muted());
  strip.MuteUp(MasterStrip::kLeftButton);
  EXPECT_FALSE(strip.Muted());
  EXPECT_EQ(strip.SliderValue(), 80);
  EXPECT_THAT(card.writes, IsEmpty());
}

}  // namespace
}  // namespace marvane
