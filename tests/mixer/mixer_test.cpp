// The mixer's start-up, its report, the slider-to-level mapping and the master strip, against a scripted card.

#include "mixer/masterstrip.h"
#include "mixer/mixer.h"
#include "mixer/scriptedmixerbackend.h"
#include "support/scripteddialogs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

namespace marvane::test {
namespace {

using namespace Qt::StringLiterals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Bounds = std::optional<std::pair<qint32, qint32>>;

constexpr quint32 kMaster = 1;
constexpr quint32 kMic = 2;
constexpr qint32 kMin32 = std::numeric_limits<qint32>::min();
constexpr qint32 kMax32 = std::numeric_limits<qint32>::max();

class MixerTest : public ::testing::Test {
 protected:
  ScriptedMixerBackend card;
  ScriptedDialogs dialogs;
  Mixer mixer{card, dialogs};
  MasterStrip strip{mixer};

  void Start(Bounds master, Bounds mic = std::nullopt) {
    if (master) card.speakers = ScriptedMixerBackend::Control(kMaster, master->first, master->second);
    if (mic) card.microphone = ScriptedMixerBackend::Control(kMic, mic->first, mic->second);
    mixer.InitMixer();
  }
};

// "Mixer Error" is shown once, with the progress window hidden, when the master cannot be controlled; a missing
// microphone alone is not reported, and bounds whose span overflows 32 bits leave at once without a report.
TEST(MixerStartUp, FindsTheControlsAndReportsAMissingMasterOnce) {
  const std::vector<std::string> both = {"Open", "Speakers 7", "Microphone 7"};
  const struct {
    int openResult;
    Bounds master, mic;
    std::vector<std::string> calls;
    bool masterOk, micOk, reported;
    qint32 span, base;
  } rows[] = {{0, std::pair{0, 65535}, std::pair{0, 31}, both, true, true, false, 65535, 0},
              {0, std::pair{-6000, 1000}, std::nullopt, both, true, false, false, 7000, -6000},
              {0, std::nullopt, std::pair{0, 65535}, both, false, true, true, 0, 0},
              // The microphone lookup runs on the unopened handle, and fails there.
              {-2, std::pair{0, 100}, std::pair{0, 100}, {"Open", "Microphone 0"}, false, false, true, 0, 0},
              {0, std::pair{kMin32, kMax32}, std::pair{0, 100}, {"Open", "Speakers 7"}, false, false, false, 0, 0}};
  for (const auto& row : rows) {
    ScriptedMixerBackend card;
    ScriptedDialogs dialogs;
    Mixer mixer(card, dialogs);
    std::vector<std::string> events;
    mixer.SetProgressWindowHooks([&] { events.push_back("hide"); }, [&] { events.push_back("show"); });
    dialogs.onMessage = [&](const AskedMessage& m) { events.push_back(m.title.toStdString()); };
    card.openResult = row.openResult;
    if (row.master) card.speakers = ScriptedMixerBackend::Control(kMaster, row.master->first, row.master->second);
    if (row.mic) card.microphone = ScriptedMixerBackend::Control(kMic, row.mic->first, row.mic->second);
    mixer.InitMixer();
    SCOPED_TRACE(row.calls.back());
    EXPECT_EQ(card.calls, row.calls);
    EXPECT_EQ(std::tuple(mixer.MasterOK(), mixer.MicOK(), mixer.MasterSpan(), mixer.MasterBase()),
              std::tuple(row.masterOk, row.micOk, row.span, row.base));
    EXPECT_THAT(card.writes, IsEmpty());  // the master slider's restore writes the first level, not the mixer
    if (row.reported) {
      EXPECT_EQ(events, (std::vector<std::string>{"hide", "Mixer Error", "show"}));
      ASSERT_EQ(dialogs.messages.size(), 1);
      EXPECT_EQ(std::tuple(dialogs.messages[0].text, dialogs.messages[0].icon, dialogs.messages[0].buttons),
                std::tuple(Mixer::kMixerErrorText, MessageIcon::Information, MessageButtons::Ok));
    } else {
      EXPECT_THAT(events, IsEmpty());
    }
    if (row.openResult) {
      EXPECT_EQ(mixer.MixerResult(), row.openResult);
    }
  }
}

TEST_F(MixerTest, InDebugModeASpanOverflowIsShownOverTheHiddenProgressWindow) {
  mixer.SetDebugMode(true);
  bool hidden = false, hiddenDuringBox = false;
  mixer.SetProgressWindowHooks([&] { hidden = true; }, [&] { hidden = false; });
  dialogs.onMessage = [&](const AskedMessage&) { hiddenDuringBox = hidden; };
  Start(std::pair{-2, kMax32});
  ASSERT_EQ(dialogs.messages.size(), 1);
  EXPECT_EQ(std::tuple(dialogs.messages[0].title, dialogs.messages[0].text, dialogs.messages[0].icon),
            std::tuple(u"Debug Error Message - Init Mixer"_s, u"Overflow"_s, MessageIcon::Critical));
  EXPECT_TRUE(hiddenDuringBox && !hidden);
}

TEST_F(MixerTest, MappingRoundsHalvesToEvenAndDropsLevelsThatDoNotFit32Bits) {
  // A span of 50 puts odd slider levels exactly on halves: 0.5 -> 0, 1.5 -> 2, 2.5 -> 2, 3.5 -> 4.
  Start(std::pair{0, 50});
  EXPECT_EQ(std::vector({mixer.MixerLevel(1), mixer.MixerLevel(3), mixer.MixerLevel(5), mixer.MixerLevel(7)}),
            (std::vector<std::optional<qint32>>{0, 2, 2, 4}));
  Start(std::pair{0, 65536});  // a PulseAudio volume: 80 gives 52428.8
  EXPECT_EQ(mixer.MixerLevel(80), 52429);
  // Slider levels beyond 100 cannot come from a slider, but the mapping must not wrap when they do.
  Start(std::pair{0, kMax32});
  EXPECT_EQ(mixer.MixerLevel(100), kMax32);
  EXPECT_EQ(mixer.MixerLevel(101), std::nullopt);
  card.writes.clear();
  mixer.ApplyMasterVolume(101);
  EXPECT_THAT(card.writes, IsEmpty());
}

TEST_F(MixerTest, MasterStripWritesTheMappedLevelMuteWritesZeroAndTheReleaseRestoresIt) {
  Start(std::pair{-6000, 1000}, std::pair{0, 65535});  // a non-zero minimum is the base
  for (const int level : {50, 100, 0}) strip.Scroll(level);
  strip.MuteDown();
  strip.MuteUp(kLeftButton);
  EXPECT_THAT(card.LevelsWritten(kMaster), ElementsAre(-2500, 1000, -6000, 0, -6000));
  EXPECT_EQ(card.writes[0].handle, ScriptedMixerBackend::kHandle);
  // A right click keeps it muted while the slider moves; a left click's press writes 0 again and its release
  // brings the slider's newest level back.
  card.writes.clear();
  strip.Scroll(50);
  strip.MuteDown();
  strip.MuteUp(kRightButton);
  strip.Scroll(70);
  EXPECT_TRUE(strip.Muted());
  strip.MuteDown();
  strip.MuteUp(kLeftButton);
  EXPECT_FALSE(strip.Muted());
  EXPECT_THAT(card.LevelsWritten(kMaster), ElementsAre(-2500, 0, 0, -1100));
  // The microphone uses the master's span and base.
  mixer.ApplyMicVolume(50);
  mixer.ApplyMicVolume(100);
  EXPECT_THAT(card.LevelsWritten(kMic), ElementsAre(-2500, 1000));
}

TEST_F(MixerTest, WithoutAMasterTheMicrophoneGetsZeroAndTheMuteSwitchesWithoutWriting) {
  Start(std::nullopt, std::pair{0, 65535});
  for (const int level : {0, 50, 100}) mixer.ApplyMicVolume(level);
  strip.Scroll(80);
  strip.MuteDown();
  EXPECT_TRUE(strip.Muted());
  strip.MuteUp(kLeftButton);
  EXPECT_THAT(card.LevelsWritten(kMic), ElementsAre(0, 0, 0));
  EXPECT_THAT(card.LevelsWritten(kMaster), IsEmpty());
}

TEST_F(MixerTest, AMissingMicrophoneWritesNothingAndAFailedWriteKeepsItsCodeUnreported) {
  Start(std::pair{0, 100});
  mixer.ApplyMicVolume(50);
  EXPECT_THAT(card.writes, IsEmpty());
  card.setResult = -5;
  EXPECT_FALSE(mixer.SetMixerVolume(mixer.MixerHandle(), mixer.MasterControl(), 40));
  EXPECT_EQ(mixer.MixerResult(), -5);
  card.setResult = 0;
  EXPECT_TRUE(mixer.SetMixerVolume(mixer.MixerHandle(), mixer.MasterControl(), 40) && mixer.MixerResult() == 0);
  EXPECT_THAT(dialogs.messages, IsEmpty());
}

}  // namespace
}  // namespace marvane::test
