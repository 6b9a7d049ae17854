// The main timer on the real main window with a real engine rendering offline: the time displays of playing files
// (the texts' rounding is tested in timetext_test.cpp), the status line that follows the display under the
// pointer, the clock and the AutoPilot hook.

#include "console/maintimer.h"

#include "console/statushelp.h"
#include "consolefixture.h"


namespace marvane::test {
namespace {

const QString kEmptyStatus = u"0:00 Remaining, 0:00 Elapsed."_s;

class MainTimerTest : public ConsoleTest {
 protected:
  void SetUp() override {
    state_.RemainTime = true;
    ASSERT_FALSE(song_.isEmpty()) << "the ffmpeg command-line tool is needed to make files";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
  }
  QString Shown(int n) const { return form_.Line(n).Colon->text(); }
  QString StatusText() const { return form_.Status()->text(); }
  MediaPlayer& Opened(MediaPlayer& player) {
    EXPECT_EQ(OpenAndWait(player, song_), kOpen);
    return player;
  }

  QString song_ = Tone(u"song.wav"_s, 65.0);
  QDateTime now_{QDate(2026, 12, 4), QTime(15, 5, 20)};
  int currentAP_ = 0;
  MainTimer timer_{form_, engine_, state_, [this] { return currentAP_; }, [this] { return now_; }};
};

TEST_F(MainTimerTest, PlayingFileCountsDownOrUpEmptyLinesShowZeroAndLineZeroShowsTheCurrentAutoPilotPlayer) {
  MediaPlayer& player = Opened(engine_.Player(3));
  player.Play();
  audio_.Render(12.0);
  ASSERT_NEAR(player.CurrentPosition(), 12.0, 0.02);
  timer_.Tick();
  EXPECT_EQ(std::pair(Shown(3), timer_.ColonTag(3)), std::pair(u"- 0:53"_s, u"- 0:53 Remaining, 0:12 Elapsed."_s));
  for (int n : {0, 1, 6}) EXPECT_EQ(std::pair(Shown(n), timer_.ColonTag(n)), std::pair(u"0:00"_s, kEmptyStatus)) << n;
  state_.RemainTime = false;
  audio_.Render(50.0);
  timer_.Tick();
  EXPECT_EQ(std::pair(Shown(3), timer_.ColonTag(3)), std::pair(u"1:02"_s, u"- 0:03 Remaining, 1:02 Elapsed."_s));

  state_.RemainTime = true;
  Opened(engine_.AP(1)).SetCurrentPosition(20.0);
  timer_.Tick();
  EXPECT_EQ(Shown(0), u"0:00"_s);  // AP(0) holds nothing
  currentAP_ = 1;
  timer_.Tick();
  EXPECT_EQ(std::pair(Shown(0), timer_.ColonTag(0)), std::pair(u"- 0:45"_s, u"- 0:45 Remaining, 0:20 Elapsed."_s));
}

TEST_F(MainTimerTest, StatusLineFollowsTheDisplayUnderThePointerUntilThePointerLeaves) {
  timer_.Tick();
  EXPECT_EQ(StatusText(), QString());  // nothing under the pointer: the ticks leave the status line alone
  // Resting on line 4, another display that showed the same text does not capture the status line.
  QTest::mouseMove(form_.Line(4).Colon, QPoint(10, 5));
  EXPECT_EQ(StatusText(), kEmptyStatus);
  Opened(engine_.Player(2)).Play();
  timer_.Tick();
  EXPECT_EQ(StatusText(), kEmptyStatus);
  // Resting on line 2, the status line follows the song tick by tick.
  QTest::mouseMove(form_.Line(2).Colon, QPoint(10, 5));
  EXPECT_EQ(StatusText(), u"- 1:05 Remaining, 0:00 Elapsed."_s);
  audio_.Render(7.0);
  timer_.Tick();
  EXPECT_EQ(StatusText(), u"- 0:58 Remaining, 0:07 Elapsed."_s);
  // Over the bare window the status line clears, and the ticks no longer write it.
  QTest::mouseMove(&form_, QPoint(2, form_.Line(0).LineLabel->y() - 3));
  EXPECT_EQ(StatusText(), QString());
  audio_.Render(2.0);
  timer_.Tick();
  EXPECT_EQ(StatusText(), QString());
  // Onto a control that writes no status text (an AutoPilot button): the last text stays but no longer follows.
  QTest::mouseMove(form_.Line(2).Colon, QPoint(10, 5));
  QTest::mouseMove(form_.APlay(), QPoint(5, 5));
  audio_.Render(2.0);
  timer_.Tick();
  EXPECT_EQ(StatusText(), u"- 0:56 Remaining, 0:09 Elapsed."_s);
  EXPECT_EQ(timer_.ColonTag(2), u"- 0:54 Remaining, 0:11 Elapsed."_s);
}

TEST_F(MainTimerTest, ClockShowsDateAndTimeWithTheLongDateAsToolTipAndStatusPastMidnight) {
  StatusHelp help(form_);
  help.ToolsOn();
  now_ = QDateTime(QDate(2026, 12, 4), QTime(23, 59, 59));
  timer_.Tick();
  EXPECT_EQ(std::pair(Shown(7), form_.Line(7).Colon->toolTip()),
            std::pair(u"12-4-2026   11:59 PM"_s, u"Friday, December 4, 2026"_s));
  QTest::mouseMove(form_.Line(7).Colon, QPoint(20, 5));
  EXPECT_EQ(StatusText(), u"Friday, December 4, 2026"_s);
  now_ = QDateTime(QDate(2026, 12, 5), QTime(0, 0, 1));
  timer_.Tick();
  EXPECT_EQ(Shown(7), u"12-5-2026   12:00 AM"_s);
  EXPECT_EQ(std::pair(StatusText(), form_.Line(7).Colon->toolTip()),
            std::pair(u"Saturday, December 5, 2026"_s, u"Saturday, December 5, 2026"_s));
  help.ToolsOff(), timer_.Tick();  // only while tool tips are on
  EXPECT_EQ(form_.Line(7).Colon->toolTip(), QString());
}

TEST_F(MainTimerTest, Timer1DrivesTheTicksAndTheAutoPilotStepRunsLastOnlyWhileOn) {
  int calls = 0;
  QString clockDuringCall;
  timer_.autoPilotTick = [&] { ++calls, clockDuringCall = Shown(7); };
  timer_.Tick();
  EXPECT_EQ(calls, 0);
  state_.AutoPilotOn = true;
  form_.Timer1()->setInterval(5);
  form_.Timer1()->start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return calls >= 2; }, 2000));
  form_.Timer1()->stop();
  EXPECT_EQ(clockDuringCall, u"12-4-2026   3:05 PM"_s);
  // A failing AutoPilot step does not stop the next ticks.
  timer_.autoPilotTick = [] { throw std::runtime_error("no player"); };
  timer_.Tick();
  now_ = now_.addSecs(3600);
  timer_.Tick();
  EXPECT_EQ(Shown(7), u"12-4-2026   4:05 PM"_s);
  // A right button release on a display opens the menu.
  QTest::mouseClick(form_.Line(3).Colon, Qt::LeftButton);
  EXPECT_FALSE(form_.RCMenu()->isVisible());
  QTest::mouseClick(form_.Line(7).Colon, Qt::RightButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return form_.RCMenu()->isVisible(); }, 1000));
}

}  // namespace
}  // namespace marvane::test
