// The mixer's start-up, its report, and the slider-to-level mapping, against a scripted card.

#include "mixer/mixer.h"
#include "mixer/scriptedmixerbackend.h"
#include "support/scripteddialogs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

namespace marvane {
namespace {

using test::ScriptedDialogs;
using test::ScriptedMixerBackend;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr quint32 kMaster = 1;
constexpr quint32 kMic = 2;

class MixerTest : public ::testing::Test {
 protected:
  ScriptedMixerBackend card;
  ScriptedDialogs dialogs;
  Mixer mixer{card, dialogs};

  void WithMaster(qint32 minimum, qint32 maximum) {
    card.speakers = ScriptedMixerBackend::Control(kMaster, minimum, maximum);
  }
  void WithMic(qint32 minimum, qint32 maximum) {
    card.microphone = ScriptedMixerBackend::Control(kMic, minimum, maximum);
  }

  int MixerErrorCount() const {
    int count = 0;
    for (const auto& m : dialogs.messages) {
      if (m.title == Mixer::kMixerErrorTitle) ++count;
    }
    return count;
  }
};

TEST_F(MixerTest, CardWithBothControlsOpensQuietlyAndLooksUpMasterThenMic) {
  WithMaster(0, 65535);
  WithMic(0, 31);
  mixer.InitMixer();

  EXPECT_THAT(card.calls, ElementsAre("Open", "Speakers 7", "Microphone 7"));
  EXPECT_TRUE(mixer.MasterOK());
  EXPECT_TRUE(mixer.MicOK());
  EXPECT_EQ(mixer.MixerHandle(), ScriptedMixerBackend::kHandle);
  EXPECT_EQ(mixer.MasterSpan(), 65535);
  EXPECT_EQ(mixer.MasterBase(), 0);
  EXPECT_EQ(mixer.MasterControl().ControlID, kMaster);
  EXPECT_EQ(mixer.MicControl().Maximum, 31);
  EXPECT_THAT(dialogs.messages, IsEmpty());
  // Nothing is written at start-up by the mixer itself: the master slider's restore does that.
  EXPECT_THAT(card.writes, IsEmpty());
}

TEST_F(MixerTest, BoundsZeroTo65535MapSliderEndsAndDefault) {
  WithMaster(0, 65535);
  mixer.InitMixer();
  mixer.ApplyMasterVolume(0);
  mixer.ApplyMasterVolume(100);
  mixer.ApplyMasterVolume(80);
  EXPECT_THAT(card.LevelsWritten(kMaster), ElementsAre(0, 65535, 52428));
  for (const auto& w : card.writes) EXPECT_EQ(w.handle, ScriptedMixerBackend::kHandle);
}

TEST_F(MixerTest, MappingRoundsHalvesToTheEvenNeighbour) {
  // A span of 50 makes odd slider levels land exactly on halves: 0.5 -> 0, 1.5 -> 2, 2.5 -> 2, 3.5 -> 4.
  WithMaster(0, 50);
  mixer.InitMixer();
  EXPECT_EQ(mixer.MixerLevel(1), 0);
  EXPECT_EQ(mixer.MixerLevel(3), 2);
  EXPECT_EQ(mixer.MixerLevel(5), 2);
  EXPECT_EQ(mixer.MixerLevel(7), 4);
  // 65536 (a PulseAudio volume) at 80 is 52428.8.
  WithMaster(0, 65536);
  Mixer other(card, dialogs);
  other.InitMixer();
  EXPECT_EQ(other.MixerLevel(80), 52429);
  EXPECT_EQ(other.MixerLevel(50), 32768);
}

TEST_F(MixerTest, NonZeroMinimumIsTheBaseButMuteWritesZero) {
  WithMaster(-6000, 1000);
  mixer.InitMixer();
  EXPECT_EQ(mixer.MasterSpan(), 7000);
  EXPECT_EQ(mixer.MasterBase(), -6000);
  mixer.ApplyMasterVolume(0);
  mixer.ApplyMasterVolume(50);
  mixer.ApplyMasterVolume(100);
  mixer.MuteMasterVolume();
  EXPECT_THAT(card.LevelsWritten(kMaster), ElementsAre(-6000, -2500, 1000, 0));
}

TEST_F(MixerTest, MicrophoneUsesTheMastersSpanAndBase) {
  WithMaster(10, 110);
  WithMic(0, 65535);
  mixer.InitMixer();
  mixer.ApplyMicVolume(50);
  mixer.ApplyMicVolume(100);
  EXPECT_THAT(card.LevelsWritten(kMic), ElementsAre(60, 110));
  EXPECT_THAT(card.LevelsWritten(kMaster), IsEmpty());
}

TEST_F(MixerTest, MicrophoneWithoutMasterReportsOnceAndAlwaysWritesZero) {
  WithMic(0, 65535);
  mixer.InitMixer();

  EXPECT_FALSE(mixer.MasterOK());
  EXPECT_TRUE(mixer.MicOK());
  EXPECT_EQ(mixer.MasterSpan(), 0);
  EXPECT_EQ(mixer.MasterBase(), 0);
  ASSERT_EQ(dialogs.messages.size(), 1);
  EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Mixer Error"));
  EXPECT_EQ(dialogs.messages[0].text,
            QStringLiteral("Couldn't initialize the Volume Control. MVN will work, but you will not be able to "
                           "control the Master Volume or the Mic Volume."));
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
  EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);

  for (int level : {0, 50, 100}) mixer.ApplyMicVolume(level);
  mixer.ApplyMasterVolume(80);
  mixer.MuteMasterVolume();
  EXPECT_THAT(card.LevelsWritten(kMic), ElementsAre(0, 0, 0));
  EXPECT_THAT(card.LevelsWritten(kMaster), IsEmpty());
}

TEST_F(MixerTest, MissingMicrophoneAloneIsNotReported) {
  WithMaster(0, 100);
  mixer.InitMixer();
  EXPECT_TRUE(mixer.MasterOK());
  EXPECT_FALSE(mixer.MicOK());
  EXPECT_THAT(dialogs.messages, IsEmpty());
  mixer.ApplyMicVolume(50);
  EXPECT_THAT(card.writes, IsEmpty());
}

TEST_F(MixerTest, MixerThatDoesNotOpenIsReportedOnceAndStillLooksForTheMicrophone) {
  card.openResult = -2;
  WithMaster(0, 100);
  WithMic(0, 100);
  mixer.InitMixer();

  // The microphone lookup runs on the unopened handle, and fails there.
  EXPECT_THAT(card.calls, ElementsAre("Open", "Microphone 0"));
  EXPECT_EQ(mixer.MixerResult(), -2);
  EXPECT_EQ(mixer.MixerHandle(), 0u);
  EXPECT_FALSE(mixer.MasterOK());
  EXPECT_FALSE(mixer.MicOK());
  EXPECT_EQ(MixerErrorCount(), 1);
  mixer.ApplyMasterVolume(80);
  mixer.MuteMasterVolume();
  mixer.ApplyMicVolume(80);
  EXPECT_THAT(card.writes, IsEmpty());
}

TEST_F(MixerTest, NoControlsAtAllIsReportedOnce) {
  mixer.InitMixer();
  EXPECT_FALSE(mixer.MasterOK());
  EXPECT_FALSE(mixer.MicOK());
  EXPECT_EQ(MixerErrorCount(), 1);
  EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(MixerTest, ProgressWindowIsHiddenWhileTheReportIsUp) {
  std::vector<std::string> events;
  mixer.SetProgressWindowHooks([&] { events.push_back("hide"); }, [&] { events.push_back("show"); });
  dialogs.onMessage = [&](const test::AskedMessage& m) { events.push_back(m.title.toStdString()); };
  mixer.InitMixer();
  EXPECT_THAT(events, ElementsAre("hide", "Mixer Error", "show"));
}

TEST_F(MixerTest, SpanOverflowLeavesAtOnceSilentlyOutsideDebugMode) {
  WithMaster(std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
  WithMic(0, 100);
  mixer.InitMixer();

  // The rest of the start-up is skipped: no microphone lookup, no "Mixer Error".
  EXPECT_THAT(card.calls, ElementsAre("Open", "Speakers 7"));
  EXPECT_FALSE(mixer.MasterOK());
  EXPECT_FALSE(mixer.MicOK());
  EXPECT_EQ(mixer.MasterSpan(), 0);
  EXPECT_THAT(dialogs.messages, IsEmpty());
}

TEST_F(MixerTest, SpanOverflowInDebugModeShowsTheDebugBoxOnly) {
  WithMaster(-2, std::numeric_limits<qint32>::max());
  mixer.SetDebugMode(true);
  bool hidden = false;
  mixer.SetProgressWindowHooks([&] { hidden = true; }, [&] { hidden = false; });
  bool hiddenDuringBox = false;
  dialogs.onMessage = [&](const test::AskedMessage&) { hiddenDuringBox = hidden; };
  mixer.InitMixer();

  ASSERT_EQ(dialogs.messages.size(), 1);
  EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Debug Error Message - Init Mixer"));
  EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Overflow"));
  EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Critical);
  EXPECT_TRUE(hiddenDuringBox);
  EXPECT_FALSE(hidden);
}

TEST_F(MixerTest, FailedWriteKeepsItsCodeAndIsNotReported) {
  WithMaster(0, 100);
  mixer.InitMixer();
  card.setResult = -5;
  EXPECT_FALSE(mixer.SetMixerVolume(mixer.MixerHandle(), mixer.MasterControl(), 40));
  EXPECT_EQ(mixer.MixerResult(), -5);
  card.setResult = 0;
  EXPECT_TRUE(mixer.SetMixerVolume(mixer.MixerHandle(), mixer.MasterControl(), 40));
  EXPECT_EQ(mixer.MixerResult(), 0);
  EXPECT_THAT(dialogs.messages, IsEmpty());
}

TEST_F(MixerTest, LevelThatDoesNotFit32BitsIsDropped) {
  // Slider levels beyond 100 cannot come from a slider, but the mapping must not wrap when they do.
  WithMaster(0, std::numeric_limits<qint32>::max());
  mixer.InitMixer();
  EXPECT_EQ(mixer.MixerLevel(100), std::numeric_limits<qint32>::max());
  EXPECT_EQ(mixer.MixerLevel(101), std::nullopt);
  mixer.ApplyMasterVolume(101);
  EXPECT_THAT(card.writes, IsEmpty());
}

}  // namespace
}  // namespace marvane
