#include "appearance/pan.h"

#include "twipmouse.h"

#include <gtest/gtest.h>

#include <QPalette>
#include <QSignalSpy>
#include <QTest>

namespace marvane {
namespace {

using test::MoveTo;
using test::PressAt;
using test::ReleaseAt;

// Takes the knob 45 twips in from its left edge, then drags so that its Left would become newLeft.
void DragKnobTo(Pan& pan, int newLeft, Qt::MouseButtons held = Qt::LeftButton) {
  const double grab = 45;
  PressAt(&pan, {pan.KnobLeft() + grab, 120}, Qt::LeftButton, held);
  MoveTo(&pan, {newLeft + grab, 120}, held);
  ReleaseAt(&pan, {newLeft + grab, 120}, Qt::LeftButton, Qt::NoButton);
}

TEST(Pan, StartsCentredAtItsFixedSize) {
  Pan pan;
  EXPECT_EQ(pan.Value(), 0);
  EXPECT_EQ(pan.KnobLeft(), 480);
  EXPECT_EQ(pan.size(), QSize(71, 17));
  pan.resize(300, 100);
  EXPECT_EQ(pan.size(), QSize(71, 17));
}

TEST(Pan, DraggedKnobSnapsToTheCentreAndStopsAtTheEnds) {
  Pan pan;
  DragKnobTo(pan, 500);
  EXPECT_EQ(pan.KnobLeft(), 480);
  EXPECT_EQ(pan.Value(), 0);
  DragKnobTo(pan, 600);
  EXPECT_EQ(pan.KnobLeft(), 600);
  EXPECT_EQ(pan.Value(), 840);
  DragKnobTo(pan, 1000);
  EXPECT_EQ(pan.KnobLeft(), 960);
  EXPECT_EQ(pan.Value(), 3360);
  DragKnobTo(pan, -200);
  EXPECT_EQ(pan.KnobLeft(), 0);
  EXPECT_EQ(pan.Value(), -3360);
  // The snap band is open at both ends.
  DragKnobTo(pan, 421);
  EXPECT_EQ(pan.KnobLeft(), 480);
  DragKnobTo(pan, 420);
  EXPECT_EQ(pan.Value(), -420);
  DragKnobTo(pan, 539);
  EXPECT_EQ(pan.KnobLeft(), 480);
  DragKnobTo(pan, 540, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(pan.Value(), 420);
}

TEST(Pan, EveryPlacementRaisesScrollEvenWhenTheKnobStays) {
  Pan pan;
  QSignalSpy scroll(&pan, &Pan::Scroll);
  PressAt(&pan, {525, 120});
  MoveTo(&pan, {545, 120}, Qt::LeftButton);  // Left 500: caught by the centre, where it already was.
  MoveTo(&pan, {2000, 120}, Qt::LeftButton);
  MoveTo(&pan, {2100, 120}, Qt::LeftButton);
  EXPECT_EQ(scroll.count(), 3);
  EXPECT_EQ(pan.Value(), 3360);
}

TEST(Pan, DragActsOnlyWithTheLeftButtonAndNearTheKnob) {
  Pan pan;
  QSignalSpy scroll(&pan, &Pan::Scroll);
  QSignalSpy over(&pan, &Pan::MouseOver);
  PressAt(&pan, {525, 120}, Qt::RightButton);
  MoveTo(&pan, {800, 120}, Qt::RightButton);
  EXPECT_EQ(pan.KnobLeft(), 480);
  ReleaseAt(&pan, {800, 120}, Qt::RightButton);

  PressAt(&pan, {525, 120});
  MoveTo(&pan, {800, -2600}, Qt::LeftButton);
  MoveTo(&pan, {800, 2900}, Qt::LeftButton);
  EXPECT_EQ(pan.KnobLeft(), 480);
  MoveTo(&pan, {800, 2890}, Qt::LeftButton);
  EXPECT_EQ(pan.KnobLeft(), 755);
  EXPECT_EQ(scroll.count(), 1);
  // Moves raise MouseOver whether they drag or not.
  EXPECT_EQ(over.count(), 4);
}

TEST(Pan, MouseOverOnlyOverTheKnob) {
  Pan pan;
  QSignalSpy over(&pan, &Pan::MouseOver);
  MoveTo(&pan, {100, 120}, Qt::NoButton);
  MoveTo(&pan, {1000, 120}, Qt::NoButton);
  EXPECT_EQ(over.count(), 0);
  MoveTo(&pan, {500, 120}, Qt::NoButton);
  EXPECT_EQ(over.count(), 1);
}

TEST(Pan, DoubleClickOnTheTrackCentresTheKnob) {
  Pan pan;
  DragKnobTo(pan, 900);
  QSignalSpy scroll(&pan, &Pan::Scroll);
  // A double click on the knob itself does not centre it.
  QTest::mouseDClick(&pan, Qt::LeftButton, Qt::NoModifier, QPoint(62, 8));
  QTest::mouseRelease(&pan, Qt::LeftButton, Qt::NoModifier, QPoint(62, 8));
  EXPECT_EQ(pan.KnobLeft(), 900);
  EXPECT_EQ(scroll.count(), 0);
  QTest::mouseDClick(&pan, Qt::LeftButton, Qt::NoModifier, QPoint(10, 8));
  QTest::mouseRelease(&pan, Qt::LeftButton, Qt::NoModifier, QPoint(10, 8));
  EXPECT_EQ(pan.KnobLeft(), 480);
  EXPECT_EQ(pan.Value(), 0);
  EXPECT_EQ(scroll.count(), 1);
}

TEST(Pan, MakeTransLetsTheContainerShowThroughOrPaintsItsColour) {
  QWidget container;
  container.resize(100, 40);
  QPalette palette = container.palette();
  palette.setColor(QPalette::Window, QColor(0, 0, 200));
  container.setPalette(palette);
  container.setAutoFillBackground(true);
  auto* pan = new Pan(&container);
  pan->move(10, 10);
  // A point on the groove, left of the knob.
  const QPoint groove(10 + 10, 10 + 8);

  const QColor opaque = container.grab().toImage().pixelColor(groove);
  EXPECT_NE(opaque, QColor(0, 0, 200));
  // The opaque background is the container's colour, whatever it is now.
  palette.setColor(QPalette::Window, QColor(0, 150, 0));
  container.setPalette(palette);
  EXPECT_EQ(container.grab().toImage().pixelColor(10 + 1, 10 + 6), QColor(0, 150, 0));

  pan->MakeTrans(true);
  EXPECT_TRUE(pan->IsTransparent());
  EXPECT_EQ(container.grab().toImage().pixelColor(groove), QColor(0, 150, 0));
  // The knob is still drawn.
  EXPECT_NE(container.grab().toImage().pixelColor(10 + 35, 10 + 8), QColor(0, 150, 0));

  pan->MakeTrans(false);
  EXPECT_EQ(container.grab().toImage().pixelColor(groove), opaque);
}

}  // namespace
}  // namespace marvane
