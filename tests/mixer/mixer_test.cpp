// The mixer's start-up, its report, the slider-to-level mapping and the master strip, against a scripted card.

#include "mixer/masterstrip.h"
#include "mixer/mixer.h"
#include "mixer/scriptedmixerbackend.h"
#include "support/scripteddialogs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

namespace marvane {
namespace {

using test::ScriptedMixerBackend;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr quint32 kMaster = 1;
constexpr quint32 kMic = 2;
constexpr qint32 kMin32 = std::numeric_limits<qint32>::min();
constexpr qint32 kMax32 = std::numeric_limits<qint32>::max();

class MixerTest : public ::testing::Test {
 protected:
  ScriptedMixerBackend card;
  test::ScriptedDialogs dialogs;
  Mixer mixer{card, dialogs};
  MasterStrip strip{mixer};

  void Start(std::optional<std::pair<qint32, qint32>> master, std::optional<std::pair<qint32, qint32>> mic) {
    if (master) card.speakers = ScriptedMixerBackend::Control(kMaster, master->first, master->second);
    if (mic) card.microphone = ScriptedMixerBackend::Control(kMic, mic->first, mic->second);
    mixer.InitMixer();
  }
  void ExpectOneMixerError() {
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Mixer Error"));
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Couldn't initialize the Volume Control. MVN will work, but you will not be able to "
                             "control the Master Volume or the Mic Volume."));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
  }
};

TEST_F(MixerTest, CardWithBothControlsOpensQuietlyAndMapsBoundsZeroTo65535) {
  Start(std::pair{0, 65535}, std::pair{0, 31});
  EXPECT_THAT(card.calls, ElementsAre("Open", "Speakers 7", "Microphone 7"));
  EXPECT_TRUE(mixer.MasterOK());
  EXPECT_TRUE(mixer.MicOK());
  EXPECT_EQ(mixer.MasterSpan(), 65535);
  EXPECT_EQ(mixer.MasterBase(), 0);
  EXPECT_THAT(dialogs.messages, IsEmpty());
  // Nothing is written at start-up by the mixer itself: the master slider's restore does that.
  EXPECT_THAT(card.writes, IsEmpty());
  for (const int level : {0, 100, 80}) strip.Scroll(level);
  EXPECT_THAT(card.writes, ElementsAre(ScriptedMixerBackend::Write{ScriptedMixerBackend::kHandle, kMaster, 0},
                                       ScriptedMixerBackend::Write{ScriptedMixerBackend::kHandle, kMaster, 65535},
                                       ScriptedMixerBackend::Write{ScriptedMixerBackend::kHandle, kMaster, 52428}));
}

TEST_F(MixerTest, MappingRoundsHalvesToEvenAndDropsLevelsThatDoNotFit32Bits) {
  // A span of 50 puts odd slider levels exactly on halves: 0.5 -> 0, 1.5 -> 2, 2.5 -> 2, 3.5 -> 4.
  Start(std::pair{0, 50}, std::nullopt);
  EXPECT_EQ(mixer.MixerLevel(1), 0);
  EXPECT_EQ(mixer.MixerLevel(3), 2);
  EXPECT_EQ(mixer.MixerLevel(5), 2);
  EXPECT_EQ(mixer.MixerLevel(7), 4);
  Start(std::pair{0, 65536}, std::nullopt);  // a PulseAudio volume: 80 gives 52428.8
  EXPECT_EQ(mixer.MixerLevel(80), 52429);
  EXPECT_EQ(mixer.MixerLevel(50), 32768);
  // Slider levels beyond 100 cannot come from a slider, but the mapping must not wrap when they do.
  Start(std::pair{0, kMax32}, std::nullopt);
  EXPECT_EQ(mixer.MixerLevel(100), kMax32);
  EXPECT_EQ(mixer.MixerLevel(101), std::nullopt);
  card.writes.clear();
  mixer.ApplyMasterVolume(101);
  EXPECT_THAT(card.writes, IsEmpty());
}

TEST_F(MixerTest, NonZeroMinimumIsTheBaseButMuteWritesZeroAndTheReleaseRestoresIt) {
  Start(std::pair{-6000, 1000}, std::nullopt);
  EXPECT_EQ(mixer.MasterSpan(), 7000);
  EXPECT_EQ(mixer.MasterBase(), -6000);
  for (const int level : {50, 100, 0}) strip.Scroll(level);
  strip.MuteDown();
  strip.MuteUp(kLeftButton);
  EXPECT_THAT(card.LevelsWritten(kMaster), ElementsAre(-2500, 1000, -6000, 0, -6000));
}

TEST_F(MixerTest, MasterRightClickKeepsItMutedUntilTheNextLeftClick) {
  Start(std::pair{0, 65535}, std::nullopt);
  strip.Scroll(50);
  strip.MuteDown();
  strip.MuteUp(kRightButton);
  strip.Scroll(70);
  EXPECT_TRUE(strip.Muted());
  EXPECT_THAT(card.LevelsWritten(kMaster), ElementsAre(32768, 0));
  // A left click: its press writes 0 again, its release brings the slider's newest level back (45874.5, a half,
  // goes to the even neighbour).
  strip.MuteDown();
  strip.MuteUp(kLeftButton);
  EXPECT_FALSE(strip.Muted());
  EXPECT_THAT(card.LevelsWritten(kMaster), ElementsAre(32768, 0, 0, 45874));
}

TEST_F(MixerTest, MicrophoneUsesTheMastersSpanAndBase) {
  Start(std::pair{10, 110}, std::pair{0, 65535});
  mixer.ApplyMicVolume(50);
  mixer.ApplyMicVolume(100);
  EXPECT_THAT(card.LevelsWritten(kMic), ElementsAre(60, 110));
  EXPECT_THAT(card.LevelsWritten(kMaster), IsEmpty());
}

TEST_F(MixerTest, MicrophoneWithoutMasterReportsOnceAndAlwaysWritesZero) {
  Start(std::nullopt, std::pair{0, 65535});
  ExpectOneMixerError();
  EXPECT_FALSE(mixer.MasterOK());
  EXPECT_TRUE(mixer.MicOK());
  EXPECT_EQ(mixer.MasterSpan(), 0);
  for (const int level : {0, 50, 100}) mixer.ApplyMicVolume(level);
  // The master strip's mute still switches, but nothing reaches the card's master.
  strip.Scroll(80);
  strip.MuteDown();
  EXPECT_TRUE(strip.Muted());
  strip.MuteUp(kLeftButton);
  EXPECT_FALSE(strip.Muted());
  EXPECT_THAT(card.LevelsWritten(kMic), ElementsAre(0, 0, 0));
  EXPECT_THAT(card.LevelsWritten(kMaster), IsEmpty());
}

TEST_F(MixerTest, MixerThatDoesNotOpenIsReportedOnceWithTheProgressWindowHidden) {
  std::vector<std::string> events;
  mixer.SetProgressWindowHooks([&] { events.push_back("hide"); }, [&] { events.push_back("show"); });
  dialogs.onMessage = [&](const test::AskedMessage& m) { events.push_back(m.title.toStdString()); };
  card.openResult = -2;
  Start(std::pair{0, 100}, std::pair{0, 100});
  // The microphone lookup runs on the unopened handle, and fails there.
  EXPECT_THAT(card.calls, ElementsAre("Open", "Microphone 0"));
  EXPECT_EQ(mixer.MixerResult(), -2);
  EXPECT_FALSE(mixer.MasterOK());
  EXPECT_FALSE(mixer.MicOK());
  ExpectOneMixerError();
  EXPECT_THAT(events, ElementsAre("hide", "Mixer Error", "show"));
  mixer.ApplyMasterVolume(80);
  mixer.MuteMasterVolume();
  mixer.ApplyMicVolume(80);
  EXPECT_THAT(card.writes, IsEmpty());
}

TEST_F(MixerTest, NoControlsAtAllIsReportedOnce) {
  Start(std::nullopt, std::nullopt);
  EXPECT_FALSE(mixer.MasterOK());
  EXPECT_FALSE(mixer.MicOK());
  ExpectOneMixerError();
}

TEST_F(MixerTest, SpanOverflowLeavesAtOnceSilentlyOutsideDebugModeAndWithTheDebugBoxInIt) {
  Start(std::pair{kMin32, kMax32}, std::pair{0, 100});
  // The rest of the start-up is skipped: no microphone lookup, no "Mixer Error".
  EXPECT_THAT(card.calls, ElementsAre("Open", "Speakers 7"));
  EXPECT_FALSE(mixer.MasterOK());
  EXPECT_FALSE(mixer.MicOK());
  EXPECT_EQ(mixer.MasterSpan(), 0);
  EXPECT_THAT(dialogs.messages, IsEmpty());

  Mixer debug(card, dialogs);
  debug.SetDebugMode(true);
  bool hidden = false, hiddenDuringBox = false;
  debug.SetProgressWindowHooks([&] { hidden = true; }, [&] { hidden = false; });
  dialogs.onMessage = [&](const test::AskedMessage&) { hiddenDuringBox = hidden; };
  card.speakers = ScriptedMixerBackend::Control(kMaster, -2, kMax32);
  debug.InitMixer();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Debug Error Message - Init Mixer"));
  EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Overflow"));
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Critical);
  EXPECT_TRUE(hiddenDuringBox);
  EXPECT_FALSE(hidden);
}

TEST_F(MixerTest, MissingMicrophoneAloneAndAFailedWriteAreNotReported) {
  Start(std::pair{0, 100}, std::nullopt);
  EXPECT_TRUE(mixer.MasterOK());
  EXPECT_FALSE(mixer.MicOK());
  mixer.ApplyMicVolume(50);
  EXPECT_THAT(card.writes, IsEmpty());
  // A failed write keeps its code for MixerResult.
  card.setResult = -5;
  EXPECT_FALSE(mixer.SetMixerVolume(mixer.MixerHandle(), mixer.MasterControl(), 40));
  EXPECT_EQ(mixer.MixerResult(), -5);
  card.setResult = 0;
  EXPECT_TRUE(mixer.SetMixerVolume(mixer.MixerHandle(), mixer.MasterControl(), 40));
  EXPECT_EQ(mixer.MixerResult(), 0);
  EXPECT_THAT(dialogs.messages, IsEmpty());
}

}  // namespace
}  // namespace marvane
