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

  QString tone_;
  int autoPilotStops_ = 0;
};

// Lines 1 (left), 2 (right) and 3 (Always On) play, and AutoPilot's line 0 is on the right. ASOF stops the side
// that faded out (and AutoPilot with it); AutoReset then snaps the knob back to the middle, but only with ASOF.
TEST_F(CrossfaderReactionsTest, MaxedStopsTheFadedOutSideAndSnapsBackAsASOFAndAutoResetSay) {
  console_.Lines().FadeRightW_MouseDown(0, 1);
  for (int n : {1, 2, 3}) form_.Line(n).Slider->SetValue(80);
  struct Row {
    bool asof, autoReset, toLeft;
    int stoppedLine;  // 0: none
    int position, autoPilotStops;
  };
  for (const Row& row : {Row{true, true, true, 2, 1140, 1}, Row{true, false, false, 1, 2280, 0},
                         Row{false, true, false, 0, 2280, 0}, Row{false, false, true, 0, 0, 0}}) {
    SCOPED_TRACE(testing::Message() << "ASOF " << row.asof << ", AutoReset " << row.autoReset);
    for (int n : {1, 2, 3}) engine_.Player(n).Play();
    audio_.Render(0.1);
    form_.MiniCrossfader1()->Reset();
    autoPilotStops_ = 0;
    state_.ASOF = row.asof;
    state_.AutoReset = row.autoReset;
    FadeToEnd(row.toLeft);
    for (int n : {1, 2, 3}) EXPECT_EQ(engine_.Player(n).PlayState(), n == row.stoppedLine ? 0 : 2) << n;
    if (row.stoppedLine) {
      EXPECT_EQ(engine_.Player(row.stoppedLine).CurrentPosition(), 0.0);
    }
    EXPECT_EQ(form_.MiniCrossfader1()->Position(), row.position);
    EXPECT_EQ(autoPilotStops_, row.autoPilotStops);
    // The volumes follow the knob: restored in the middle, the faded side at the bottom of the law at an end.
    const int fadedLine = row.toLeft ? 2 : 1;
    EXPECT_EQ(engine_.Player(fadedLine).Volume(), row.position == 1140 ? engine_.Player(3).Volume() : -9569);
  }
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
  form_.Line(1).Slider->SetValue(80);
  form_.Line(7).Slider->SetValue(80);
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
