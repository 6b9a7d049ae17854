// The main timer on the real main window with a real engine rendering offline: what the time displays show for
// playing files (the texts' rounding and the 99-minute cap are tested in timetext_test.cpp), the status line that
// follows the display under the pointer, the clock, the AutoPilot hook, and ticks that change nothing repainting
// nothing.

#include "console/maintimer.h"

#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "console/consolestate.h"
#include "console/imagebutton.h"
#include "console/mainform.h"
#include "console/statushelp.h"

#include "consolefixture.h"

#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <map>

namespace marvane {
namespace {

const QString kEmptyStatus = QStringLiteral("0:00 Remaining, 0:00 Elapsed.");

// Counts the paint events each watched widget receives.
class PaintCounter : public QObject {
 public:
  void Watch(QWidget* widget) { widget->installEventFilter(this); }
  std::map<QObject*, int> counts;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++counts[watched];
    return false;
  }
};

class MainTimerTest : public test::ConsoleTest {
 protected:
  void SetUp() override {
    state_.RemainTime = true;
    song_ = Tone(QStringLiteral("song.wav"), 65.0);
    ASSERT_FALSE(song_.isEmpty()) << "the ffmpeg command-line tool is needed to make files";
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
  }

  QString Shown(int n) const { return form_.Line(n).Colon->text(); }
  QString StatusText() const { return form_.Status()->text(); }
  MediaPlayer& Opened(MediaPlayer& player) {
    EXPECT_EQ(test::OpenAndWait(player, song_), kOpen);
    return player;
  }

  QString song_;
  QDateTime now_{QDate(2026, 12, 4), QTime(15, 5, 20)};
  int currentAP_ = 0;
  MainTimer timer_{form_, engine_, state_, [this] { return currentAP_; }, [this] { return now_; }};
};

TEST_F(MainTimerTest, PlayingFileCountsDownOrUpAndEmptyLinesShowZero) {
  MediaPlayer& player = Opened(engine_.Player(3));
  player.Play();
  audio_.Render(12.0);
  ASSERT_NEAR(player.CurrentPosition(), 12.0, 0.02);
  timer_.Tick();
  EXPECT_EQ(Shown(3), QStringLiteral("- 0:53"));
  EXPECT_EQ(timer_.ColonTag(3), QStringLiteral("- 0:53 Remaining, 0:12 Elapsed."));
  for (int n : {0, 1, 2, 4, 5, 6}) {
    EXPECT_EQ(Shown(n), QStringLiteral("0:00")) << n;
    EXPECT_EQ(timer_.ColonTag(n), kEmptyStatus) << n;
  }

  state_.RemainTime = false;
  audio_.Render(50.0);
  timer_.Tick();
  EXPECT_EQ(Shown(3), QStringLiteral("1:02"));
  EXPECT_EQ(Shown(4), QStringLiteral("0:00"));
  EXPECT_EQ(timer_.ColonTag(3), QStringLiteral("- 0:03 Remaining, 1:02 Elapsed."));
}

TEST_F(MainTimerTest, LineZeroShowsTheCurrentAutoPilotPlayer) {
  Opened(engine_.AP(1)).SetCurrentPosition(20.0);
  timer_.Tick();
  EXPECT_EQ(Shown(0), QStringLiteral("0:00"));  // AP(0) holds nothing
  currentAP_ = 1;
  timer_.Tick();
  EXPECT_EQ(Shown(0), QStringLiteral("- 0:45"));
  EXPECT_EQ(timer_.ColonTag(0), QStringLiteral("- 0:45 Remaining, 0:20 Elapsed."));
}

TEST_F(MainTimerTest, StatusLineFollowsTheDisplayUnderThePointerUntilThePointerLeaves) {
  timer_.Tick();
  EXPECT_EQ(StatusText(), QString());  // nothing under the pointer: the ticks leave the status line alone
  // Resting on line 4, another display that showed the same text does not capture the status line.
  QTest::mouseMove(form_.Line(4).Colon, QPoint(10, 5));
  EXPECT_EQ(StatusText(), kEmptyStatus);
  MediaPlayer& player = Opened(engine_.Player(2));
  player.Play();
  timer_.Tick();
  EXPECT_EQ(StatusText(), kEmptyStatus);

  QTest::mouseMove(form_.Line(2).Colon, QPoint(10, 5));
  EXPECT_EQ(StatusText(), QStringLiteral("- 1:05 Remaining, 0:00 Elapsed."));
  // Resting there, the status line follows the song tick by tick.
  audio_.Render(7.0);
  timer_.Tick();
  EXPECT_EQ(StatusText(), QStringLiteral("- 0:58 Remaining, 0:07 Elapsed."));

  // Over the bare window (between the AutoPilot area and line 0's label) the status line clears, and the ticks
  // no longer write it.
  QTest::mouseMove(&form_, QPoint(2, form_.Line(0).LineLabel->y() - 3));
  EXPECT_EQ(StatusText(), QString());
  audio_.Render(2.0);
  timer_.Tick();
  EXPECT_EQ(StatusText(), QString());

  // Onto a control that writes no status text (an AutoPilot button): the last text stays but no longer follows.
  QTest::mouseMove(form_.Line(2).Colon, QPoint(10, 5));
  EXPECT_EQ(StatusText(), QStringLiteral("- 0:56 Remaining, 0:09 Elapsed."));
  QTest::mouseMove(form_.APlay(), QPoint(5, 5));
  audio_.Render(2.0);
  timer_.Tick();
  EXPECT_EQ(StatusText(), QStringLiteral("- 0:56 Remaining, 0:09 Elapsed."));
  EXPECT_EQ(timer_.ColonTag(2), QStringLiteral("- 0:54 Remaining, 0:11 Elapsed."));
}

TEST_F(MainTimerTest, ClockShowsDateAndTimeWithTheLongDateAsToolTipAndStatusPastMidnight) {
  StatusHelp help(form_);
  help.ToolsOn();
  now_ = QDateTime(QDate(2026, 12, 4), QTime(23, 59, 59));
  timer_.Tick();
  EXPECT_EQ(Shown(7), QStringLiteral("12-4-2026   11:59 PM"));
  EXPECT_EQ(form_.Line(7).Colon->toolTip(), QStringLiteral("Friday, December 4, 2026"));
  QTest::mouseMove(form_.Line(7).Colon, QPoint(20, 5));
  EXPECT_EQ(StatusText(), QStringLiteral("Friday, December 4, 2026"));

  now_ = QDateTime(QDate(2026, 12, 5), QTime(0, 0, 1));
  timer_.Tick();
  EXPECT_EQ(Shown(7), QStringLiteral("12-5-2026   12:00 AM"));
  EXPECT_EQ(StatusText(), QStringLiteral("Saturday, December 5, 2026"));
  EXPECT_EQ(form_.Line(7).Colon->toolTip(), QStringLiteral("Saturday, December 5, 2026"));

  // Only while tool tips are on.
  help.ToolsOff();
  timer_.Tick();
  EXPECT_EQ(form_.Line(7).Colon->toolTip(), QString());
}

TEST_F(MainTimerTest, TickThatChangesNothingRepaintsNothing) {
  Opened(engine_.Player(5));
  QTest::mouseMove(form_.Line(5).Colon, QPoint(10, 5));
  timer_.Tick();
  QTest::qWait(50);

  PaintCounter counter;
  for (int i = 0; i <= 7; ++i) counter.Watch(form_.Line(i).Colon);
  counter.Watch(form_.Status());
  for (int i = 0; i < 5; ++i) timer_.Tick();
  QTest::qWait(50);
  EXPECT_TRUE(counter.counts.empty());

  // A new minute on the clock and a moved position: exactly those displays repaint.
  now_ = now_.addSecs(60);
  engine_.Player(5).SetCurrentPosition(10.0);
  timer_.Tick();
  EXPECT_TRUE(QTest::qWaitFor([&] { return counter.counts[form_.Line(7).Colon] > 0; }, 1000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return counter.counts[form_.Line(5).Colon] > 0; }, 1000));
  EXPECT_GT(counter.counts[form_.Status()], 0);
  EXPECT_EQ(counter.counts[form_.Line(4).Colon], 0);
}

TEST_F(MainTimerTest, Timer1DrivesTheTicksAndTheAutoPilotStepRunsLastOnlyWhileOn) {
  int calls = 0;
  QString clockDuringCall;
  timer_.autoPilotTick = [&] {
    ++calls;
    clockDuringCall = Shown(7);
  };
  timer_.Tick();
  EXPECT_EQ(calls, 0);
  state_.AutoPilotOn = true;
  form_.Timer1()->setInterval(5);
  form_.Timer1()->start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return calls >= 2; }, 2000));
  form_.Timer1()->stop();
  EXPECT_EQ(clockDuringCall, QStringLiteral("12-4-2026   3:05 PM"));
  state_.AutoPilotOn = false;
  const int before = calls;
  timer_.Tick();
  EXPECT_EQ(calls, before);

  // A failing AutoPilot step does not stop the next ticks.
  state_.AutoPilotOn = true;
  timer_.autoPilotTick = [] { throw std::runtime_error("no player"); };
  timer_.Tick();
  now_ = now_.addSecs(3600);
  timer_.Tick();
  EXPECT_EQ(Shown(7), QStringLiteral("12-4-2026   4:05 PM"));
}

TEST_F(MainTimerTest, RightButtonReleaseOnADisplayOpensTheMenu) {
  QTest::mouseClick(form_.Line(3).Colon, Qt::LeftButton);
  EXPECT_FALSE(form_.RCMenu()->isVisible());
  QTest::mouseClick(form_.Line(7).Colon, Qt::RightButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return form_.RCMenu()->isVisible(); }, 1000));
  form_.RCMenu()->close();
}

}  // namespace
}  // namespace marvane
