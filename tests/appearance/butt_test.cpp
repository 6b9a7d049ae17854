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

TEST_F(ButtTest, ClicksOnlyOnALeftReleaseInsideItsFarEdges) {
  QTest::mouseClick(&butt, Qt::RightButton, Qt::NoModifier, QPoint(30, 10));
  QTest::mouseClick(&butt, Qt::MiddleButton, Qt::NoModifier, QPoint(30, 10));
  EXPECT_EQ(clicks.count(), 0);
  // Pressed, dragged off (the far edges still count as inside), back on, off again, released outside.
  PressAt(&butt, {450, 150});
  const struct {
    QPointF at;
    bool pressed;
  } path[] = {{{900, 300}, true},  {{915, 300}, false}, {{0, 0}, true},
              {{-15, 0}, false},   {{0, 315}, false},   {{1200, 150}, false}};
  for (const auto& step : path) {
    MoveTo(&butt, step.at, Qt::LeftButton);
    EXPECT_EQ(butt.IsPressed(), step.pressed) << step.at.x() << "," << step.at.y();
  }
  ReleaseAt(&butt, {1200, 150}, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 0);
  // Dragged back on before the release, it clicks.
  PressAt(&butt, {450, 150});
  MoveTo(&butt, {450, -30}, Qt::LeftButton);
  MoveTo(&butt, {450, 150}, Qt::LeftButton);
  ReleaseAt(&butt, {450, 150}, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 1);
  EXPECT_FALSE(butt.IsPressed());
  // A double click counts as a second press.
  QTest::mouseDClick(&butt, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
  EXPECT_TRUE(butt.IsPressed());
  QTest::mouseRelease(&butt, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
  EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ButtTest, ReleasingAnotherButtonCancelsThePress) {
  PressAt(&butt, {450, 150});
  PressAt(&butt, {450, 150}, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
  ReleaseAt(&butt, {450, 150}, Qt::RightButton, Qt::LeftButton);
  EXPECT_FALSE(butt.IsPressed());
  ReleaseAt(&butt, {450, 150}, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 0);
}

TEST_F(ButtTest, EveryMoveRaisesMouseOverAndThePressedLookReplacesTheFrame) {
  QSignalSpy over(&butt, &Butt::MouseOver);
  const QImage released = butt.grab().toImage();
  MoveTo(&butt, {100, 100}, Qt::NoButton);
  PressAt(&butt, {450, 150});
  // The frame's top line is drawn in the frame colour at rest, in the sunken shadow while pressed.
  EXPECT_NE(butt.grab().toImage().pixel(30, 0), released.pixel(30, 0));
  MoveTo(&butt, {2000, 100}, Qt::LeftButton);
  EXPECT_EQ(butt.grab().toImage(), released);
  EXPECT_EQ(over.count(), 2);
}

TEST(Butt, CaptionTipTextAndColourOperations) {
  Butt butt;
  EXPECT_EQ(butt.Caption(), QStringLiteral("Butt"));
  QSignalSpy changed(&butt, &Butt::CaptionChanged);
  EXPECT_TRUE(butt.setProperty("Caption", QStringLiteral("Stop All")));
  butt.SetCaption(QStringLiteral("Stop All"));
  EXPECT_EQ(butt.Caption(), QStringLiteral("Stop All"));
  EXPECT_EQ(changed.count(), 1);  // the same caption again is no change

  butt.SetTipText(QStringLiteral("Exits MVN"));
  EXPECT_TRUE(butt.toolTip().isEmpty());  // applies only through TipChange
  butt.TipChange();
  EXPECT_EQ(butt.toolTip(), QStringLiteral("Exits MVN"));
  butt.SetTipText(QString());
  butt.TipChange();
  EXPECT_TRUE(butt.toolTip().isEmpty());

  EXPECT_EQ(butt.CaptionColor(), QColor(224, 224, 224));
  EXPECT_TRUE(butt.ColChange(255));
  EXPECT_FALSE(butt.ColChange(static_cast<quint32>(-1)));
  EXPECT_FALSE(butt.ColChange(0x01000000));
  EXPECT_EQ(butt.CaptionColor(), QColor(255, 0, 0));
}

}  // namespace
}  // namespace marvane
