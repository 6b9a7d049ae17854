#include "appearance/minicrossfader.h"
#include "appearance/skinparts.h"

#include "twipmouse.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <QTimer>

namespace marvane {
namespace {

using test::MoveTo;
using test::PressAt;
using test::ReleaseAt;

// The knob is taken 300 twips in from its left edge, 100 down from its top; the track is below the knob.
constexpr double kGrabX = 300;
constexpr double kKnobY = MiniCrossfader::kKnobTop + 100;
constexpr double kTrackY = 480;

void DragKnobTo(MiniCrossfader& fader, double p) {
  test::Drag(&fader, {fader.Position() + kGrabX, kKnobY}, {p + kGrabX, kKnobY});
}

// Records Scroll and Maxed in the order they are raised.
void LogEvents(MiniCrossfader& fader, QStringList& names) {
  QObject::connect(&fader, &MiniCrossfader::Scroll, [&names] { names << QStringLiteral("Scroll"); });
  QObject::connect(&fader, &MiniCrossfader::Maxed, [&names](bool& toLeft) {
    names << (toLeft ? QStringLiteral("Maxed(true)") : QStringLiteral("Maxed(false)"));
  });
}

// Runs one side's ticks until its fade ends; returns the number of ticks.
int TicksUntilStopped(MiniCrossfader& fader, bool left) {
  int ticks = 0;
  for (; (left ? fader.IsFadingLeft() : fader.IsFadingRight()) && ticks < 10000; ++ticks) {
    left ? fader.TickLeft() : fader.TickRight();
  }
  return ticks;
}

TEST(MiniCrossfader, StartsIdleInTheMiddleWithTwoStoppedTimersOf55Ms) {
  MiniCrossfader fader;
  EXPECT_EQ(fader.Position(), 1140);
  EXPECT_EQ(fader.LeftLevel(), 100);
  EXPECT_EQ(fader.RightLevel(), 100);
  fader.resize(400, 100);
  EXPECT_EQ(fader.size(), QSize(193, 34));
  EXPECT_EQ(fader.KnobPicture().toImage(), BuiltInFaderKnob().toImage());
  for (const char* name : {"Timer1", "Timer2"}) {
    const auto* timer = fader.findChild<QTimer*>(QString::fromLatin1(name));
    ASSERT_NE(timer, nullptr) << name;
    EXPECT_EQ(timer->interval(), 55) << name;
    EXPECT_FALSE(timer->isActive()) << name;
  }
}

TEST(MiniCrossfader, DraggedKnobLowersOnlyTheFarSideAndTheMiddleCatchesItWithinSixtyTwips) {
  MiniCrossfader fader;
  QStringList log;
  LogEvents(fader, log);
  const struct {
    double dragTo, position;
    int left, right;
  } rows[] = {{0, 0, 100, 0},          {570, 570, 100, 50},     {1710, 1710, 50, 100}, {2280, 2280, 0, 100},
              {2000, 2000, 25, 100},   {300, 300, 100, 26},     {1190, 1140, 100, 100}, {1200, 1200, 95, 100},
              {1081, 1140, 100, 100},  {1080, 1080, 100, 95},   {3000, 2280, 0, 100},  {-500, 0, 100, 0}};
  for (const auto& row : rows) {
    DragKnobTo(fader, row.dragTo);
    EXPECT_EQ(fader.Position(), row.position) << row.dragTo;
    EXPECT_EQ(fader.LeftLevel(), row.left) << row.dragTo;
    EXPECT_EQ(fader.RightLevel(), row.right) << row.dragTo;
  }
  // One Scroll per drag; a manual drag to an end never raises Maxed.
  EXPECT_EQ(log, QStringList(std::size(rows), QStringLiteral("Scroll")));
}

TEST(MiniCrossfader, DragFollowsOnlyTheLeftButtonAndStaysNearTheKnob) {
  MiniCrossfader fader;
  QSignalSpy over(&fader, &MiniCrossfader::MouseOver);
  MoveTo(&fader, {100, kTrackY}, Qt::NoButton);  // hovering the track or the knob raises MouseOver
  PressAt(&fader, {1140 + kGrabX, kKnobY});
  MoveTo(&fader, {600 + kGrabX, kKnobY}, Qt::RightButton);
  MoveTo(&fader, {600 + kGrabX, MiniCrossfader::kKnobTop - 2300}, Qt::LeftButton);
  MoveTo(&fader, {600 + kGrabX, MiniCrossfader::kKnobTop + 2850}, Qt::LeftButton);
  EXPECT_EQ(fader.Position(), 1140);
  MoveTo(&fader, {600 + kGrabX, MiniCrossfader::kKnobTop + 2840}, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(fader.Position(), 600);
  EXPECT_EQ(over.count(), 5);
}

TEST(MiniCrossfader, AutoFadeTickCountsFromTheMiddleAndFromEndToEndWithSpeedAtLeastTen) {
  const struct {
    int speed, fromMiddle, endToEnd;
  } rows[] = {{10, 114, 228}, {25, 46, 92}, {50, 23, 46}, {100, 12, 23}, {0, 114, 228}, {-20, 114, 228}};
  for (const auto& row : rows) {
    MiniCrossfader fader;
    fader.SetSpeed(row.speed);
    fader.AutoFadeLeft();
    EXPECT_EQ(fader.Speed(), std::max(row.speed, 10));  // raised when a fade starts
    EXPECT_EQ(TicksUntilStopped(fader, true), row.fromMiddle) << row.speed;
    EXPECT_EQ(fader.Position(), 0);
    fader.AutoFadeRight();
    EXPECT_EQ(TicksUntilStopped(fader, false), row.endToEnd) << row.speed;
    EXPECT_EQ(fader.Position(), 2280);
    fader.Reset();
    fader.SetSpeed(row.speed);
    fader.AutoFadeRight();
    EXPECT_EQ(TicksUntilStopped(fader, false), row.fromMiddle) << row.speed;
    fader.AutoFadeLeft();
    EXPECT_EQ(TicksUntilStopped(fader, true), row.endToEnd) << row.speed;
  }
}

TEST(MiniCrossfader, EachTickRecomputesTheLevelsAndTheEndRaisesMaxedBeforeTheTicksScroll) {
  MiniCrossfader fader;
  fader.SetSpeed(100);
  QStringList log;
  LogEvents(fader, log);
  fader.AutoFadeRight();
  fader.TickRight();
  fader.TickRight();
  EXPECT_EQ(fader.Position(), 1340);
  EXPECT_EQ(fader.LeftLevel(), 82);  // 940 / 11.4 = 82.46
  EXPECT_EQ(fader.RightLevel(), 100);
  TicksUntilStopped(fader, false);
  EXPECT_EQ(log.count(QStringLiteral("Maxed(false)")), 1);
  EXPECT_EQ(log.mid(log.size() - 2), QStringList({QStringLiteral("Maxed(false)"), QStringLiteral("Scroll")}));
  EXPECT_EQ(fader.LeftLevel(), 0);

  // A fade started at its own end finishes on the first tick.
  log.clear();
  fader.AutoFadeRight();
  fader.TickRight();
  EXPECT_FALSE(fader.IsFadingRight());
  EXPECT_EQ(log, QStringList({QStringLiteral("Maxed(false)"), QStringLiteral("Scroll")}));
}

TEST(MiniCrossfader, AReceiverOfMaxedCanResetTheKnobAndTheTickRecomputesFromTheMiddle) {
  MiniCrossfader fader;
  fader.SetSpeed(2000);
  bool seen = false;
  QObject::connect(&fader, &MiniCrossfader::Maxed, &fader, [&](bool& toLeft) {
    seen = toLeft;
    toLeft = false;  // a receiver may write the argument; the control does not depend on it
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
  EXPECT_EQ(scroll.count(), 2);  // Reset's, then the tick's own
}

TEST(MiniCrossfader, StartingTheOtherFadeReversesFromWhereTheKnobStands) {
  MiniCrossfader fader;
  fader.SetSpeed(50);
  fader.AutoFadeLeft();
  for (int i = 0; i < 3; ++i) fader.TickLeft();
  EXPECT_EQ(fader.Position(), 990);
  fader.AutoFadeRight();
  EXPECT_FALSE(fader.IsFadingLeft());
  EXPECT_EQ(fader.Position(), 990);
  fader.TickRight();
  EXPECT_EQ(fader.Position(), 1040);
  fader.AutoFadeLeft();
  EXPECT_FALSE(fader.IsFadingRight());
  fader.TickLeft();
  EXPECT_EQ(fader.Position(), 990);
}

TEST(MiniCrossfader, StopItAndPressesStopAFadeButResetLeavesItRunning) {
  MiniCrossfader fader;
  fader.AutoFadeLeft();
  fader.StopIt();
  EXPECT_FALSE(fader.IsFadingLeft());
  // Any button on the track stops a fade; on the knob the left button does, the right alone does not.
  const struct {
    double x, y;
    Qt::MouseButton button;
    bool stops;
  } rows[] = {{100, kTrackY, Qt::LeftButton, true},   {100, kTrackY, Qt::RightButton, true},
              {100, kTrackY, Qt::MiddleButton, true}, {1140 + kGrabX, kKnobY, Qt::RightButton, false},
              {1140 + kGrabX, kKnobY, Qt::LeftButton, true}};
  for (const auto& row : rows) {
    fader.AutoFadeRight();
    PressAt(&fader, {row.x, row.y}, row.button);
    ReleaseAt(&fader, {row.x, row.y}, row.button);
    EXPECT_EQ(fader.IsFadingRight(), !row.stops) << row.x << " " << row.button;
    fader.StopIt();
    EXPECT_EQ(fader.Position(), 1140);
  }
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

TEST(MiniCrossfader, DoubleClickOnTheTrackResetsAndStopsTheFadeAndRightReleaseRaisesRightClick) {
  MiniCrossfader fader;
  DragKnobTo(fader, 570);
  fader.AutoFadeLeft();
  QSignalSpy scroll(&fader, &MiniCrossfader::Scroll);
  QSignalSpy right(&fader, &MiniCrossfader::RightClick);
  for (const QPoint at : {QPoint(38 + 20, 15), QPoint(150, 30)}) {  // on the knob, then on the track
    fader.AutoFadeLeft();
    QTest::mouseDClick(&fader, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(&fader, Qt::LeftButton, Qt::NoModifier, at);
  }
  EXPECT_EQ(fader.Position(), 1140);
  EXPECT_EQ(fader.RightLevel(), 100);
  EXPECT_FALSE(fader.IsFadingLeft());
  EXPECT_EQ(scroll.count(), 1);  // the knob's double click did not reset

  QTest::mousePress(&fader, Qt::RightButton, Qt::NoModifier, QPoint(150, 30));
  EXPECT_EQ(right.count(), 0);
  QTest::mouseRelease(&fader, Qt::RightButton, Qt::NoModifier, QPoint(150, 30));
  QTest::mouseClick(&fader, Qt::RightButton, Qt::NoModifier, QPoint(96, 17));  // on the knob
  QTest::mouseClick(&fader, Qt::MiddleButton, Qt::NoModifier, QPoint(96, 17));
  EXPECT_EQ(right.count(), 2);
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
  EXPECT_TRUE(maxedLeft);
  EXPECT_EQ(fader.Position(), 0);
  EXPECT_EQ(scroll.count(), 2);
}

}  // namespace
}  // namespace marvane
