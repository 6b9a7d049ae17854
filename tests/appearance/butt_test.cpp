#include "appearance/butt.h"

#include "twipmouse.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

namespace marvane {
namespace {

using test::MoveTo;
using test::PressAt;
using test::ReleaseAt;

class ButtTest : public ::testing::Test {
 protected:
  ButtTest() { butt.resize(60, 20); }  // 900 x 300 twips
  Butt butt;
  QSignalSpy clicks{&butt, &Butt::Click};
};

TEST_F(ButtTest, AClickIsAPressAndReleaseWithTheLeftButton) {
  QTest::mouseClick(&butt, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
  EXPECT_EQ(clicks.count(), 1);
  QTest::mouseClick(&butt, Qt::RightButton, Qt::NoModifier, QPoint(30, 10));
  QTest::mouseClick(&butt, Qt::MiddleButton, Qt::NoModifier, QPoint(30, 10));
  EXPECT_EQ(clicks.count(), 1);
}

TEST_F(ButtTest, APressDraggedOffAndReleasedOutsideDoesNotClick) {
  PressAt(&butt, {450, 150});
  EXPECT_TRUE(butt.IsPressed());
  MoveTo(&butt, {1200, 150}, Qt::LeftButton);
  EXPECT_FALSE(butt.IsPressed());
  ReleaseAt(&butt, {1200, 150}, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 0);
}

TEST_F(ButtTest, DraggingBackOnBeforeTheReleaseClicks) {
  PressAt(&butt, {450, 150});
  MoveTo(&butt, {450, -30}, Qt::LeftButton);
  EXPECT_FALSE(butt.IsPressed());
  MoveTo(&butt, {450, 150}, Qt::LeftButton);
  EXPECT_TRUE(butt.IsPressed());
  ReleaseAt(&butt, {450, 150}, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_FALSE(butt.IsPressed());
}

TEST_F(ButtTest, TheFarEdgesStillCountAsInside) {
  PressAt(&butt, {450, 150});
  MoveTo(&butt, {900, 300}, Qt::LeftButton);
  EXPECT_TRUE(butt.IsPressed());
  MoveTo(&butt, {915, 300}, Qt::LeftButton);
  EXPECT_FALSE(butt.IsPressed());
  MoveTo(&butt, {0, 0}, Qt::LeftButton);
  EXPECT_TRUE(butt.IsPressed());
  MoveTo(&butt, {-15, 0}, Qt::LeftButton);
  EXPECT_FALSE(butt.IsPressed());
  MoveTo(&butt, {0, 315}, Qt::LeftButton);
  EXPECT_FALSE(butt.IsPressed());
}

TEST_F(ButtTest, ReleasingAnotherButtonCancelsThePress) {
  PressAt(&butt, {450, 150});
  PressAt(&butt, {450, 150}, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
  ReleaseAt(&butt, {450, 150}, Qt::RightButton, Qt::LeftButton);
  EXPECT_FALSE(butt.IsPressed());
  ReleaseAt(&butt, {450, 150}, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 0);
}

TEST_F(ButtTest, ADoubleClickCountsAsASecondPress) {
  QTest::mouseClick(&butt, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
  QTest::mouseDClick(&butt, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
  EXPECT_TRUE(butt.IsPressed());
  QTest::mouseRelease(&butt, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
  EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ButtTest, EveryMoveRaisesMouseOver) {
  QSignalSpy over(&butt, &Butt::MouseOver);
  MoveTo(&butt, {100, 100}, Qt::NoButton);
  PressAt(&butt, {100, 100});
  MoveTo(&butt, {2000, 100}, Qt::LeftButton);
  EXPECT_EQ(over.count(), 2);
}

TEST_F(ButtTest, PressedLookReplacesTheFrame) {
  const QImage released = butt.grab().toImage();
  PressAt(&butt, {450, 150});
  const QImage pressed = butt.grab().toImage();
  // The frame's top line is drawn in the frame colour at rest, in the sunken shadow while pressed.
  EXPECT_NE(released.pixel(30, 0), pressed.pixel(30, 0));
  MoveTo(&butt, {1200, 150}, Qt::LeftButton);
  EXPECT_EQ(butt.grab().toImage(), released);
}

TEST(Butt, CaptionIsAPropertyStartingAsButt) {
  Butt butt;
  EXPECT_EQ(butt.Caption(), QStringLiteral("Butt"));
  QSignalSpy changed(&butt, &Butt::CaptionChanged);
  EXPECT_TRUE(butt.setProperty("Caption", QStringLiteral("Stop All")));
  EXPECT_EQ(butt.Caption(), QStringLiteral("Stop All"));
  EXPECT_EQ(changed.count(), 1);
  butt.SetCaption(QStringLiteral("Stop All"));
  EXPECT_EQ(changed.count(), 1);
}

TEST(Butt, TipTextAppliesOnlyThroughTipChange) {
  Butt butt;
  butt.SetTipText(QStringLiteral("Exits MVN"));
  EXPECT_TRUE(butt.toolTip().isEmpty());
  butt.TipChange();
  EXPECT_EQ(butt.toolTip(), QStringLiteral("Exits MVN"));
  butt.SetTipText(QString());
  butt.TipChange();
  EXPECT_TRUE(butt.toolTip().isEmpty());
}

TEST(Butt, ColChangeTakesProgramColoursAndRefusesOthers) {
  Butt butt;
  EXPECT_EQ(butt.CaptionColor(), QColor(224, 224, 224));
  EXPECT_TRUE(butt.ColChange(255));
  EXPECT_EQ(butt.CaptionColor(), QColor(255, 0, 0));
  EXPECT_FALSE(butt.ColChange(static_cast<quint32>(-1)));
  EXPECT_FALSE(butt.ColChange(0x01000000));
  EXPECT_EQ(butt.CaptionColor(), QColor(255, 0, 0));
}

}  // namespace
}  // namespace marvane
