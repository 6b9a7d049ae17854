// The real mixer backend against a real system mixer: a private PulseAudio daemon with a null sink and a null
// source, reached through ALSA's pulse plugin as a desktop reaches it, the system's volumes read back with pactl;
// and ALSA with no mixer at all. ALSA reads its set-up once per process, so each suite is a CTest entry of its own.

#include "appearance/minislider.h"
#include "common/colorscheme.h"
#include "mixer/alsamixerbackend.h"
#include "mixer/masterstrip.h"
#include "mixer/miclevel.h"
#include "mixer/micwindow.h"
#include "mixer/mixer.h"
#include "support/fixture.h"
#include "support/scripteddialogs.h"
#include "support/testenv.h"
#include "testcard.h"


#include <QRegularExpression>

namespace marvane::test {
namespace {


class AlsaMixerTest : public ::testing::Test {
 protected:
  AlsaMixerBackend backend;
  ScriptedDialogs dialogs;
  Mixer mixer{backend, dialogs};
  MasterStrip strip{mixer};
  TempSettings settings;
  ColorScheme colors;
  MicWindow mic{mixer, settings, colors, dialogs};
};

class AlsaMixerIntegrationTest : public AlsaMixerTest {
 protected:
  static void SetUpTestSuite() {
    if (PrivatePulse::Missing().isEmpty()) pulse_ = new PrivatePulse;
  }
  static void TearDownTestSuite() { delete pulse_; }
  void SetUp() override {
    if (pulse_ == nullptr) GTEST_SKIP() << PrivatePulse::Missing().toStdString();
    ASSERT_TRUE(pulse_->Ready()) << "PulseAudio did not start";
    mixer.InitMixer();
    // The pulse plugin's master is "Master" with PulseAudio's own volume range, 0 to 65536.
    EXPECT_TRUE(mixer.MasterOK() && mixer.MicOK());
    EXPECT_EQ(std::pair(mixer.MasterSpan(), mixer.MasterBase()), std::pair(65536, 0));
    EXPECT_TRUE(dialogs.messages.isEmpty());
  }
  // The first channel's raw volume of the default sink or source, or -1 when pactl gives none.
  static int Volume(const QString& what) {
    const QString text = pulse_->Pactl({u"get-%1-volume"_s.arg(what), u"@DEFAULT_%1@"_s.arg(what.toUpper())});
    const auto match = QRegularExpression(u"front-left:\\s*(\\d+)"_s).match(text);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
  }

  static inline PrivatePulse* pulse_ = nullptr;
};

TEST_F(AlsaMixerIntegrationTest, MasterStripDrivesTheSystemVolumeAndOverwritesChangesMadeElsewhere) {
  strip.Scroll(80);  // start-up restores the default master slider value of 80
  EXPECT_EQ(Volume(u"sink"_s), 52429);  // 65536 x 0.8 = 52428.8
  strip.MuteDown();
  EXPECT_EQ(Volume(u"sink"_s), 0);
  strip.Scroll(30);  // the slider moves while the mute is held: nothing reaches the card
  EXPECT_EQ(Volume(u"sink"_s), 0);
  strip.MuteUp(kLeftButton);
  EXPECT_EQ(Volume(u"sink"_s), 19661);  // 65536 x 0.3 = 19660.8
  strip.Scroll(80);
  // The desktop's own volume control may move the volume between two writes of the same level.
  pulse_->Pactl({u"set-sink-volume"_s, u"@DEFAULT_SINK@"_s, u"1000"_s});
  ASSERT_EQ(Volume(u"sink"_s), 1000);
  strip.Scroll(80);
  EXPECT_EQ(Volume(u"sink"_s), 52429);
}

TEST_F(AlsaMixerIntegrationTest, MicrophoneSliderSetsTheDefaultSource) {
  mic.ShowMicWindow();  // the first opening in a run sends level 0
  ASSERT_TRUE(mic.MicWindowOpen());
  EXPECT_EQ(Volume(u"source"_s), 0);
  mic.Window()->MicSlider()->SetValue(50);
  EXPECT_EQ(Volume(u"source"_s), 32768);
  mic.Window()->MicSlider()->SetValue(100);
  EXPECT_EQ(Volume(u"source"_s), 65536);
  mic.CloseMicWindow();
}

// No mixer at all: ALSA set up with no usable control device. Needs neither PulseAudio nor a sound card.
using AlsaMixerWithoutMixerTest = AlsaMixerTest;

TEST_F(AlsaMixerWithoutMixerTest, MixerErrorIsShownOnceAndEverythingWorksOn) {
  QTemporaryDir folder;
  qputenv("ALSA_CONFIG_PATH", WriteBytes(folder.filePath(u"asound.conf"_s), "# no devices at all\n").toUtf8());
  mixer.InitMixer();
  EXPECT_EQ(dialogs.MessageTexts(), QStringList{Mixer::kMixerErrorText});
  EXPECT_EQ(std::tuple(mixer.MasterOK(), mixer.MicOK(), mixer.MasterSpan(), mixer.MasterBase()),
            std::tuple(false, false, 0, 0));
  EXPECT_NE(mixer.MixerResult(), 0);
  strip.Scroll(80);
  strip.MuteDown();
  strip.Scroll(20);
  strip.MuteUp(kLeftButton);
  mixer.ApplyMicVolume(50);
  mic.ShowMicWindow();  // no microphone: the window does not open
  EXPECT_FALSE(mic.MicWindowOpen());
  EXPECT_EQ(dialogs.messages.size(), 1);
}

// A card whose controls go away and come back (a USB card pulled out and plugged in again), through the test
// card's control plugin. Needs neither PulseAudio nor a sound card.
TEST(AlsaMixerCardChangeTest, AControlThatWentAwayIsFoundAgainNeverWrittenThroughWhatWasFreed) {
  QTemporaryDir folder;
  qputenv("ALSA_CONFIG_PATH", WriteBytes(folder.filePath(u"asound.conf"_s),
                                         "ctl_type.marvanetest { lib \"" MARVANE_TEST_CARD "\" }\n"
                                         "ctl.!default { type marvanetest }\n")
                                  .toUtf8());
  AlsaMixerBackend backend;
  quint32 handle = 0;
  MixerControl master;
  ASSERT_EQ(backend.Open(handle), 0);
  ASSERT_EQ(backend.GetLineControl(handle, MixerLineType::Speakers, MixerControlType::Volume, master), 0);
  // The mixer learns of each change from its events, at the next write.
  const std::tuple<void (*)(), int, bool, long> steps[] = {
      {[] {}, 40, true, 40}, {&MarvaneTestCardUnplug, 50, false, 40}, {&MarvaneTestCardReplug, 60, true, 60}};
  for (const auto& [change, level, accepted, onCard] : steps) {
    change();
    EXPECT_EQ(backend.SetControlDetails(handle, master.ControlID, level) == 0, accepted) << level;
    EXPECT_EQ(MarvaneTestCardMaster(), onCard) << level;
  }
}

}  // namespace
}  // namespace marvane::test
