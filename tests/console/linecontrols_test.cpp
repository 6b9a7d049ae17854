#include "settings/settingkeys.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/pan.h"
#include "console/imagebutton.h"
#include "console/linecontrols.h"
#include "consolefixture.h"

#include <QLabel>
#include <QMenu>
#include <QTest>

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
  EXPECT_EQ(engine_.AP(0).Volume(), -332);
  EXPECT_EQ(engine_.AP(1).Volume(), -332);
  form_.Line(4).Slider->SetValue(100);
  lines_.FadeRightW_MouseDown(4, 1);
  const auto masterWrites = card_.writes.size();
  FadeToEnd(false);
  EXPECT_EQ(engine_.Player(2).Volume(), -332);  // Always On ignores the crossfader
  EXPECT_EQ(engine_.Player(4).Volume(), 0);
  EXPECT_EQ(card_.writes.size(), masterWrites);

  QTest::mouseClick(form_.Line(2).FadeLeft->Unlit(), Qt::LeftButton);
  EXPECT_EQ(lines_.FadeMode(2), kFadeLeft);
  EXPECT_FALSE(form_.Line(2).FadeLeft->Lit()->isHidden());
  EXPECT_EQ(settings_.ReadSetting(keys::FadeMode(2), QString()), QStringLiteral("0"));
  EXPECT_EQ(engine_.Player(2).Volume(), -9569);  // left line, knob at the far right: whatever the slider says
  QTest::mouseClick(form_.Line(2).FadeRight->Unlit(), Qt::LeftButton);
  EXPECT_EQ(engine_.Player(2).Volume(), -332);
  EXPECT_EQ(settings_.ReadSetting(keys::FadeMode(2), QString()), QStringLiteral("2"));
  QTest::mouseClick(form_.Line(2).On->Unlit(), Qt::LeftButton);
  EXPECT_EQ(lines_.FadeMode(2), kAlwaysOn);
  // A right press opens the menu instead and changes nothing.
  QTest::mouseClick(form_.Line(2).FadeLeft->Unlit(), Qt::RightButton);
  EXPECT_EQ(lines_.FadeMode(2), kAlwaysOn);
  EXPECT_TRUE(form_.RCMenu()->isVisible());
  form_.RCMenu()->hide();
  lines_.FadeLeftW_MouseDown(2, 1);
  form_.MiniCrossfader1()->Reset();  // the middle: both sides at full level
  EXPECT_EQ(engine_.Player(2).Volume(), -332);
  EXPECT_EQ(engine_.Player(4).Volume(), 0);
}

TEST_F(LineControlsTest, LeftButtonMutesWhileHeldAndARightClickKeepsTheLineMutedOnEveryKindOfLine) {
  form_.Line(5).Slider->SetValue(80);
  QTest::mousePress(form_.Line(5).Mute, Qt::LeftButton);
  EXPECT_EQ(engine_.Player(5).Volume(), -10000);
  EXPECT_TRUE(lines_.Muted(5));
  QTest::mouseRelease(form_.Line(5).Mute, Qt::LeftButton);
  EXPECT_EQ(engine_.Player(5).Volume(), -332);

  QTest::mouseClick(form_.Line(5).Mute, Qt::RightButton);
  EXPECT_TRUE(lines_.Muted(5));
  form_.Line(5).Slider->SetValue(100);  // moving the slider of a muted line changes nothing audible
  EXPECT_EQ(engine_.Player(5).Volume(), -10000);
  QTest::mouseClick(form_.Line(5).Mute, Qt::LeftButton);
  EXPECT_FALSE(lines_.Muted(5));
  EXPECT_EQ(engine_.Player(5).Volume(), 0);  // the new slider value applies

  // Muting line 0 silences both AutoPilot players.
  QTest::mousePress(form_.Line(0).Mute, Qt::LeftButton);
  EXPECT_EQ(engine_.AP(0).Volume(), -10000);
  EXPECT_EQ(engine_.AP(1).Volume(), -10000);
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

TEST_F(LineControlsTest, LoopSwitchSetsThePlayCountAndIsSaved) {
  QTest::mouseClick(form_.Line(3).Loop->Unlit(), Qt::LeftButton);
  EXPECT_TRUE(lines_.Looping(3));
  EXPECT_EQ(engine_.Player(3).PlayCount(), 999999);
  EXPECT_EQ(settings_.ReadSetting(keys::Loop(3), QString()), QStringLiteral("True"));
  QTest::mouseClick(form_.Line(3).Loop->Lit(), Qt::LeftButton);  // the lit picture is in front now
  EXPECT_EQ(engine_.Player(3).PlayCount(), 1);
  EXPECT_EQ(settings_.ReadSetting(keys::Loop(3), QString()), QStringLiteral("False"));
  // Line 0's switch is AutoPilot's list loop, not a play count.
  QTest::mouseClick(form_.Line(0).Loop->Unlit(), Qt::LeftButton);
  EXPECT_TRUE(state_.AutoPilotLoop);
  EXPECT_EQ(engine_.AP(0).PlayCount(), 1);
  // Other buttons do nothing.
  QTest::mouseClick(form_.Line(0).Loop->Lit(), Qt::RightButton);
  EXPECT_TRUE(state_.AutoPilotLoop);
}

TEST_F(LineControlsTest, SliderReleaseSavesItsValueAndPanSetsTheBalance) {
  MiniSlider* slider = form_.Line(6).Slider;
  // A click on the track's top puts the knob at the top.
  QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() / 2, 3));
  EXPECT_EQ(slider->Value(), 100);
  EXPECT_EQ(settings_.ReadSetting(keys::Slider(6), QString()), QStringLiteral("100"));

  Pan* pan = form_.Line(0).Pan;
  const QPoint knob(pan->width() / 2, pan->height() / 2);
  QTest::mousePress(pan, Qt::LeftButton, {}, knob);
  QTest::mouseMove(pan, knob + QPoint(20, 0));
  QTest::mouseRelease(pan, Qt::LeftButton, {}, knob + QPoint(20, 0));
  EXPECT_GT(pan->Value(), 0);
  EXPECT_EQ(engine_.AP(0).Balance(), pan->Value());
  EXPECT_EQ(engine_.AP(1).Balance(), pan->Value());
  EXPECT_TRUE(settings_.ReadSetting(QStringLiteral("Pan 0"), QString()).isEmpty());  // not saved
}

}  // namespace
}  // namespace marvane::test
