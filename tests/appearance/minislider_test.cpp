#include "appearance/minislider.h"
#include "appearance/skinparts.h"

#include "twipmouse.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

namespace marvane {
namespace {

using test::MoveTo;
using test::PressAt;
using test::ReleaseAt;

// The knob's left edge is 150 twips in; a point inside the built-in knob at its current Top.
QPointF OnKnob(const MiniSlider& slider, int intoKnob = 100) { return {300, double(slider.KnobTop() + intoKnob)}; }
// A point on the track well away from the knob's column.
constexpr double kTrackX = 60;

// Records the slider's events in the order they are raised.
struct EventLog {
  explicit EventLog(MiniSlider& slider) {
    QObject::connect(&slider, &MiniSlider::Scroll, [this] { names << QStringLiteral("Scroll"); });
    QObject::connect(&slider, &MiniSlider::MouseUp, [this] { names << QStringLiteral("MouseUp"); });
    QObject::connect(&slider, &MiniSlider::RightClick, [this] { names << QStringLiteral("RightClick"); });
  }
  QStringList names;
};

TEST(MiniSlider, SetValueOutsideZeroToHundredChangesNothingAndRaisesNothing) {
  MiniSlider slider;
  slider.SetValue(40);
  QSignalSpy scroll(&slider, &MiniSlider::Scroll);
  slider.SetValue(101);
  slider.SetValue(-1);
  slider.SetValue(32767);
  EXPECT_EQ(scroll.count(), 0);
  EXPECT_EQ(slider.Value(), 40);
  EXPECT_EQ(slider.KnobTop(), 639);
}

TEST(MiniSlider, SetValuePlacesTheKnobByTheWholePartAndAlwaysRaisesScroll) {
  MiniSlider slider;
  QSignalSpy scroll(&slider, &MiniSlider::Scroll);
  slider.SetValue(0);
  slider.SetValue(0);
  EXPECT_EQ(scroll.count(), 2);
  EXPECT_EQ(slider.KnobTop(), 1065);
  slider.SetValue(100);
  EXPECT_EQ(slider.KnobTop(), 0);
  slider.SetValue(33);  // 67 x 10.65 = 713.55
  EXPECT_EQ(slider.KnobTop(), 713);
  EXPECT_EQ(slider.Value(), 33);
  slider.SetValue(80);  // 20 x 10.65 = 213
  EXPECT_EQ(slider.KnobTop(), 213);
}

TEST(MiniSlider, ClickOnTheTrackCentresTheKnobOnThePointerWithinItsTravel) {
  MiniSlider slider;
  slider.SetValue(50);
  QSignalSpy scroll(&slider, &MiniSlider::Scroll);

  PressAt(&slider, {kTrackX, 100});
  EXPECT_EQ(slider.KnobTop(), 0);
  EXPECT_EQ(slider.Value(), 100);
  ReleaseAt(&slider, {kTrackX, 100}, Qt::LeftButton);

  PressAt(&slider, {kTrackX, 1400});
  EXPECT_EQ(slider.KnobTop(), 1065);
  EXPECT_EQ(slider.Value(), 0);
  ReleaseAt(&slider, {kTrackX, 1400}, Qt::LeftButton);

  // Top 532: 100 - 49.95 rounds to 50.
  PressAt(&slider, {kTrackX, 762});
  EXPECT_EQ(slider.KnobTop(), 532);
  EXPECT_EQ(slider.Value(), 50);
  ReleaseAt(&slider, {kTrackX, 762}, Qt::LeftButton);

  // Top 800: 100 - 75.12 rounds to 25.
  PressAt(&slider, {kTrackX, 1030});
  EXPECT_EQ(slider.Value(), 25);
  ReleaseAt(&slider, {kTrackX, 1030}, Qt::LeftButton);
  EXPECT_EQ(scroll.count(), 4);
}

TEST(MiniSlider, TrackPressWithAnyOtherButtonStateDoesNothing) {
  MiniSlider slider;
  slider.SetValue(50);
  QSignalSpy scroll(&slider, &MiniSlider::Scroll);
  PressAt(&slider, {kTrackX, 100}, Qt::RightButton);
  PressAt(&slider, {kTrackX, 100}, Qt::LeftButton, Qt::LeftButton | Qt::RightButton);
  PressAt(&slider, {kTrackX, 1400}, Qt::MiddleButton);
  EXPECT_EQ(scroll.count(), 0);
  EXPECT_EQ(slider.Value(), 50);
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
  EXPECT_EQ(scroll.count(), 3);

  // Too far to the side, or with another button state, the knob stays.
  MoveTo(&slider, {2860, 300}, Qt::LeftButton);
  MoveTo(&slider, {-2500, 300}, Qt::LeftButton);
  MoveTo(&slider, {kTrackX, 300}, Qt::RightButton);
  MoveTo(&slider, {kTrackX, 300}, Qt::LeftButton | Qt::MiddleButton);
  EXPECT_EQ(slider.KnobTop(), 770);
  EXPECT_EQ(scroll.count(), 3);
  // Every move is a MouseOver, whether it drags or not.
  EXPECT_EQ(over.count(), 7);
}

TEST(MiniSlider, DraggingTheKnobMovesItByThePointersTravelFromWhereItWasTaken) {
  MiniSlider slider;
  slider.SetValue(50);  // Top 532
  // Taken 400 twips down inside the knob: a track click there would have put the knob elsewhere.
  PressAt(&slider, OnKnob(slider, 400));
  EXPECT_EQ(slider.KnobTop(), 532);
  QSignalSpy scroll(&slider, &MiniSlider::Scroll);

  MoveTo(&slider, {300, 1032}, Qt::LeftButton);
  EXPECT_EQ(slider.KnobTop(), 632);
  EXPECT_EQ(slider.Value(), 41);  // 100 - 59.34
  MoveTo(&slider, {300, 5000}, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(slider.KnobTop(), 1065);
  EXPECT_EQ(slider.Value(), 0);
  MoveTo(&slider, {300, -3000}, Qt::LeftButton);
  EXPECT_EQ(slider.KnobTop(), 0);
  EXPECT_EQ(slider.Value(), 100);
  EXPECT_EQ(scroll.count(), 3);

  // The sideways allowance is measured from the knob's left edge (150 twips in).
  MoveTo(&slider, {150 + 2860, 700}, Qt::LeftButton);
  EXPECT_EQ(slider.KnobTop(), 0);
  MoveTo(&slider, {150 + 2850, 700}, Qt::LeftButton);
  EXPECT_EQ(slider.KnobTop(), 300);
  ReleaseAt(&slider, {300, 700}, Qt::LeftButton);
  // Released, the knob no longer follows.
  MoveTo(&slider, {300, 900}, Qt::NoButton);
  EXPECT_EQ(slider.KnobTop(), 300);
}

TEST(MiniSlider, ReleasesRaiseMouseUpAndRightClickByPartAndButton) {
  MiniSlider slider;
  slider.SetValue(50);
  EventLog log(slider);

  PressAt(&slider, {kTrackX, 100}, Qt::RightButton);
  ReleaseAt(&slider, {kTrackX, 100}, Qt::RightButton);
  EXPECT_EQ(log.names, QStringList({QStringLiteral("RightClick"), QStringLiteral("MouseUp")}));

  log.names.clear();
  PressAt(&slider, {kTrackX, 100}, Qt::MiddleButton);
  ReleaseAt(&slider, {kTrackX, 100}, Qt::MiddleButton);
  EXPECT_EQ(log.names, QStringList({QStringLiteral("MouseUp")}));

  log.names.clear();
  PressAt(&slider, OnKnob(slider), Qt::RightButton);
  ReleaseAt(&slider, OnKnob(slider), Qt::RightButton);
  EXPECT_EQ(log.names, QStringList({QStringLiteral("RightClick")}));

  log.names.clear();
  PressAt(&slider, OnKnob(slider), Qt::MiddleButton);
  ReleaseAt(&slider, OnKnob(slider), Qt::MiddleButton);
  EXPECT_TRUE(log.names.isEmpty());

  log.names.clear();
  PressAt(&slider, OnKnob(slider), Qt::LeftButton);
  ReleaseAt(&slider, OnKnob(slider), Qt::LeftButton);
  EXPECT_EQ(log.names, QStringList({QStringLiteral("MouseUp")}));
}

TEST(MiniSlider, AReleaseBelongsToThePartThatWasPressedEvenWhenThePointerLeftIt) {
  MiniSlider slider;
  slider.SetValue(100);  // Knob at the top.
  EventLog log(slider);
  PressAt(&slider, OnKnob(slider), Qt::RightButton);
  // Released low on the track, far from the knob: still the knob's release.
  ReleaseAt(&slider, {kTrackX, 1400}, Qt::RightButton);
  EXPECT_EQ(log.names, QStringList({QStringLiteral("RightClick")}));
}

TEST(MiniSlider, APressWithNoOtherButtonDownStartsAfreshAfterALostRelease) {
  MiniSlider slider;
  slider.SetValue(50);
  PressAt(&slider, {kTrackX, 100});  // Its release never arrives.
  EXPECT_EQ(slider.Value(), 100);
  PressAt(&slider, OnKnob(slider, 50));
  MoveTo(&slider, {300, 150}, Qt::LeftButton);
  // Dragged as a knob taken 50 twips in: a track drag would have put Top at 150 - 230, clamped to 0.
  EXPECT_EQ(slider.KnobTop(), 100);
}

TEST(MiniSlider, KeepsItsSizeAndShowsTheBuiltInKnobFromCreation) {
  MiniSlider slider;
  EXPECT_EQ(slider.size(), QSize(41, 100));
  slider.resize(200, 50);
  EXPECT_EQ(slider.size(), QSize(41, 100));
  EXPECT_EQ(slider.KnobPicture().size(), QSize(21, 31));
  EXPECT_EQ(slider.KnobPicture().toImage(), BuiltInSliderKnob().toImage());
}

TEST(MiniSlider, BackgroundCopyShowsTheWindowPictureShiftedToLineUpWithTheWindow) {
  QWidget window;
  window.resize(600, 500);
  auto* slider = new MiniSlider(&window);
  slider->move(20, 220);

  slider->GetPic();
  EXPECT_FALSE(slider->BackgroundCopyVisible());

  QImage picture(600, 500, QImage::Format_RGB32);
  picture.fill(Qt::blue);
  picture.setPixel(21, 221, qRgb(0, 255, 0));
  SetWindowPicture(&window, QPixmap::fromImage(picture));
  slider->GetPic();
  slider->MovePic(300, 3300);
  EXPECT_TRUE(slider->BackgroundCopyVisible());
  EXPECT_EQ(slider->BackgroundCopyPos(), QPoint(-300, -3300));

  // The window's pixel (21, 221) lies at (1, 1) inside a slider placed at (20, 220).
  const QImage shown = slider->grab().toImage();
  EXPECT_EQ(shown.pixel(1, 1), qRgb(0, 255, 0));
  EXPECT_EQ(shown.pixel(1, 2), qRgb(0, 0, 255));

  // With the picture removed, the next GetPic hides the copy.
  SetWindowPicture(&window, QPixmap());
  slider->GetPic();
  EXPECT_FALSE(slider->BackgroundCopyVisible());
}

TEST(MiniSlider, SetCapLoadsAFaceKnobAndFallsBackToTheBuiltInOne) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString knobFile = dir.filePath(QStringLiteral("slider.bmp"));
  QImage faceKnob(25, 40, QImage::Format_RGB32);
  faceKnob.fill(Qt::magenta);
  ASSERT_TRUE(faceKnob.save(knobFile, "BMP"));
  const QString brokenFile = dir.filePath(QStringLiteral("broken.gif"));
  {
    QFile broken(brokenFile);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture at all");
  }

  MiniSlider slider;
  slider.SetCap(knobFile);
  EXPECT_EQ(slider.KnobPicture().size(), QSize(25, 40));
  // A file that cannot be read as a picture keeps the knob there was.
  slider.SetCap(brokenFile);
  EXPECT_EQ(slider.KnobPicture().size(), QSize(25, 40));
  slider.SetCap(dir.filePath(QStringLiteral("missing.jpg")));
  EXPECT_EQ(slider.KnobPicture().size(), QSize(21, 31));
  slider.SetCap(knobFile);
  slider.SetCap(QString());
  EXPECT_EQ(slider.KnobPicture().size(), QSize(21, 31));
}

TEST(MiniSlider, SetCapReadsTheThreeFacePictureFormats) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QImage knob(23, 35, QImage::Format_RGB32);
  knob.fill(Qt::darkGreen);
  const QString bmp = dir.filePath(QStringLiteral("slider.bmp"));
  const QString jpg = dir.filePath(QStringLiteral("slider.jpg"));
  ASSERT_TRUE(knob.save(bmp, "BMP"));
  ASSERT_TRUE(knob.save(jpg, "JPG"));
  // Qt reads GIF but does not write it: a one-pixel GIF, byte by byte.
  const QString gif = dir.filePath(QStringLiteral("slider.gif"));
  {
    static const unsigned char kOnePixelGif[] = {
        'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x21, 0xF9, 4, 1, 0,
        0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0, 0x3B};
    QFile file(gif);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(kOnePixelGif), sizeof kOnePixelGif);
  }
  MiniSlider slider;
  slider.SetCap(bmp);
  EXPECT_EQ(slider.KnobPicture().size(), QSize(23, 35));
  slider.SetCap(QString());
  slider.SetCap(jpg);
  EXPECT_EQ(slider.KnobPicture().size(), QSize(23, 35));
  slider.SetCap(gif);
  EXPECT_EQ(slider.KnobPicture().size(), QSize(1, 1));
}

TEST(MiniSlider, ShowLinesHidesAndShowsTheScale) {
  MiniSlider slider;
  slider.SetValue(0);  // Knob at the bottom, clear of the top scale line.
  // The scale line for Value 100 runs at the top of the knob's travel, left of the groove.
  const QPoint scalePixel(3, 14);
  const QRgb withLines = slider.grab().toImage().pixel(scalePixel);
  slider.ShowLines(false);
  EXPECT_FALSE(slider.LinesVisible());
  const QRgb withoutLines = slider.grab().toImage().pixel(scalePixel);
  EXPECT_NE(withLines, withoutLines);
  slider.ShowLines(true);
  EXPECT_EQ(slider.grab().toImage().pixel(scalePixel), withLines);
}

TEST(MiniSlider, TheKnobIsDrawnWhereItsTopSays) {
  QWidget window;
  window.setStyleSheet(QString());
  auto* slider = new MiniSlider(&window);
  for (const int value : {100, 50, 0}) {
    slider->SetValue(value);
    const QImage shown = slider->grab().toImage();
    const int topPixel = (slider->KnobTop() + 7) / 15;
    // The built-in knob's red index line crosses its middle.
    const QColor index = shown.pixelColor(20, topPixel + 14);
    EXPECT_GT(index.red(), 180) << value;
    EXPECT_LT(index.green(), 80) << value;
  }
}

}  // namespace
}  // namespace marvane
