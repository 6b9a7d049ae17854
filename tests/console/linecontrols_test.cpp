// The line controls and the crossfader on the real main window with the real engine: volumes by the volume law,
// fade modes, mutes, loops, the pan, and what the crossfader does at its ends.

#include "appearance/pan.h"
#include "console/crossfaderreactions.h"
#include "consolefixture.h"

namespace marvane::test {
namespace {

class LineControlsTest : public ConsoleTest {
 protected:
  LineControls& lines_ = console_.Lines();
};

TEST_F(LineControlsTest, SliderFadeModeAndCrossfaderSetThePlayersVolumeButNeverTheMasters) {
  form_.Line(2).Slider->SetValue(80);
  EXPECT_EQ(engine_.Player(2).Volume(), -332);
  form_.Line(0).Slider->SetValue(80);  // line 0 drives both AutoPilot players alike
  EXPECT_EQ(std::pair(engine_.AP(0).Volume(), engine_.AP(1).Volume()), std::pair(-332, -332));
  form_.Line(4).Slider->SetValue(100);
  lines_.FadeRightW_MouseDown(4, 1);
  const auto masterWrites = card_.writes.size();
  FadeToEnd(false);
  // Always On ignores the crossfader.
  EXPECT_EQ(std::pair(engine_.Player(2).Volume(), engine_.Player(4).Volume()), std::pair(-332, 0));
  EXPECT_EQ(card_.writes.size(), masterWrites);

  QTest::mouseClick(form_.Line(2).FadeLeft->Unlit(), Qt::LeftButton);
  EXPECT_EQ(std::pair(lines_.FadeMode(2), settings_.ReadSetting(keys::FadeMode(2), QString())),
            std::pair(kFadeLeft, u"0"_s));
  EXPECT_FALSE(form_.Line(2).FadeLeft->Lit()->isHidden());
  EXPECT_EQ(engine_.Player(2).Volume(), -9569);  // left line, knob at the far right: whatever the slider says
  QTest::mouseClick(form_.Line(2).FadeRight->Unlit(), Qt::LeftButton);
  EXPECT_EQ(std::pair(engine_.Player(2).Volume(), settings_.ReadSetting(keys::FadeMode(2), QString())),
            std::pair(-332, u"2"_s));
  QTest::mouseClick(form_.Line(2).On->Unlit(), Qt::LeftButton);
  EXPECT_EQ(lines_.FadeMode(2), kAlwaysOn);
  // A right press opens the menu instead and changes nothing.
  QTest::mouseClick(form_.Line(2).FadeLeft->Unlit(), Qt::RightButton);
  EXPECT_TRUE(lines_.FadeMode(2) == kAlwaysOn && form_.RCMenu()->isVisible());
  form_.RCMenu()->hide();
  lines_.FadeLeftW_MouseDown(2, 1);
  form_.MiniCrossfader1()->Reset();  // the middle: both sides at full level
  EXPECT_EQ(std::pair(engine_.Player(2).Volume(), engine_.Player(4).Volume()), std::pair(-332, 0));
  // The labels beside the crossfader start its fades.
  QTest::mouseClick(form_.LeftFade(), Qt::LeftButton);
  EXPECT_TRUE(form_.MiniCrossfader1()->IsFadingLeft());
  QTest::mouseClick(form_.FadeRight(), Qt::LeftButton);
  EXPECT_TRUE(form_.MiniCrossfader1()->IsFadingRight() && !form_.MiniCrossfader1()->IsFadingLeft());
}

// Lines 1 (left), 2 (right) and 3 (Always On) play, and AutoPilot's line 0 is on the right. ASOF stops the side
// that faded out (and AutoPilot with it); AutoReset then snaps the knob back to the middle, but only with ASOF.
TEST_F(LineControlsTest, AnAutoFadeToAnEndStopsTheFadedOutSideAndSnapsBackAsASOFAndAutoResetSay) {
  const QString tone = Tone(u"tone.wav"_s);
  for (int n : {1, 2, 3}) {
    ASSERT_EQ(OpenAndWait(engine_.Player(n), tone), 6);
    form_.Line(n).Slider->SetValue(80);
  }
  lines_.FadeLeftW_MouseDown(1, 1);
  lines_.FadeRightW_MouseDown(2, 1);
  lines_.FadeRightW_MouseDown(0, 1);
  int autoPilotStops = 0;
  console_.Crossfader().stopAutoPilotNow = [&] { ++autoPilotStops; };
  struct Row {
    bool asof, autoReset, toLeft;
    int stoppedLine, position, autoPilotStops;  // stoppedLine 0: none
  };
  for (const Row& row : {Row{true, true, true, 2, 1140, 1}, Row{true, false, false, 1, 2280, 0},
                         Row{false, true, false, 0, 2280, 0}, Row{false, false, true, 0, 0, 0}}) {
    SCOPED_TRACE(testing::Message() << "ASOF " << row.asof << ", AutoReset " << row.autoReset);
    for (int n : {1, 2, 3}) engine_.Player(n).Play();
    audio_.Render(0.1);
    form_.MiniCrossfader1()->Reset();
    autoPilotStops = 0;
    state_.ASOF = row.asof;
    state_.AutoReset = row.autoReset;
    FadeToEnd(row.toLeft);
    for (int n : {1, 2, 3}) EXPECT_EQ(engine_.Player(n).PlayState(), n == row.stoppedLine ? 0 : 2) << n;
    if (row.stoppedLine) {
      EXPECT_EQ(engine_.Player(row.stoppedLine).CurrentPosition(), 0.0);
    }
    EXPECT_EQ(std::pair(form_.MiniCrossfader1()->Position(), autoPilotStops),
              (std::pair<double, int>(row.position, row.autoPilotStops)));
    // The volumes follow the knob: restored in the middle, the faded side at the bottom of the law at an end.
    EXPECT_EQ(engine_.Player(row.toLeft ? 2 : 1).Volume(), row.position == 1140 ? -332 : -9569);
  }
}

TEST_F(LineControlsTest, LeftButtonMutesWhileHeldAndARightClickKeepsTheLineMutedOnEveryKindOfLine) {
  form_.Line(5).Slider->SetValue(80);
  QTest::mousePress(form_.Line(5).Mute, Qt::LeftButton);
  EXPECT_TRUE(engine_.Player(5).Volume() == -10000 && lines_.Muted(5));
  QTest::mouseRelease(form_.Line(5).Mute, Qt::LeftButton);
  EXPECT_EQ(engine_.Player(5).Volume(), -332);

  QTest::mouseClick(form_.Line(5).Mute, Qt::RightButton);
  EXPECT_TRUE(lines_.Muted(5));
  form_.Line(5).Slider->SetValue(100);  // moving the slider of a muted line changes nothing audible
  EXPECT_EQ(engine_.Player(5).Volume(), -10000);
  QTest::mouseClick(form_.Line(5).Mute, Qt::LeftButton);
  EXPECT_TRUE(!lines_.Muted(5) && engine_.Player(5).Volume() == 0) << "the new slider value applies";

  // Muting line 0 silences both AutoPilot players.
  QTest::mousePress(form_.Line(0).Mute, Qt::LeftButton);
  EXPECT_EQ(std::pair(engine_.AP(0).Volume(), engine_.AP(1).Volume()), std::pair(-10000, -10000));
  QTest::mouseRelease(form_.Line(0).Mute, Qt::LeftButton);

  // The master's mute, held while slider 7 moves, writes nothing to the sound card until released.
  form_.Line(7).Slider->SetValue(80);
  EXPECT_EQ(card_.writes.back().level, 52428);
  QTest::mousePress(form_.Line(7).Mute, Qt::LeftButton);
  EXPECT_EQ(card_.writes.back().level, 0);
  const auto writes = card_.writes.size();
  form_.Line(7).Slider->SetValue(50);
  EXPECT_EQ(card_.writes.size(), writes);
  QTest::mouseRelease(form_.Line(7).Mute, Qt::LeftButton);
  EXPECT_EQ(card_.writes.back().level, 32768);
}

TEST_F(LineControlsTest, LoopSwitchSliderReleaseAndPanAreAppliedAndSavedAsTheyShouldBe) {
  QTest::mouseClick(form_.Line(3).Loop->Unlit(), Qt::LeftButton);
  EXPECT_TRUE(lines_.Looping(3));
  EXPECT_EQ(std::pair(engine_.Player(3).PlayCount(), settings_.ReadSetting(keys::Loop(3), QString())),
            std::pair(999999, u"True"_s));
  QTest::mouseClick(form_.Line(3).Loop->Lit(), Qt::LeftButton);  // the lit picture is in front now
  EXPECT_EQ(std::pair(engine_.Player(3).PlayCount(), settings_.ReadSetting(keys::Loop(3), QString())),
            std::pair(1, u"False"_s));
  // Line 0's switch is AutoPilot's list loop, not a play count; other buttons do nothing.
  QTest::mouseClick(form_.Line(0).Loop->Unlit(), Qt::LeftButton);
  EXPECT_TRUE(state_.AutoPilotLoop && engine_.AP(0).PlayCount() == 1);
  QTest::mouseClick(form_.Line(0).Loop->Lit(), Qt::RightButton);
  EXPECT_TRUE(state_.AutoPilotLoop);

  MiniSlider* slider = form_.Line(6).Slider;
  QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() / 2, 3));  // the track's top
  EXPECT_EQ(std::pair(slider->Value(), settings_.ReadSetting(keys::Slider(6), QString())), std::pair(100, u"100"_s));

  Pan* pan = form_.Line(0).Pan;
  const QPoint knob(pan->width() / 2, pan->height() / 2);
  QTest::mousePress(pan, Qt::LeftButton, {}, knob);
  QTest::mouseMove(pan, knob + QPoint(20, 0));
  QTest::mouseRelease(pan, Qt::LeftButton, {}, knob + QPoint(20, 0));
  EXPECT_GT(pan->Value(), 0);
  EXPECT_EQ(std::pair(engine_.AP(0).Balance(), engine_.AP(1).Balance()), std::pair(pan->Value(), pan->Value()));
  EXPECT_TRUE(settings_.ReadSetting(u"Pan 0"_s, QString()).isEmpty());  // not saved
}

}  // namespace
}  // namespace marvane::test
