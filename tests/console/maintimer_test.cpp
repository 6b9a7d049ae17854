// The main timer on the real main window with a real engine rendering offline: the time displays of playing
// files, the status line that follows the display under the pointer, the clock, the AutoPilot hook, and ticks
// that change nothing repainting nothing.

#include "console/maintimer.h"

#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "console/consolestate.h"
#include "console/imagebutton.h"
#include "console/mainform.h"
#include "console/statushelp.h"

#include "audiotestutil.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <map>
#include <optional>

namespace marvane {
namespace {

const QString kEmptyStatus = QStringLiteral("0:00 Remaining, 0:00 Elapsed.");

// Counts the paint events each watched widget receives.
class PaintCounter : public QObject {
 public:
  void Watch(QWidget* widget) { widget->installEventFilter(this); }
  int Count(QObject* widget) const { return counts_.count(widget) ? counts_.at(widget) : 0; }
  int Total() const {
    int total = 0;
    for (const auto& [widget, count] : counts_) total += count;
    return total;
  }
  void Reset() { counts_.clear(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++counts_[watched];
    return false;
  }

 private:
  std::map<QObject*, int> counts_;
};

class MainTimerTest : public ::testing::Test {
 protected:
  // The files are made before any engine exists, so that no decoder thread runs while ffmpeg is started.
  static void SetUpTestSuite() {
    dir_ = new QTemporaryDir();
    const QStringList pcm16 = {QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")};
    song_ = test::MakeFile(dir_->path(), QStringLiteral("song.wav"), QStringLiteral("0.3*sin(2*PI*440*t)"), 65.0,
                           pcm16, 8000, 1);
    // 100 minutes 30 seconds, kept small by a low rate and 8-bit samples.
    longSong_ = test::MakeFile(dir_->path(), QStringLiteral("long.wav"), QStringLiteral("0.3*sin(2*PI*100*t)"),
                               6030.0, {QStringLiteral("-c:a"), QStringLiteral("pcm_u8")}, 1000, 1);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  void SetUp() override {
    ASSERT_FALSE(song_.isEmpty() || longSong_.isEmpty()) << "the ffmpeg command-line tool is needed to make files";
    state_.RemainTime = true;
    timer_.emplace(form_, *offline_.engine, state_, [this] { return currentAP_; }, [this] { return now_; });
  }
  void TearDown() override { timer_.reset(); }

  AudioEngine& Engine() { return *offline_.engine; }
  QString Shown(int n) const { return form_.Colon(n)->text(); }
  QString StatusText() const { return form_.Status()->text(); }
  void Open(MediaPlayer& player, const QString& file) {
    ASSERT_EQ(test::OpenAndWait(player, file), MediaPlayer::kStateOpen) << file.toStdString();
  }
  void ShowForm() {
    form_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
  }
  // The point a move over the bare window goes to: between the AutoPilot area and line 0's label.
  QPoint BareBackground() const { return QPoint(2, form_.LineLabel(0)->y() - 3); }

  static inline QTemporaryDir* dir_ = nullptr;
  static inline QString song_;
  static inline QString longSong_;

  test::OfflineEngine offline_;
  MainForm form_;
  ConsoleState state_;
  QDateTime now_{QDate(2026, 12, 4), QTime(15, 5, 20)};
  int currentAP_ = 0;
  std::optional<MainTimer> timer_;
};

TEST_F(MainTimerTest, EmptyLinesShowZeroWhetherShowingRemainingOrElapsed) {
  timer_->Tick();
  for (int n = 0; n <= 6; ++n) {
    EXPECT_EQ(Shown(n), QStringLiteral("0:00")) << n;
    EXPECT_EQ(timer_->ColonTag(n), kEmptyStatus) << n;
  }
  state_.RemainTime = false;
  timer_->Tick();
  for (int n = 0; n <= 6; ++n) EXPECT_EQ(Shown(n), QStringLiteral("0:00")) << n;
}

TEST_F(MainTimerTest, PlayingFileCountsDownOrUpWithItsStatusText) {
  MediaPlayer& player = Engine().Player(3);
  Open(player, song_);
  player.Play();
  offline_.Render(12.0);
  const double position = player.CurrentPosition();
  ASSERT_NEAR(position, 12.0, 0.02);

  timer_->Tick();
  EXPECT_EQ(Shown(3), QStringLiteral("- 0:53"));
  EXPECT_EQ(timer_->ColonTag(3), QStringLiteral("- 0:53 Remaining, 0:12 Elapsed."));
  EXPECT_EQ(Shown(2), QStringLiteral("0:00"));
  EXPECT_EQ(Shown(4), QStringLiteral("0:00"));

  state_.RemainTime = false;
  timer_->Tick();
  EXPECT_EQ(Shown(3), QStringLiteral("0:12"));

  offline_.Render(50.0);
  timer_->Tick();
  EXPECT_EQ(Shown(3), QStringLiteral("1:02"));
  EXPECT_EQ(timer_->ColonTag(3), QStringLiteral("- 0:03 Remaining, 1:02 Elapsed."));
}

TEST_F(MainTimerTest, RoundingEdgesThroughTheRealPlayer) {
  MediaPlayer& player = Engine().Player(1);
  Open(player, song_);
  ASSERT_NEAR(player.Duration(), 65.0, 0.01);

  // 59.5 seconds left rounds to a whole minute; 5.5 seconds played rounds to the even 6.
  player.SetCurrentPosition(player.Duration() - 59.5);
  timer_->Tick();
  EXPECT_EQ(Shown(1), QStringLiteral("- 1:00"));
  EXPECT_EQ(timer_->ColonTag(1), QStringLiteral("- 1:00 Remaining, 0:06 Elapsed."));

  // 0.4 seconds left shows no time left at all, without the dash.
  player.SetCurrentPosition(player.Duration() - 0.4);
  timer_->Tick();
  EXPECT_EQ(Shown(1), QStringLiteral("0:00"));
  EXPECT_EQ(timer_->ColonTag(1), QStringLiteral("0:00 Remaining, 1:05 Elapsed."));
}

TEST_F(MainTimerTest, SongLongerThan99MinutesShows99AsItsMinutes) {
  MediaPlayer& player = Engine().Player(6);
  Open(player, longSong_);
  ASSERT_NEAR(player.Duration(), 6030.0, 0.1);
  timer_->Tick();
  EXPECT_EQ(Shown(6), QStringLiteral("- 99:30"));

  player.SetCurrentPosition(6001.0);
  state_.RemainTime = false;
  timer_->Tick();
  EXPECT_EQ(Shown(6), QStringLiteral("99:01"));
  EXPECT_EQ(timer_->ColonTag(6), QStringLiteral("- 0:29 Remaining, 99:01 Elapsed."));
}

TEST_F(MainTimerTest, LineZeroShowsTheCurrentAutoPilotPlayer) {
  Open(Engine().AP(1), song_);
  Engine().AP(1).SetCurrentPosition(20.0);
  timer_->Tick();
  EXPECT_EQ(Shown(0), QStringLiteral("0:00"));  // AP(0) holds nothing

  currentAP_ = 1;
  timer_->Tick();
  EXPECT_EQ(Shown(0), QStringLiteral("- 0:45"));
  EXPECT_EQ(timer_->ColonTag(0), QStringLiteral("- 0:45 Remaining, 0:20 Elapsed."));
  for (int n = 1; n <= 6; ++n) EXPECT_EQ(Shown(n), QStringLiteral("0:00")) << n;
}

TEST_F(MainTimerTest, StatusLineFollowsTheDisplayUnderThePointerUntilThePointerLeaves) {
  ShowForm();
  MediaPlayer& player = Engine().Player(2);
  Open(player, song_);
  player.Play();
  timer_->Tick();
  // Nothing under the pointer yet: the ticks leave the status line alone.
  EXPECT_EQ(StatusText(), QString());

  QTest::mouseMove(form_.Colon(2), QPoint(10, 5));
  EXPECT_EQ(StatusText(), QStringLiteral("- 1:05 Remaining, 0:00 Elapsed."));

  // Resting there, the status line follows the song tick by tick.
  offline_.Render(3.0);
  timer_->Tick();
  EXPECT_EQ(StatusText(), QStringLiteral("- 1:02 Remaining, 0:03 Elapsed."));
  offline_.Render(4.0);
  timer_->Tick();
  EXPECT_EQ(StatusText(), QStringLiteral("- 0:58 Remaining, 0:07 Elapsed."));

  // Over the bare window the status line clears, and the ticks no longer write it.
  QTest::mouseMove(&form_, BareBackground());
  EXPECT_EQ(StatusText(), QString());
  offline_.Render(2.0);
  timer_->Tick();
  EXPECT_EQ(StatusText(), QString());

  // Onto a control that writes no status text (an AutoPilot button): the last text stays but no longer follows.
  QTest::mouseMove(form_.Colon(2), QPoint(10, 5));
  EXPECT_EQ(StatusText(), QStringLiteral("- 0:56 Remaining, 0:09 Elapsed."));
  QTest::mouseMove(form_.APlay(), QPoint(5, 5));
  offline_.Render(2.0);
  timer_->Tick();
  EXPECT_EQ(StatusText(), QStringLiteral("- 0:56 Remaining, 0:09 Elapsed."));
  EXPECT_EQ(timer_->ColonTag(2), QStringLiteral("- 0:54 Remaining, 0:11 Elapsed."));
}

TEST_F(MainTimerTest, AnotherDisplayWithTheSameTextDoesNotCaptureTheStatusLine) {
  ShowForm();
  timer_->Tick();
  // Lines 1 and 4 both show an empty player; the pointer rests on line 4.
  QTest::mouseMove(form_.Colon(4), QPoint(10, 5));
  EXPECT_EQ(StatusText(), kEmptyStatus);
  Open(Engine().Player(1), song_);
  timer_->Tick();
  EXPECT_EQ(Shown(1), QStringLiteral("- 1:05"));
  EXPECT_EQ(StatusText(), kEmptyStatus);
}

TEST_F(MainTimerTest, ClockShowsDateAndTimeWithTheLongDateAsToolTipOnlyWhileToolTipsAreOn) {
  StatusHelp help(form_);
  help.ToolsOn();
  timer_->Tick();
  EXPECT_EQ(Shown(7), QStringLiteral("12-4-2026   3:05 PM"));
  EXPECT_EQ(form_.Colon(7)->toolTip(), QStringLiteral("Friday, December 4, 2026"));

  help.ToolsOff();
  now_ = QDateTime(QDate(2027, 1, 1), QTime(0, 7));
  timer_->Tick();
  EXPECT_EQ(Shown(7), QStringLiteral("1-1-2027   12:07 AM"));
  EXPECT_EQ(form_.Colon(7)->toolTip(), QString());

  help.ToolsOn();
  timer_->Tick();
  EXPECT_EQ(form_.Colon(7)->toolTip(), QStringLiteral("Friday, January 1, 2027"));
}

TEST_F(MainTimerTest, PointerOverTheClockShowsTheLongDateWhichFollowsMidnight) {
  ShowForm();
  now_ = QDateTime(QDate(2026, 12, 4), QTime(23, 59, 59));
  timer_->Tick();
  QTest::mouseMove(form_.Colon(7), QPoint(20, 5));
  EXPECT_EQ(StatusText(), QStringLiteral("Friday, December 4, 2026"));
  now_ = QDateTime(QDate(2026, 12, 5), QTime(0, 0, 1));
  timer_->Tick();
  EXPECT_EQ(StatusText(), QStringLiteral("Saturday, December 5, 2026"));
  EXPECT_EQ(Shown(7), QStringLiteral("12-5-2026   12:00 AM"));
}

TEST_F(MainTimerTest, TickThatChangesNothingRepaintsNothing) {
  ShowForm();
  Open(Engine().Player(5), song_);
  QTest::mouseMove(form_.Colon(5), QPoint(10, 5));
  timer_->Tick();
  QTest::qWait(50);

  PaintCounter counter;
  for (int i = 0; i <= 7; ++i) counter.Watch(form_.Colon(i));
  counter.Watch(form_.Status());
  for (int i = 0; i < 5; ++i) timer_->Tick();
  QTest::qWait(50);
  EXPECT_EQ(counter.Total(), 0);

  // A new minute on the clock and a moved position: exactly those displays repaint.
  now_ = now_.addSecs(60);
  Engine().Player(5).SetCurrentPosition(10.0);
  timer_->Tick();
  EXPECT_TRUE(QTest::qWaitFor([&] { return counter.Count(form_.Colon(7)) > 0; }, 1000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return counter.Count(form_.Colon(5)) > 0; }, 1000));
  EXPECT_GT(counter.Count(form_.Status()), 0);
  EXPECT_EQ(counter.Count(form_.Colon(4)), 0);
}

TEST_F(MainTimerTest, AutoPilotTickRunsLastAndOnlyWhileAutoPilotIsOn) {
  int calls = 0;
  QString clockDuringCall;
  timer_->autoPilotTick = [&] {
    ++calls;
    clockDuringCall = Shown(7);
  };
  timer_->Tick();
  EXPECT_EQ(calls, 0);
  state_.AutoPilotOn = true;
  timer_->Tick();
  timer_->Tick();
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(clockDuringCall, QStringLiteral("12-4-2026   3:05 PM"));
  state_.AutoPilotOn = false;
  timer_->Tick();
  EXPECT_EQ(calls, 2);
}

TEST_F(MainTimerTest, FailingAutoPilotTickDoesNotStopTheNextTicks) {
  state_.AutoPilotOn = true;
  timer_->autoPilotTick = [] { throw std::runtime_error("no player"); };
  timer_->Tick();
  now_ = now_.addSecs(3600);
  timer_->Tick();
  EXPECT_EQ(Shown(7), QStringLiteral("12-4-2026   4:05 PM"));
}

TEST_F(MainTimerTest, Timer1DrivesTheTicks) {
  form_.Timer1()->setInterval(5);
  form_.Timer1()->start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return Shown(7) == QStringLiteral("12-4-2026   3:05 PM"); }, 2000));
  form_.Timer1()->stop();
}

TEST_F(MainTimerTest, RightButtonReleaseOnADisplayOpensTheMenu) {
  ShowForm();
  QTest::mouseClick(form_.Colon(3), Qt::LeftButton);
  EXPECT_FALSE(form_.RCMenu()->isVisible());
  QTest::mouseClick(form_.Colon(7), Qt::RightButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return form_.RCMenu()->isVisible(); }, 1000));
  form_.RCMenu()->close();
}

}  // namespace
}  // namespace marvane
