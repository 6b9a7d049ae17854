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
  test::Drag(&pan, {pan.KnobLeft() + 45.0, 120}, {newLeft + 45.0, 120}, held);
}

TEST(Pan, DraggedKnobSnapsToTheCentreInsideAnOpenBandAndStopsAtTheEnds) {
  Pan pan;
  EXPECT_EQ(pan.Value(), 0);
  EXPECT_EQ(pan.KnobLeft(), 480);
  pan.resize(300, 100);
  EXPECT_EQ(pan.size(), QSize(71, 17));
  const struct {
    int dragTo, left, value;
  } rows[] = {{500, 480, 0},  {600, 600, 840},     {1000, 960, 3360}, {-200, 0, -3360},
              {421, 480, 0},  {420, 420, -420},    {539, 480, 0},     {540, 540, 420}};
  for (const auto& row : rows) {
    DragKnobTo(pan, row.dragTo, row.dragTo == 540 ? Qt::LeftButton | Qt::RightButton : Qt::LeftButton);
    EXPECT_EQ(pan.KnobLeft(), row.left) << row.dragTo;
    EXPECT_EQ(pan.Value(), row.value) << row.dragTo;
  }
}

TEST(Pan, DragFollowsOnlyTheLeftButtonNearTheKnobAndEveryPlacementScrolls) {
  Pan pan;
  QSignalSpy scroll(&pan, &Pan::Scroll);
  QSignalSpy over(&pan, &Pan::MouseOver);
  MoveTo(&pan, {100, 120}, Qt::NoButton);  // hovering: MouseOver only over the knob
  MoveTo(&pan, {1000, 120}, Qt::NoButton);
  EXPECT_EQ(over.count(), 0);
  PressAt(&pan, {525, 120}, Qt::RightButton);
  MoveTo(&pan, {800, 120}, Qt::RightButton);
  ReleaseAt(&pan, {800, 120}, Qt::RightButton);
  EXPECT_EQ(pan.KnobLeft(), 480);

  PressAt(&pan, {525, 120});
  MoveTo(&pan, {545, 120}, Qt::LeftButton);  // Left 500: caught by the centre, where it already was
  MoveTo(&pan, {800, -2600}, Qt::LeftButton);
  MoveTo(&pan, {800, 2900}, Qt::LeftButton);
  EXPECT_EQ(pan.KnobLeft(), 480);
  MoveTo(&pan, {800, 2890}, Qt::LeftButton);
  EXPECT_EQ(pan.KnobLeft(), 755);
  EXPECT_EQ(scroll.count(), 2);
  // Moves during a drag raise MouseOver whether they move the knob or not.
  EXPECT_EQ(over.count(), 5);
}

TEST(Pan, DoubleClickOnTheTrackCentresTheKnobButNotOnTheKnob) {
  Pan pan;
  DragKnobTo(pan, 900);
  QSignalSpy scroll(&pan, &Pan::Scroll);
  for (const int x : {62, 10}) {
    QTest::mouseDClick(&pan, Qt::LeftButton, Qt::NoModifier, QPoint(x, 8));
    QTest::mouseRelease(&pan, Qt::LeftButton, Qt::NoModifier, QPoint(x, 8));
    EXPECT_EQ(pan.KnobLeft(), x == 62 ? 900 : 480) << x;
  }
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
  const QPoint groove(10 + 10, 10 + 8);  // on the groove, left of the knob
  const auto pixel = [&](QPoint at) { return container.grab().toImage().pixelColor(at); };

  const QColor opaque = pixel(groove);
  EXPECT_NE(opaque, QColor(0, 0, 200));
  // The opaque background is the container's colour, whatever it is now.
  palette.setColor(QPalette::Window, QColor(0, 150, 0));
  container.setPalette(palette);
  EXPECT_EQ(pixel({10 + 1, 10 + 6}), QColor(0, 150, 0));

  pan->MakeTrans(true);
  EXPECT_EQ(pixel(groove), QColor(0, 150, 0));
  EXPECT_NE(pixel({10 + 35, 10 + 8}), QColor(0, 150, 0));  // the knob is still drawn
  pan->MakeTrans(false);
  EXPECT_EQ(pixel(groove), opaque);
}

}  // namespace
}  // namespace marvane
