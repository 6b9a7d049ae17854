#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "console/crossfaderreactions.h"
#include "console/linecontrols.h"
#include "consolefixture.h"

#include <QLabel>
#include <QTest>

#include <cmath>

namespace marvane::test {
namespace {

class CrossfaderReactionsTest : public ConsoleTest {
 protected:
  CrossfaderReactionsTest() {
    tone_ = Tone(QStringLiteral("tone.wav"), 3.0);
    for (int n : {1, 2, 3}) {
      EXPECT_EQ(OpenAndWait(engine_.Player(n), tone_), 6);
      engine_.Player(n).Play();
    }
    console_.Lines().FadeLeftW_MouseDown(1, 1);
    console_.Lines().FadeRightW_MouseDown(2, 1);
    console_.Crossfader().stopAutoPilotNow = [this] { ++autoPilotStops_; };
    audio_.Render(0.2);
  }

  void FadeToEnd(bool left) {
    MiniCrossfader* fader = form_.MiniCrossfader1();
    left ? fader->AutoFadeLeft() : fader->AutoFadeRight();
    for (int tick = 0; tick < 300 && (fader->IsFadingLeft() || fader->IsFadingRight()); ++tick)
      left ? fader->TickLeft() : fader->TickRight();
  }

  QString tone_;
  int autoPilotStops_ = 0;
};

TEST_F(CrossfaderReactionsTest, WithASOFAnAutoFadeStopsTheFadedOutSideAndSnapsBack) {
  state_.ASOF = true;
  state_.AutoReset = true;
  console_.Lines().FadeRightW_MouseDown(0, 1);
  FadeToEnd(true);  // to the left: the right side faded out
  EXPECT_EQ(engine_.Player(2).PlayState(), 0);
  EXPECT_EQ(engine_.Player(2).CurrentPosition(), 0.0);
  EXPECT_EQ(engine_.Player(1).PlayState(), 2);
  EXPECT_EQ(engine_.Player(3).PlayState(), 2);  // Always On is never stopped
  EXPECT_EQ(autoPilotStops_, 1);
  EXPECT_EQ(form_.MiniCrossfader1()->Position(), 1140);
  EXPECT_EQ(engine_.Player(1).Volume(), engine_.Player(3).Volume());  // levels restored with the knob
}

TEST_F(CrossfaderReactionsTest, WithoutASOFNothingStopsAndTheKnobStaysAtTheEnd) {
  state_.ASOF = false;
  state_.AutoReset = true;
  FadeToEnd(false);
  EXPECT_EQ(engine_.Player(1).PlayState(), 2);
  EXPECT_EQ(form_.MiniCrossfader1()->Position(), 2280);
  EXPECT_EQ(engine_.Player(1).Volume(), -9569);
  EXPECT_EQ(autoPilotStops_, 0);
}

TEST_F(CrossfaderReactionsTest, ASOFWithoutAutoResetStopsButLeavesTheKnob) {
  state_.ASOF = true;
  state_.AutoReset = false;
  FadeToEnd(false);  // to the right: the left side faded out
  EXPECT_EQ(engine_.Player(1).PlayState(), 0);
  EXPECT_EQ(engine_.Player(2).PlayState(), 2);
  EXPECT_EQ(form_.MiniCrossfader1()->Position(), 2280);
}

TEST_F(CrossfaderReactionsTest, TheAutoFadeLabelsStartFades) {
  QTest::mouseClick(form_.LeftFade(), Qt::LeftButton);
  EXPECT_TRUE(form_.MiniCrossfader1()->IsFadingLeft());
  QTest::mouseClick(form_.FadeRight(), Qt::LeftButton);
  EXPECT_TRUE(form_.MiniCrossfader1()->IsFadingRight());
  EXPECT_FALSE(form_.MiniCrossfader1()->IsFadingLeft());
}

// The real engine renders what the console sets: a line at slider 80 plays 3.32 dB below full level; assigned to
// the left with the knob at the far right it drops to 95.69 dB below; the master never follows the crossfader.
TEST_F(CrossfaderReactionsTest, RenderedLevelsFollowTheVolumeLaw) {
  for (int n : {2, 3}) engine_.Player(n).Stop();
  console_.Lines().OnW_MouseDown(1, 1);
  form_.Slider(1)->SetValue(80);
  form_.Slider(7)->SetValue(80);
  const auto masterWrites = card_.writes.size();
  audio_.Render(0.1);  // let the gain glide settle
  const double full = 0.5 / std::sqrt(2.0);
  const std::vector<float> alwaysOn = audio_.Render(0.5);
  EXPECT_NEAR(Db(Rms(Channel(alwaysOn, 0)) / full), -3.32, 0.05);
  EXPECT_NEAR(Db(Rms(Channel(alwaysOn, 1)) / full), -3.32, 0.05);

  console_.Lines().FadeLeftW_MouseDown(1, 1);
  state_.ASOF = false;
  FadeToEnd(false);
  audio_.Render(0.1);
  const std::vector<float> fadedOut = audio_.Render(0.5);
  EXPECT_NEAR(Db(Rms(Channel(fadedOut, 0)) / full), -95.69, 0.05);
  EXPECT_EQ(card_.writes.size(), masterWrites);
}

}  // namespace
}  // namespace marvane::test
