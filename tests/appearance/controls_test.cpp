// The console's own controls driven by mouse events at exact twip positions: the volume slider, the pan knob,
// the crossfader and the caption button; and the twip conversions they use (colours are checked where windows
// take them, in the Options, Faces and pictures tests).

#include "appearance/butt.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/pan.h"
#include "appearance/skinparts.h"
#include "appearance/twips.h"
#include "support/testenv.h"
#include "twipmouse.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

namespace marvane::test {
namespace {


TEST(Twips, FifteenTwipsMakeAPixelWithHalvesToEven) {
  EXPECT_EQ(PixelsToTwips(QSize(193, 34)), QSize(2895, 510));
  EXPECT_EQ(TwipsToPixels(22.5), 2);  // 1.5 pixels: half to even
  EXPECT_EQ(TwipsToPixels(37.5), 2);  // 2.5 pixels: half to even
  EXPECT_EQ(TwipsToPixels(300, 3300, 615, 1500), QRect(20, 220, 41, 100));
}

// --- MiniSlider: Top = whole part of (100 - Value) x 10.65; Value = 100 - Top / 10.65, halves to even.

// A point inside the built-in knob at its current Top; the track well away from the knob's column.
QPointF OnKnob(const MiniSlider& slider, int intoKnob = 100) { return {300, double(slider.KnobTop() + intoKnob)}; }
constexpr double kTrackX = 60;

TEST(MiniSlider, SetValueAndTrackClicksPlaceTheKnobAndValuesOutsideTheRangeAreRefused) {
  MiniSlider slider;
  slider.resize(200, 50);
  EXPECT_EQ(slider.size(), QSize(41, 100));  // the knob controls keep their size
  QSignalSpy scroll(&slider, &MiniSlider::Scroll);
  // 67 x 10.65 = 713.55 and 20 x 10.65 = 213; the same value again still raises Scroll.
  for (const auto& [value, top] : {std::pair{0, 1065}, {0, 1065}, {100, 0}, {33, 713}, {80, 213}}) {
    slider.SetValue(value);
    EXPECT_EQ(slider.KnobTop(), top) << value;
  }
  for (const int bad : {101, -1}) slider.SetValue(bad);
  EXPECT_EQ(scroll.count(), 5);
  EXPECT_EQ(slider.Value(), 80);
  // A left press on the track centres the knob on the pointer within its travel; other buttons do nothing.
  PressAt(&slider, {kTrackX, 100}, Qt::RightButton);
  PressAt(&slider, {kTrackX, 100}, Qt::LeftButton, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(slider.Value(), 80);
  // Top 532: 100 - 49.95 rounds to 50; Top 800: 100 - 75.12 rounds to 25.
  for (const auto& [y, top, value] : {std::tuple{100.0, 0, 100}, {1400.0, 1065, 0}, {762.0, 532, 50},
                                      {1030.0, 800, 25}}) {
    PressAt(&slider, {kTrackX, y});
    EXPECT_EQ(std::pair(slider.KnobTop(), slider.Value()), std::pair(top, value)) << y;
    ReleaseAt(&slider, {kTrackX, y}, Qt::LeftButton);
  }
  EXPECT_EQ(scroll.count(), 9);
}

TEST(MiniSlider, DragsFollowThePointerWhileItStaysNearTheSlider) {
  MiniSlider slider;
  PressAt(&slider, {kTrackX, 500});  // on the track: the knob follows the pointer
  EXPECT_EQ(slider.KnobTop(), 270);
  QSignalSpy over(&slider, &MiniSlider::MouseOver);
  MoveTo(&slider, {kTrackX, 800}, Qt::LeftButton);
  EXPECT_EQ(slider.Value(), 46);  // 100 - 53.52
  MoveTo(&slider, {2800, 900}, Qt::LeftButton | Qt::RightButton);
  MoveTo(&slider, {-2400, 1000}, Qt::LeftButton);
  EXPECT_EQ(slider.KnobTop(), 770);
  // Too far to the side, or with another button state, the knob stays.
  MoveTo(&slider, {2860, 300}, Qt::LeftButton);
  MoveTo(&slider, {-2500, 300}, Qt::LeftButton);
  MoveTo(&slider, {kTrackX, 300}, Qt::RightButton);
  MoveTo(&slider, {kTrackX, 300}, Qt::LeftButton | Qt::MiddleButton);
  EXPECT_EQ(slider.KnobTop(), 770);
  EXPECT_EQ(over.count(), 7);  // every move is a MouseOver
  ReleaseAt(&slider, {kTrackX, 300}, Qt::LeftButton);

  // The knob taken 400 twips down moves by the pointer's travel, within 0..1065; the sideways allowance is
  // measured from the knob's left edge (150 twips in).
  slider.SetValue(50);  // Top 532
  PressAt(&slider, OnKnob(slider, 400));
  EXPECT_EQ(slider.KnobTop(), 532);
  for (const auto& [to, top] : {std::pair{QPointF(300, 1032), 632}, {QPointF(300, 5000), 1065},
                                {QPointF(300, -3000), 0}, {QPointF(150 + 2860, 700), 0},
                                {QPointF(150 + 2850, 700), 300}}) {
    MoveTo(&slider, to, Qt::LeftButton);
    EXPECT_EQ(slider.KnobTop(), top) << to.x() << "," << to.y();
  }
  EXPECT_EQ(slider.Value(), 72);  // 100 - 28.17
  ReleaseAt(&slider, {300, 700}, Qt::LeftButton);
  MoveTo(&slider, {300, 900}, Qt::NoButton);
  EXPECT_EQ(slider.KnobTop(), 300);
  // A press with no other button down starts afresh after a release that never arrived.
  PressAt(&slider, {kTrackX, 100});
  PressAt(&slider, OnKnob(slider, 50));
  MoveTo(&slider, {300, 150}, Qt::LeftButton);
  EXPECT_EQ(slider.KnobTop(), 100);  // a track drag would have put Top at 150 - 230, clamped to 0
}

TEST(MiniSlider, ReleasesRaiseMouseUpAndRightClickByThePressedPartAndButton) {
  QStringList log;
  MiniSlider slider;
  slider.SetValue(100);  // knob at the top
  QObject::connect(&slider, &MiniSlider::MouseUp, [&log] { log << u"MouseUp"_s; });
  QObject::connect(&slider, &MiniSlider::RightClick, [&log] { log << u"RightClick"_s; });
  const QStringList right{u"RightClick"_s}, up{u"MouseUp"_s};
  const QPointF low(kTrackX, 1400), knob = OnKnob(slider);
  for (const auto& [press, release, button, events] :
       {std::tuple{low, low, Qt::RightButton, right + up}, {low, low, Qt::MiddleButton, up},
        {knob, knob, Qt::RightButton, right}, {knob, knob, Qt::MiddleButton, QStringList()},
        {knob, low, Qt::RightButton, right},  // released far from the knob: still the knob's release
        {knob, knob, Qt::LeftButton, up}}) {
    log.clear();
    PressAt(&slider, press, button);
    ReleaseAt(&slider, release, button);
    EXPECT_EQ(log, events) << button << " " << press.y();
  }
}

TEST(MiniSlider, FacePicturesTheBackgroundCopyAndTheScaleLines) {
  QTemporaryDir dir;
  QImage knob(23, 35, QImage::Format_RGB32);
  knob.fill(Qt::darkGreen);
  ASSERT_TRUE(knob.save(dir.filePath(u"slider.bmp"_s), "BMP"));
  WriteBytes(dir.filePath(u"broken.gif"_s), "not a picture at all");
  QWidget window;
  auto* slider = new MiniSlider(&window);
  EXPECT_EQ(slider->KnobPicture().toImage(), BuiltInSliderKnob().toImage());
  // A file that cannot be read keeps the knob there was; a missing file or none brings back the built-in.
  for (const auto& [file, size] : {std::pair{"slider.bmp", QSize(23, 35)}, {"broken.gif", QSize(23, 35)},
                                   {"missing.jpg", QSize(21, 31)}, {"slider.bmp", QSize(23, 35)},
                                   {"", QSize(21, 31)}}) {
    slider->SetCap(*file ? dir.filePath(QLatin1String(file)) : QString());
    EXPECT_EQ(slider->KnobPicture().size(), size) << file;
  }
  // The copy of the window's picture shows only while the window has one (where it lines up: pictures_test).
  QPixmap picture(600, 500);
  picture.fill(Qt::blue);
  SetWindowPicture(&window, picture);
  slider->GetPic();
  EXPECT_TRUE(slider->BackgroundCopyVisible());
  SetWindowPicture(&window, QPixmap());
  slider->GetPic();
  EXPECT_FALSE(slider->BackgroundCopyVisible());
  // The built-in knob's red index line is drawn where Top says; ShowLines switches the scale (the line for 100
  // runs at the top of the travel, left of the groove).
  for (const int value : {100, 0}) {
    slider->SetValue(value);
    const QColor index = slider->grab().toImage().pixelColor(20, (slider->KnobTop() + 7) / 15 + 14);
    EXPECT_TRUE(index.red() > 180 && index.green() < 80) << value;
  }
  const QRgb withLines = slider->grab().toImage().pixel(3, 14);
  slider->ShowLines(false);
  EXPECT_NE(slider->grab().toImage().pixel(3, 14), withLines);
}

// --- Pan: the knob's Left runs 0..960 twips, Value -3360..3360, caught by the centre inside an open band.

// Takes the knob 45 twips in from its left edge, then drags so that its Left would become newLeft.
void DragKnobTo(Pan& pan, int newLeft, Qt::MouseButtons held = Qt::LeftButton) {
  Drag(&pan, {pan.KnobLeft() + 45.0, 120}, {newLeft + 45.0, 120}, held);
}

TEST(Pan, DraggedKnobSnapsToTheCentreInsideAnOpenBandAndOnlyTheLeftButtonNearTheKnobDrags) {
  Pan pan;
  EXPECT_EQ(pan.KnobLeft(), 480);
  for (const auto& [dragTo, left, value] : {std::tuple{600, 600, 840}, {1000, 960, 3360}, {-200, 0, -3360},
                                            {421, 480, 0}, {420, 420, -420}, {539, 480, 0}, {540, 540, 420}}) {
    DragKnobTo(pan, dragTo, dragTo == 540 ? Qt::LeftButton | Qt::RightButton : Qt::LeftButton);
    EXPECT_EQ(std::pair(pan.KnobLeft(), pan.Value()), std::pair(left, value)) << dragTo;
  }
  DragKnobTo(pan, 480);
  QSignalSpy scroll(&pan, &Pan::Scroll);
  QSignalSpy over(&pan, &Pan::MouseOver);
  MoveTo(&pan, {100, 120}, Qt::NoButton);  // hovering: MouseOver only over the knob
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
  EXPECT_EQ(scroll.count(), 2);  // every placement scrolls
  EXPECT_EQ(over.count(), 5);
}

TEST(Pan, DoubleClickOnTheTrackCentresAndMakeTransLetsTheContainerShowThrough) {
  QWidget container;
  container.resize(100, 40);
  container.setPalette(QPalette(QColor(0, 0, 200)));
  container.setAutoFillBackground(true);
  auto* pan = new Pan(&container);
  pan->move(10, 10);
  container.setPalette(QPalette(QColor(0, 150, 0)));  // the pan follows its container's colour as it is now
  DragKnobTo(*pan, 900);
  QSignalSpy scroll(pan, &Pan::Scroll);
  for (const int x : {62, 10}) {  // on the knob, then on the track
    QTest::mouseDClick(pan, Qt::LeftButton, Qt::NoModifier, QPoint(x, 8));
    QTest::mouseRelease(pan, Qt::LeftButton, Qt::NoModifier, QPoint(x, 8));
    EXPECT_EQ(pan->KnobLeft(), x == 62 ? 900 : 480) << x;
  }
  EXPECT_EQ(scroll.count(), 1);
  const auto pixel = [&](QPoint at) { return container.grab().toImage().pixelColor(at); };
  const QPoint groove(10 + 10, 10 + 8);  // on the groove, left of the knob
  const QColor opaque = pixel(groove);
  EXPECT_NE(opaque, QColor(0, 150, 0));
  EXPECT_EQ(pixel({10 + 1, 10 + 6}), QColor(0, 150, 0));  // the opaque background is the container's colour
  pan->MakeTrans(true);
  EXPECT_EQ(pixel(groove), QColor(0, 150, 0));
  EXPECT_NE(pixel({10 + 35, 10 + 8}), QColor(0, 150, 0));  // the knob is still drawn
  pan->MakeTrans(false);
  EXPECT_EQ(pixel(groove), opaque);
}

// --- MiniCrossfader: Position 0..2280 twips, middle 1140; each side's level is its distance from the far end
// over 11.4, at most 100. The knob is taken 300 twips in from its left edge; the track is below the knob.

constexpr double kGrabX = 300;
constexpr double kKnobY = MiniCrossfader::kKnobTop + 100;
constexpr double kTrackY = 480;

void DragKnobTo(MiniCrossfader& fader, double p) {
  Drag(&fader, {fader.Position() + kGrabX, kKnobY}, {p + kGrabX, kKnobY});
}

// Records Scroll and Maxed in the order they are raised.
void LogEvents(MiniCrossfader& fader, QStringList& names) {
  QObject::connect(&fader, &MiniCrossfader::Scroll, [&names] { names << u"Scroll"_s; });
  QObject::connect(&fader, &MiniCrossfader::Maxed,
                   [&names](bool& toLeft) { names << (toLeft ? u"Maxed(true)"_s : u"Maxed(false)"_s); });
}

// Runs one side's ticks until its fade ends; returns the number of ticks.
int TicksUntilStopped(MiniCrossfader& fader, bool left) {
  int ticks = 0;
  for (; (left ? fader.IsFadingLeft() : fader.IsFadingRight()) && ticks < 10000; ++ticks)
    left ? fader.TickLeft() : fader.TickRight();
  return ticks;
}

TEST(MiniCrossfader, DraggedKnobLowersOnlyTheFarSideAndTheMiddleCatchesItWithinSixtyTwips) {
  MiniCrossfader fader;
  EXPECT_EQ(std::tuple(fader.Position(), fader.LeftLevel(), fader.RightLevel()), std::tuple(1140, 100, 100));
  QStringList log;
  LogEvents(fader, log);
  const std::tuple<double, double, int, int> rows[] = {
      {0, 0, 100, 0},        {570, 570, 100, 50},   {1710, 1710, 50, 100},  {2280, 2280, 0, 100},
      {2000, 2000, 25, 100}, {300, 300, 100, 26},   {1190, 1140, 100, 100}, {1200, 1200, 95, 100},
      {1081, 1140, 100, 100}, {1080, 1080, 100, 95}, {3000, 2280, 0, 100},   {-500, 0, 100, 0}};
  for (const auto& [dragTo, position, left, right] : rows) {
    DragKnobTo(fader, dragTo);
    EXPECT_EQ(std::tuple(fader.Position(), fader.LeftLevel(), fader.RightLevel()), std::tuple(position, left, right))
        << dragTo;
  }
  // One Scroll per drag; a manual drag to an end never raises Maxed.
  EXPECT_EQ(log, QStringList(std::size(rows), u"Scroll"_s));
  // Only the left button drags, and only while the pointer stays near the knob.
  QSignalSpy over(&fader, &MiniCrossfader::MouseOver);
  fader.Reset();
  MoveTo(&fader, {100, kTrackY}, Qt::NoButton);  // hovering the track or the knob raises MouseOver
  PressAt(&fader, {1140 + kGrabX, kKnobY});
  MoveTo(&fader, {600 + kGrabX, kKnobY}, Qt::RightButton);
  MoveTo(&fader, {600 + kGrabX, MiniCrossfader::kKnobTop - 2300}, Qt::LeftButton);
  MoveTo(&fader, {600 + kGrabX, MiniCrossfader::kKnobTop + 2850}, Qt::LeftButton);
  EXPECT_EQ(fader.Position(), 1140);
  MoveTo(&fader, {600 + kGrabX, MiniCrossfader::kKnobTop + 2840}, Qt::LeftButton | Qt::RightButton);
  EXPECT_EQ(fader.Position(), 600);
  EXPECT_EQ(over.count(), 5);
  // The knob's red index line is drawn at its middle: at 1740 twips (116 pixels), 20 pixels in.
  DragKnobTo(fader, 1740);
  const QColor index = fader.grab().toImage().pixelColor(116 + 20, 17);
  EXPECT_TRUE(index.red() > 180 && index.green() < 80) << index.name().toStdString();
}

TEST(MiniCrossfader, AutoFadesTakeTheirTicksAtSpeedAtLeastTenAndEndWithMaxedBeforeScroll) {
  for (const auto& [speed, fromMiddle, endToEnd] : {std::tuple{25, 46, 92}, {100, 12, 23}, {-20, 114, 228}}) {
    MiniCrossfader fader;
    fader.SetSpeed(speed);
    fader.AutoFadeLeft();
    EXPECT_EQ(fader.Speed(), std::max(speed, 10));  // raised when a fade starts
    EXPECT_EQ(TicksUntilStopped(fader, true), fromMiddle) << speed;
    EXPECT_EQ(fader.Position(), 0);
    fader.AutoFadeRight();
    EXPECT_EQ(TicksUntilStopped(fader, false), endToEnd) << speed;
    EXPECT_EQ(fader.Position(), 2280);
    fader.Reset();
    fader.AutoFadeRight();
    EXPECT_EQ(TicksUntilStopped(fader, false), fromMiddle) << speed;
  }
  MiniCrossfader fader;
  fader.SetSpeed(100);
  QStringList log;
  LogEvents(fader, log);
  fader.AutoFadeRight();
  fader.TickRight();
  fader.TickRight();
  EXPECT_EQ(std::tuple(fader.Position(), fader.LeftLevel(), fader.RightLevel()), std::tuple(1340, 82, 100));
  TicksUntilStopped(fader, false);
  EXPECT_EQ(log.count(u"Maxed(false)"_s), 1);
  EXPECT_EQ(log.mid(log.size() - 2), QStringList({u"Maxed(false)"_s, u"Scroll"_s}));
  EXPECT_EQ(fader.LeftLevel(), 0);
  // A fade started at its own end finishes on the first tick.
  log.clear();
  fader.AutoFadeRight();
  fader.TickRight();
  EXPECT_FALSE(fader.IsFadingRight());
  EXPECT_EQ(log, QStringList({u"Maxed(false)"_s, u"Scroll"_s}));
  // Starting the other fade reverses from where the knob stands.
  fader.SetSpeed(50);
  fader.AutoFadeLeft();
  fader.TickLeft();
  fader.AutoFadeRight();
  EXPECT_FALSE(fader.IsFadingLeft());
  fader.TickRight();
  EXPECT_EQ(fader.Position(), 2280);
}

TEST(MiniCrossfader, PressesStopAFadeResetLeavesItRunningAndTheTrackIsDoubleAndRightClicked) {
  MiniCrossfader fader;
  // Any button on the track stops a fade; on the knob the left button does, the right alone does not.
  for (const auto& [x, y, button, stops] :
       {std::tuple{100.0, kTrackY, Qt::LeftButton, true}, {100.0, kTrackY, Qt::MiddleButton, true},
        {1140 + kGrabX, kKnobY, Qt::RightButton, false}, {1140 + kGrabX, kKnobY, Qt::LeftButton, true}}) {
    fader.AutoFadeRight();
    PressAt(&fader, {x, y}, button);
    ReleaseAt(&fader, {x, y}, button);
    EXPECT_EQ(fader.IsFadingRight(), !stops) << x << " " << button;
    fader.StopIt();
    EXPECT_FALSE(fader.IsFadingRight());
    EXPECT_EQ(fader.Position(), 1140);
  }
  DragKnobTo(fader, 400);
  fader.SetLeftLevel(3);
  QSignalSpy scroll(&fader, &MiniCrossfader::Scroll);
  fader.AutoFadeLeft();
  fader.Reset();
  EXPECT_EQ(std::tuple(fader.Position(), fader.LeftLevel(), fader.RightLevel()), std::tuple(1140, 100, 100));
  EXPECT_EQ(scroll.count(), 1);
  EXPECT_TRUE(fader.IsFadingLeft());

  // A double click on the track resets and stops the fade; on the knob it does neither.
  DragKnobTo(fader, 570);
  QSignalSpy right(&fader, &MiniCrossfader::RightClick);
  for (const QPoint at : {QPoint(38 + 20, 15), QPoint(150, 30)}) {
    fader.AutoFadeLeft();
    QTest::mouseDClick(&fader, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(&fader, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(fader.Position(), at.y() == 30 ? 1140 : 570);
  }
  EXPECT_FALSE(fader.IsFadingLeft());
  // The right button's release raises RightClick, on the track and on the knob.
  QTest::mousePress(&fader, Qt::RightButton, Qt::NoModifier, QPoint(150, 30));
  EXPECT_EQ(right.count(), 0);
  QTest::mouseRelease(&fader, Qt::RightButton, Qt::NoModifier, QPoint(150, 30));
  QTest::mouseClick(&fader, Qt::RightButton, Qt::NoModifier, QPoint(96, 17));
  QTest::mouseClick(&fader, Qt::MiddleButton, Qt::NoModifier, QPoint(96, 17));
  EXPECT_EQ(right.count(), 2);
}

// --- Butt: a caption button that clicks on a left release inside its far edges.

TEST(Butt, ClicksOnlyOnALeftReleaseInsideItsFarEdgesAndAnotherButtonCancels) {
  Butt butt;
  butt.resize(60, 20);  // 900 x 300 twips
  QSignalSpy clicks(&butt, &Butt::Click);
  QSignalSpy over(&butt, &Butt::MouseOver);
  const QImage released = butt.grab().toImage();
  MoveTo(&butt, {100, 100}, Qt::NoButton);
  QTest::mouseClick(&butt, Qt::RightButton, Qt::NoModifier, QPoint(30, 10));
  QTest::mouseClick(&butt, Qt::MiddleButton, Qt::NoModifier, QPoint(30, 10));
  // Pressed, dragged off (the far edges still count as inside), back on, off again, released outside.
  PressAt(&butt, {450, 150});
  EXPECT_NE(butt.grab().toImage().pixel(30, 0), released.pixel(30, 0));  // the frame's top line sinks
  for (const auto& [at, pressed] : {std::pair{QPointF(900, 300), true}, {QPointF(915, 300), false},
                                    {QPointF(0, 0), true}, {QPointF(-15, 0), false}, {QPointF(0, 315), false}}) {
    MoveTo(&butt, at, Qt::LeftButton);
    EXPECT_EQ(butt.IsPressed(), pressed) << at.x() << "," << at.y();
  }
  EXPECT_EQ(butt.grab().toImage(), released);
  ReleaseAt(&butt, {1200, 150}, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 0);
  EXPECT_EQ(over.count(), 6);  // every move
  // Dragged back on before the release, it clicks; a double click counts as a second press.
  PressAt(&butt, {450, 150});
  MoveTo(&butt, {450, -30}, Qt::LeftButton);
  MoveTo(&butt, {450, 150}, Qt::LeftButton);
  ReleaseAt(&butt, {450, 150}, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 1);
  QTest::mouseDClick(&butt, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
  EXPECT_TRUE(butt.IsPressed());
  QTest::mouseRelease(&butt, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
  EXPECT_EQ(clicks.count(), 2);
  // Releasing another button cancels the press.
  PressAt(&butt, {450, 150});
  PressAt(&butt, {450, 150}, Qt::RightButton, Qt::LeftButton | Qt::RightButton);
  ReleaseAt(&butt, {450, 150}, Qt::RightButton, Qt::LeftButton);
  EXPECT_FALSE(butt.IsPressed());
  ReleaseAt(&butt, {450, 150}, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 2);
}

TEST(Butt, CaptionTipTextAndColour) {
  Butt butt;
  QSignalSpy changed(&butt, &Butt::CaptionChanged);
  EXPECT_TRUE(butt.setProperty("Caption", u"Stop All"_s));
  butt.SetCaption(u"Stop All"_s);
  EXPECT_EQ(std::pair(butt.Caption(), changed.count()), std::pair(u"Stop All"_s, qsizetype{1}));  // the same again is no change
  butt.SetTipText(u"Exits MVN"_s);
  EXPECT_TRUE(butt.toolTip().isEmpty());  // applies only through TipChange
  butt.TipChange();
  EXPECT_EQ(butt.toolTip(), u"Exits MVN"_s);
  EXPECT_TRUE(butt.ColChange(255) && !butt.ColChange(0x01000000));
  EXPECT_EQ(butt.CaptionColor(), QColor(255, 0, 0));
}

}  // namespace
}  // namespace marvane::test
