#include "appearance/minislider.h"
#include "appearance/skinparts.h"

#include "twipmouse.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>

namespace marvane {
namespace {

using test::MoveTo;
using test::PressAt;
using test::ReleaseAt;

// A point inside the built-in knob at its current Top (the knob's left edge is 150 twips in).
QPointF OnKnob(const MiniSlider& slider, int intoKnob = 100) { return {300, double(slider.KnobTop() + intoKnob)}; }
// A point on the track well away from the knob's column.
constexpr double kTrackX = 60;

// Records the slider's events in the order they are raised.
void LogEvents(MiniSlider& slider, QStringList& names) {
  QObject::connect(&slider, &MiniSlider::Scroll, [&names] { names << QStringLiteral("Scroll"); });
  QObject::connect(&slider, &MiniSlider::MouseUp, [&names] { names << QStringLiteral("MouseUp"); });
  QObject::connect(&slider, &MiniSlider::RightClick, [&names] { names << QStringLiteral("RightClick"); });
}

TEST(MiniSlider, SetValuePlacesTheKnobByTheWholePartAndRefusesValuesOutsideTheRange) {
  MiniSlider slider;
  EXPECT_EQ(slider.size(), QSize(41, 100));
  slider.resize(200, 50);
  EXPECT_EQ(slider.size(), QSize(41, 100));
  QSignalSpy scroll(&slider, &MiniSlider::Scroll);
  // 67 x 10.65 = 713.55 and 20 x 10.65 = 213; the same value again still raises Scroll.
  const struct {
    int value, top;
  } rows[] = {{0, 1065}, {0, 1065}, {100, 0}, {33, 713}, {80, 213}, {40, 639}};
  for (const auto& row : rows) {
    slider.SetValue(row.value);
    EXPECT_EQ(slider.KnobTop(), row.top) << row.value;
  }
  EXPECT_EQ(scroll.count(), 6);
  for (const int bad : {101, -1, 32767}) slider.SetValue(bad);
  EXPECT_EQ(scroll.count(), 6);
  EXPECT_EQ(slider.Value(), 40);
  EXPECT_EQ(slider.KnobTop(), 639);
}

TEST(MiniSlider, LeftClickOnTheTrackCentresTheKnobOnThePointerWithinItsTravel) {
  MiniSlider slider;
  slider.SetValue(50);
  QSignalSpy scroll(&slider, &MiniSlider::Scroll);
  // Other button states do nothing.
  PressAt(&slider, {kTrackX, 100}, Qt::RightButton);
  PressAt(&slider, {kTrackX, 100}, Qt::LeftButton, Qt::LeftButton | Qt::RightButton);
  PressAt(&slider, {kTrackX, 1400}, Qt::MiddleButton);
  EXPECT_EQ(scroll.count(), 0);
  // Top 532: 100 - 49.95 rounds to 50; Top 800: 100 - 75.12 rounds to 25.
  const struct {
    double y;
    int top, value;
  } rows[] = {{100, 0, 100}, {1400, 1065, 0}, {762, 532, 50}, {1030, 800, 25}};
  for (const auto& row : rows) {
    PressAt(&slider, {kTrackX, row.y});
    EXPECT_EQ(slider.KnobTop(), row.top) << row.y;
    EXPECT_EQ(slider.Value(), row.value) << row.y;
    ReleaseAt(&slider, {kTrackX, row.y}, Qt::LeftButton);
  }
  EXPECT_EQ(scroll.count(), 4);
}

TEST(MiniSlider, DraggingOnTheTrackFollowsThePointerWhileItStaysNearTheSlider) {
  MiniSlider slider;
  PressAt(&slider, {kTrackX, 500});
  EXPECT_EQ(slider.KnobTop(), 270);
  QSignalSpy scroll(&slider, &MiniSlider::Scroll);
  QSignalSpy over(&slider, &MiniSlider::MouseOver);
  MoveTo(&slider, {kTrackX, 800}, Qt::LeftButton);
  EXPECT_EQ(slider.KnobTop(), 570);
  EXPECT_EQ(slider.Value(), 46);  // 100 - 53.52
  // Left and right held together still drag; the pointer may stray far to the sides.
  MoveTo(&slider, {2800, 900}, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(slider.KnobTop(), 670);
  MoveTo(&slider, {-2400, 1000}, Qt::LeftButton);
  EXPECT_EQ(slider.KnobTop(), 770);
  // Too far to the side, or with another button state, the knob stays.
  MoveTo(&slider, {2860, 300}, Qt::LeftButton);
  MoveTo(&slider, {-2500, 300}, Qt::LeftButton);
  MoveTo(&slider, {kTrackX, 300}, Qt::RightButton);
  MoveTo(&slider, {kTrackX, 300}, Qt::LeftButton | Qt::MiddleButton);
  EXPECT_EQ(slider.KnobTop(), 770);
  EXPECT_EQ(scroll.count(), 3);
  EXPECT_EQ(over.count(), 7);  // every move is a MouseOver
}

TEST(MiniSlider, DraggingTheKnobMovesItByThePointersTravelFromWhereItWasTaken) {
  MiniSlider slider;
  slider.SetValue(50);  // Top 532
  // Taken 400 twips down inside the knob: a track click there would have put the knob elsewhere.
  PressAt(&slider, OnKnob(slider, 400));
  EXPECT_EQ(slider.KnobTop(), 532);
  const struct {
    QPointF to;
    Qt::MouseButtons held;
    int top;
  } steps[] = {{{300, 1032}, Qt::LeftButton, 632},
               {{300, 5000}, Qt::LeftButton | Qt::RightButton, 1065},
               {{300, -3000}, Qt::LeftButton, 0},
               // The sideways allowance is measured from the knob's left edge.
               {{150 + 2860, 700}, Qt::LeftButton, 0},
               {{150 + 2850, 700}, Qt::LeftButton, 300}};
  for (const auto& step : steps) {
    MoveTo(&slider, step.to, step.held);
    EXPECT_EQ(slider.KnobTop(), step.top) << step.to.x() << "," << step.to.y();
  }
  EXPECT_EQ(slider.Value(), 72);  // 100 - 28.17
  ReleaseAt(&slider, {300, 700}, Qt::LeftButton);
  MoveTo(&slider, {300, 900}, Qt::NoButton);
  EXPECT_EQ(slider.KnobTop(), 300);

  // A press with no other button down starts afresh after a release that never arrived.
  PressAt(&slider, {kTrackX, 100});
  PressAt(&slider, OnKnob(slider, 50));
  MoveTo(&slider, {300, 150}, Qt::LeftButton);
  // Dragged as a knob taken 50 twips in: a track drag would have put Top at 150 - 230, clamped to 0.
  EXPECT_EQ(slider.KnobTop(), 100);
}

TEST(MiniSlider, ReleasesRaiseMouseUpAndRightClickByThePressedPartAndButton) {
  QStringList log;
  MiniSlider slider;
  slider.SetValue(100);  // knob at the top
  LogEvents(slider, log);
  const QStringList rightClick{QStringLiteral("RightClick")}, mouseUp{QStringLiteral("MouseUp")};
  const struct {
    QPointF press, release;
    Qt::MouseButton button;
    QStringList events;
  } rows[] = {{{kTrackX, 1400}, {kTrackX, 1400}, Qt::RightButton, rightClick + mouseUp},
              {{kTrackX, 1400}, {kTrackX, 1400}, Qt::MiddleButton, mouseUp},
              {OnKnob(slider), OnKnob(slider), Qt::RightButton, rightClick},
              {OnKnob(slider), OnKnob(slider), Qt::MiddleButton, {}},
              // Released low on the track, far from the knob: still the knob's release.
              {OnKnob(slider), {kTrackX, 1400}, Qt::RightButton, rightClick},
              {OnKnob(slider), OnKnob(slider), Qt::LeftButton, mouseUp}};
  for (const auto& row : rows) {
    log.clear();
    PressAt(&slider, row.press, row.button);
    ReleaseAt(&slider, row.release, row.button);
    EXPECT_EQ(log, row.events) << row.button << " " << row.press.y();
  }
}

TEST(MiniSlider, SetCapReadsFacePicturesAndFallsBackToTheBuiltInKnob) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const auto path = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
  QImage knob(23, 35, QImage::Format_RGB32);
  knob.fill(Qt::darkGreen);
  ASSERT_TRUE(knob.save(path("slider.bmp"), "BMP"));
  ASSERT_TRUE(knob.save(path("slider.jpg"), "JPG"));
  // Qt reads GIF but does not write it: a one-pixel GIF, byte by byte.
  static const unsigned char kOnePixelGif[] = {
      'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x21, 0xF9, 4, 1, 0,
      0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0, 0x3B};
  QFile gif(path("slider.gif")), broken(path("broken.gif"));
  ASSERT_TRUE(gif.open(QIODevice::WriteOnly) && broken.open(QIODevice::WriteOnly));
  gif.write(reinterpret_cast<const char*>(kOnePixelGif), sizeof kOnePixelGif);
  broken.write("not a picture at all");
  gif.close();
  broken.close();

  MiniSlider slider;
  EXPECT_EQ(slider.KnobPicture().toImage(), BuiltInSliderKnob().toImage());
  EXPECT_EQ(slider.KnobPicture().size(), QSize(21, 31));
  // A file that cannot be read keeps the knob there was; a missing file or none at all brings back the built-in.
  const struct {
    const char* file;
    QSize size;
  } rows[] = {{"slider.bmp", {23, 35}}, {"broken.gif", {23, 35}}, {"missing.jpg", {21, 31}},
              {"slider.jpg", {23, 35}}, {"slider.gif", {1, 1}},   {nullptr, {21, 31}}};
  for (const auto& row : rows) {
    slider.SetCap(row.file ? path(row.file) : QString());
    EXPECT_EQ(slider.KnobPicture().size(), row.size) << (row.file ? row.file : "none");
  }
}

// Where the copy lines up with the window's picture is checked on the whole console strip in controls_look_test.
TEST(MiniSlider, BackgroundCopyIsShownOnlyWhileTheWindowHasAPicture) {
  QWidget window;
  auto* slider = new MiniSlider(&window);
  slider->GetPic();
  EXPECT_FALSE(slider->BackgroundCopyVisible());
  QPixmap picture(600, 500);
  picture.fill(Qt::blue);
  SetWindowPicture(&window, picture);
  slider->GetPic();
  slider->MovePic(300, 3300);
  EXPECT_TRUE(slider->BackgroundCopyVisible());
  EXPECT_EQ(slider->BackgroundCopyPos(), QPoint(-300, -3300));
  SetWindowPicture(&window, QPixmap());
  slider->GetPic();
  EXPECT_FALSE(slider->BackgroundCopyVisible());
}

TEST(MiniSlider, TheKnobIsDrawnWhereItsTopSaysAndShowLinesSwitchesTheScale) {
  MiniSlider slider;
  for (const int value : {100, 50, 0}) {
    slider.SetValue(value);
    // The built-in knob's red index line crosses its middle.
    const QColor index = slider.grab().toImage().pixelColor(20, (slider.KnobTop() + 7) / 15 + 14);
    EXPECT_GT(index.red(), 180) << value;
    EXPECT_LT(index.green(), 80) << value;
  }
  // With the knob at the bottom, the scale line for 100 runs at the top of its travel, left of the groove.
  const QPoint scalePixel(3, 14);
  const QRgb withLines = slider.grab().toImage().pixel(scalePixel);
  slider.ShowLines(false);
  EXPECT_NE(slider.grab().toImage().pixel(scalePixel), withLines);
  slider.ShowLines(true);
  EXPECT_EQ(slider.grab().toImage().pixel(scalePixel), withLines);
}

}  // namespace
}  // namespace marvane
