#include "appearance/minicrossfader.h"
#include "appearance/skinparts.h"

#include "twipmouse.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>

namespace marvane {
namespace {

using test::MoveTo;
using test::PressAt;
using test::ReleaseAt;

// Where the knob is taken: 300 twips in from its left edge, 100 down from its top.
constexpr double kGrabX = 300;
constexpr double kKnobY = MiniCrossfader::kKnobTop + 100;
// A point on the track, below the knob.
constexpr double kTrackY = 480;

// Drags the knob so that its position would become p, and lets go.
void DragKnobTo(MiniCrossfader& fader, double p) {
  PressAt(&fader, {fader.Position() + kGrabX, kKnobY});
  MoveTo(&fader, {p + kGrabX, kKnobY}, Qt::LeftButton);
  ReleaseAt(&fader, {p + kGrabX, kKnobY}, Qt::LeftButton);
}

// Records Scroll and Maxed in the order they are raised.
struct EventLog {
  explicit EventLog(MiniCrossfader& fader) {
    QObject::connect(&fader, &MiniCrossfader::Scroll, [this] { names << QStringLiteral("Scroll"); });
    QObject::connect(&fader, &MiniCrossfader::Maxed, [this](bool& toLeft) {
      names << (toLeft ? QStringLiteral("Maxed(true)") : QStringLiteral("Maxed(false)"));
    });
  }
  QStringList names;
};

// Runs the left (or right) timer's ticks until its fade ends; returns the number of ticks.
int TicksUntilStopped(MiniCrossfader& fader, bool left) {
  int ticks = 0;
  while ((left ? fader.IsFadingLeft() : fader.IsFadingRight()) && ticks < 10000) {
    left ? fader.TickLeft() : fader.TickRight();
    ++ticks;
  }
  return ticks;
}

TEST(MiniCrossfader, StartsIdleInTheMiddleWithBothLevelsFull) {
  MiniCrossfader fader;
  EXPECT_EQ(fader.Position(), 1140);
  EXPECT_EQ(fader.LeftLevel(), 100);
  EXPECT_EQ(fader.RightLevel(), 100);
  EXPECT_FALSE(fader.IsFadingLeft());
  EXPECT_FALSE(fader.IsFadingRight());
  EXPECT_EQ(fader.size(), QSize(193, 34));
  fader.resize(400, 100);
  EXPECT_EQ(fader.size(), QSize(193, 34));
  EXPECT_EQ(fader.KnobPicture().size(), QSize(41, 23));
  for (const char* name : {"Timer1", "Timer2"}) {
    const auto* timer = fader.findChild<QTimer*>(QString::fromLatin1(name));
    ASSERT_NE(timer, nullptr) << name;
    EXPECT_EQ(timer->interval(), 55) << name;
    EXPECT_FALSE(timer->isActive()) << name;
  }
}

TEST(MiniCrossfader, LevelsFollowTheKnobLowerOnlyTheFarSide) {
  MiniCrossfader fader;
  QSignalSpy scroll(&fader, &MiniCrossfader::Scroll);
  const struct {
    double position;
    int left;
    int right;
  } rows[] = {{0, 100, 0}, {570, 100, 50}, {1710, 50, 100}, {2280, 0, 100}, {2000, 25, 100}, {300, 100, 26}};
  for (const auto& row : rows) {
    DragKnobTo(fader, row.position);
    EXPECT_EQ(fader.Position(), row.position);
    EXPECT_EQ(fader.LeftLevel(), row.left) << row.position;
    EXPECT_EQ(fader.RightLevel(), row.right) << row.position;
  }
  EXPECT_EQ(scroll.count(), 6);
}

TEST(MiniCrossfader, TheMiddleCatchesADraggedKnobWithinSixtyTwips) {
  MiniCrossfader fader;
  DragKnobTo(fader, 1190);
  EXPECT_EQ(fader.Position(), 1140);
  DragKnobTo(fader, 1200);
  EXPECT_EQ(fader.Position(), 1200);
  EXPECT_EQ(fader.LeftLevel(), 95);
  DragKnobTo(fader, 1081);
  EXPECT_EQ(fader.Position(), 1140);
  DragKnobTo(fader, 1080);
  EXPECT_EQ(fader.Position(), 1080);
  EXPECT_EQ(fader.RightLevel(), 95);
  DragKnobTo(fader, 3000);
  EXPECT_EQ(fader.Position(), 2280);
  DragKnobTo(fader, -500);
  EXPECT_EQ(fader.Position(), 0);
}

TEST(MiniCrossfader, DragFollowsOnlyTheLeftButtonAndStaysNearTheKnob) {
  MiniCrossfader fader;
  PressAt(&fader, {1140 + kGrabX, kKnobY});
  MoveTo(&fader, {600 + kGrabX, kKnobY}, Qt::RightButton);
  MoveTo(&fader, {600 + kGrabX, MiniCrossfader::kKnobTop - 2300}, Qt::LeftButton);
  MoveTo(&fader, {600 + kGrabX, MiniCrossfader::kKnobTop + 2850}, Qt::LeftButton);
  EXPECT_EQ(fader.Position(), 1140);
  MoveTo(&fader, {600 + kGrabX, MiniCrossfader::kKnobTop + 2840}, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(fader.Position(), 600);
}

TEST(MiniCrossfader, AManualDragToAnEndNeverRaisesMaxed) {
  MiniCrossfader fader;
  EventLog log(fader);
  DragKnobTo(fader, -100);
  DragKnobTo(fader, 5000);
  EXPECT_EQ(log.names, QStringList({QStringLiteral("Scroll"), QStringLiteral("Scroll")}));
}

TEST(MiniCrossfader, AutoFadeTicksFromTheMiddleAndFromEndToEnd) {
  const struct {
    int speed;
    int fromMiddle;
    int endToEnd;
  } rows[] = {{10, 114, 228}, {25, 46, 92}, {50, 23, 46}, {100, 12, 23}};
  for (const auto& row : rows) {
    MiniCrossfader fader;
    fader.SetSpeed(row.speed);
    fader.AutoFadeLeft();
    EXPECT_EQ(TicksUntilStopped(fader, true), row.fromMiddle) << row.speed;
    EXPECT_EQ(fader.Position(), 0);
    fader.AutoFadeRight();
    EXPECT_EQ(TicksUntilStopped(fader, false), row.endToEnd) << row.speed;
    EXPECT_EQ(fader.Position(), 2280);
    fader.Reset();
    fader.AutoFadeRight();
    EXPECT_EQ(TicksUntilStopped(fader, false), row.fromMiddle) << row.speed;
    fader.AutoFadeLeft();
    EXPECT_EQ(TicksUntilStopped(fader, true), row.endToEnd) << row.speed;
  }
}

TEST(MiniCrossfader, EachTickMovesBySpeedAndRecomputesTheLevels) {
  MiniCrossfader fader;
  fader.SetSpeed(100);
  QSignalSpy scroll(&fader, &MiniCrossfader::Scroll);
  fader.AutoFadeRight();
  fader.TickRight();
  fader.TickRight();
  EXPECT_EQ(fader.Position(), 1340);
  EXPECT_EQ(fader.LeftLevel(), 82);  // 940 / 11.4 = 82.46
  EXPECT_EQ(fader.RightLevel(), 100);
  EXPECT_EQ(scroll.count(), 2);
}

TEST(MiniCrossfader, ReachingAnEndRaisesMaxedBeforeTheTicksOwnScroll) {
  MiniCrossfader fader;
  fader.SetSpeed(100);
  EventLog log(fader);
  fader.AutoFadeLeft();
  TicksUntilStopped(fader, true);
  ASSERT_GE(log.names.size(), 2);
  EXPECT_EQ(log.names.count(QStringLiteral("Maxed(true)")), 1);
  EXPECT_EQ(log.names.mid(log.names.size() - 2),
            QStringList({QStringLiteral("Maxed(true)"), QStringLiteral("Scroll")}));
  EXPECT_EQ(fader.LeftLevel(), 100);
  EXPECT_EQ(fader.RightLevel(), 0);

  log.names.clear();
  fader.AutoFadeRight();
  TicksUntilStopped(fader, false);
  EXPECT_EQ(log.names.count(QStringLiteral("Maxed(false)")), 1);
  EXPECT_EQ(log.names.last(), QStringLiteral("Scroll"));
  EXPECT_EQ(fader.LeftLevel(), 0);
}

TEST(MiniCrossfader, AReceiverOfMaxedCanResetTheKnobAndTheTickRecomputesFromTheMiddle) {
  MiniCrossfader fader;
  fader.SetSpeed(2000);
  bool seen = false;
  QObject::connect(&fader, &MiniCrossfader::Maxed, &fader, [&](bool& toLeft) {
    seen = toLeft;
    toLeft = false;  // A receiver may write the argument; the control does not depend on it.
    fader.Reset();
  });
  QSignalSpy scroll(&fader, &MiniCrossfader::Scroll);
  fader.AutoFadeLeft();
  fader.TickLeft();
  EXPECT_TRUE(seen);
  EXPECT_FALSE(fader.IsFadingLeft());
  EXPECT_EQ(fader.Position(), 1140);
  EXPECT_EQ(fader.LeftLevel(), 100);
  EXPECT_EQ(fader.RightLevel(), 100);
  // Reset's Scroll, then the tick's own.
  EXPECT_EQ(scroll.count(), 2);
}

TEST(MiniCrossfader, AFadeStartedAtItsEndFinishesOnTheFirstTick) {
  MiniCrossfader fader;
  DragKnobTo(fader, 0);
  EventLog log(fader);
  fader.AutoFadeLeft();
  fader.TickLeft();
  EXPECT_FALSE(fader.IsFadingLeft());
  EXPECT_EQ(fader.Position(), 0);
  EXPECT_EQ(log.names, QStringList({QStringLiteral("Maxed(true)"), QStringLiteral("Scroll")}));
}

TEST(MiniCrossfader, SpeedBelowTenIsRaisedWhenAFadeStarts) {
  for (const int speed : {0, 5, -20}) {
    MiniCrossfader fader;
    fader.SetSpeed(speed);
    EXPECT_EQ(fader.Speed(), speed);
    fader.AutoFadeRight();
    EXPECT_EQ(fader.Speed(), 10);
    EXPECT_EQ(TicksUntilStopped(fader, false), 114) << speed;
  }
  MiniCrossfader fader;
  fader.SetSpeed(7);
  fader.AutoFadeLeft();
  EXPECT_EQ(fader.Speed(), 10);
}

TEST(MiniCrossfader, StartingTheOtherFadeReversesFromWhereTheKnobStands) {
  MiniCrossfader fader;
  fader.SetSpeed(50);
  fader.AutoFadeLeft();
  fader.TickLeft();
  fader.TickLeft();
  fader.TickLeft();
  EXPECT_EQ(fader.Position(), 990);
  fader.AutoFadeRight();
  EXPECT_FALSE(fader.IsFadingLeft());
  EXPECT_TRUE(fader.IsFadingRight());
  EXPECT_EQ(fader.Position(), 990);
  fader.TickRight();
  EXPECT_EQ(fader.Position(), 1040);
  fader.AutoFadeLeft();
  EXPECT_FALSE(fader.IsFadingRight());
  fader.TickLeft();
  EXPECT_EQ(fader.Position(), 990);
}

TEST(MiniCrossfader, StopItAndPressesStopAFade) {
  MiniCrossfader fader;
  fader.AutoFadeLeft();
  fader.StopIt();
  EXPECT_FALSE(fader.IsFadingLeft());
  fader.AutoFadeRight();
  fader.StopIt();
  EXPECT_FALSE(fader.IsFadingRight());

  // Any button on the track stops a fade.
  for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
    fader.AutoFadeLeft();
    PressAt(&fader, {100, kTrackY}, button);
    ReleaseAt(&fader, {100, kTrackY}, button);
    EXPECT_FALSE(fader.IsFadingLeft()) << button;
  }
  // On the knob, the left button does; the right alone does not.
  fader.AutoFadeRight();
  PressAt(&fader, {fader.Position() + kGrabX, kKnobY}, Qt::RightButton);
  ReleaseAt(&fader, {fader.Position() + kGrabX, kKnobY}, Qt::RightButton);
  EXPECT_TRUE(fader.IsFadingRight());
  PressAt(&fader, {fader.Position() + kGrabX, kKnobY}, Qt::LeftButton);
  ReleaseAt(&fader, {fader.Position() + kGrabX, kKnobY}, Qt::LeftButton);
  EXPECT_FALSE(fader.IsFadingRight());
}

TEST(MiniCrossfader, ResetCentresTheKnobButLeavesARunningFadeRunning) {
  MiniCrossfader fader;
  DragKnobTo(fader, 400);
  fader.SetLeftLevel(3);
  QSignalSpy scroll(&fader, &MiniCrossfader::Scroll);
  fader.AutoFadeLeft();
  fader.Reset();
  EXPECT_EQ(fader.Position(), 1140);
  EXPECT_EQ(fader.LeftLevel(), 100);
  EXPECT_EQ(fader.RightLevel(), 100);
  EXPECT_EQ(scroll.count(), 1);
  EXPECT_TRUE(fader.IsFadingLeft());
}

TEST(MiniCrossfader, DoubleClickOnTheTrackResetsAndStopsTheFade) {
  MiniCrossfader fader;
  DragKnobTo(fader, 570);
  fader.AutoFadeLeft();
  QSignalSpy scroll(&fader, &MiniCrossfader::Scroll);
  // A double click on the knob does not reset.
  QTest::mouseDClick(&fader, Qt::LeftButton, Qt::NoModifier, QPoint(38 + 20, 15));
  QTest::mouseRelease(&fader, Qt::LeftButton, Qt::NoModifier, QPoint(38 + 20, 15));
  EXPECT_EQ(fader.Position(), 570);
  fader.AutoFadeLeft();
  QTest::mouseDClick(&fader, Qt::LeftButton, Qt::NoModifier, QPoint(150, 30));
  QTest::mouseRelease(&fader, Qt::LeftButton, Qt::NoModifier, QPoint(150, 30));
  EXPECT_EQ(fader.Position(), 1140);
  EXPECT_EQ(fader.RightLevel(), 100);
  EXPECT_FALSE(fader.IsFadingLeft());
  EXPECT_EQ(scroll.count(), 1);
}

TEST(MiniCrossfader, RightClickIsRaisedOnTheRightButtonsRelease) {
  MiniCrossfader fader;
  QSignalSpy right(&fader, &MiniCrossfader::RightClick);
  QTest::mousePress(&fader, Qt::RightButton, Qt::NoModifier, QPoint(150, 30));
  EXPECT_EQ(right.count(), 0);
  QTest::mouseRelease(&fader, Qt::RightButton, Qt::NoModifier, QPoint(150, 30));
  EXPECT_EQ(right.count(), 1);
  QTest::mouseClick(&fader, Qt::RightButton, Qt::NoModifier, QPoint(96, 17));  // on the knob
  EXPECT_EQ(right.count(), 2);
  QTest::mouseClick(&fader, Qt::LeftButton, Qt::NoModifier, QPoint(150, 30));
  QTest::mouseClick(&fader, Qt::MiddleButton, Qt::NoModifier, QPoint(96, 17));
  EXPECT_EQ(right.count(), 2);
}

TEST(MiniCrossfader, MouseOverIsRaisedOverTheKnobAndTheTrack) {
  MiniCrossfader fader;
  QSignalSpy over(&fader, &MiniCrossfader::MouseOver);
  MoveTo(&fader, {100, kTrackY}, Qt::NoButton);
  MoveTo(&fader, {1300, kKnobY}, Qt::NoButton);
  EXPECT_EQ(over.count(), 2);
}

TEST(MiniCrossfader, TheRealTimersDriveAFadeToItsEnd) {
  MiniCrossfader fader;
  fader.SetSpeed(600);
  QSignalSpy scroll(&fader, &MiniCrossfader::Scroll);
  bool maxedLeft = false;
  QObject::connect(&fader, &MiniCrossfader::Maxed, &fader, [&](bool& toLeft) { maxedLeft = toLeft; });
  fader.AutoFadeLeft();
  // Two ticks of 55 ms reach the left end; the deadline only bounds a hang, it asserts no timing.
  const QDeadlineTimer deadline(30000);
  while (fader.IsFadingLeft() && !deadline.hasExpired()) QTest::qWait(20);
  EXPECT_FALSE(fader.IsFadingLeft());
  EXPECT_TRUE(maxedLeft);
  EXPECT_EQ(fader.Position(), 0);
  EXPECT_EQ(scroll.count(), 2);
}

TEST(MiniCrossfader, PictureOperations) {
  QWidget window;
  auto* fader = new MiniCrossfader(&window);
  fader->GetPic(3060, 5460);
  EXPECT_FALSE(fader->BackgroundCopyVisible());
  QPixmap picture(400, 500);
  picture.fill(Qt::darkCyan);
  SetWindowPicture(&window, picture);
  fader->GetPic(3060, 5460);
  EXPECT_TRUE(fader->BackgroundCopyVisible());
  EXPECT_EQ(fader->BackgroundCopyPos(), QPoint(-3060, -5460));
  fader->GetPic(0, 0);
  EXPECT_EQ(fader->BackgroundCopyPos(), QPoint(0, 0));

  fader->ShowLines(false);
  EXPECT_FALSE(fader->LinesVisible());
  fader->ShowLines(true);
  EXPECT_TRUE(fader->LinesVisible());

  fader->SetCap(QStringLiteral("/nonexistent/fader.bmp"));
  EXPECT_EQ(fader->KnobPicture().toImage(), BuiltInFaderKnob().toImage());
  fader->ToolTipChange(QStringLiteral("Crossfades the lines set to Left and lines set to Right."));
  EXPECT_EQ(fader->toolTip(), QStringLiteral("Crossfades the lines set to Left and lines set to Right."));
}

}  // namespace
}  // namespace marvane
