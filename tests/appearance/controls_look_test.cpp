// Renders a strip of the console's controls as the default look shows them (black background, light grey
// captions, red highlights) and saves it as appearance_controls.png in the build folder for a person to look at.

#include "appearance/butt.h"
#include "appearance/colorvalue.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/pan.h"

#include "support/testenv.h"
#include "twipmouse.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPalette>

namespace marvane {
namespace {

void DragPanTo(Pan& pan, int left) {
  test::PressAt(&pan, {pan.KnobLeft() + 45.0, 120});
  test::MoveTo(&pan, {left + 45.0, 120}, Qt::LeftButton);
  test::ReleaseAt(&pan, {left + 45.0, 120}, Qt::LeftButton);
}

TEST(ControlsLook, StripOfControlsIsSavedForInspection) {
  QWidget strip;
  strip.resize(430, 230);
  QPalette palette = strip.palette();
  palette.setColor(QPalette::Window, ColorFromValue(0x000000));
  palette.setColor(QPalette::WindowText, ColorFromValue(0xE0E0E0));
  strip.setPalette(palette);
  strip.setAutoFillBackground(true);

  // Five channel strips: a pan knob above a volume slider, as on the console.
  const int values[] = {100, 80, 50, 20, 0};
  const int panLefts[] = {0, 300, 480, 700, 960};
  for (int i = 0; i < 5; ++i) {
    auto* pan = new Pan(&strip);
    pan->move(10 + i * 80, 10);
    DragPanTo(*pan, panLefts[i]);
    if (i == 4) pan->MakeTrans(true);
    auto* slider = new MiniSlider(&strip);
    slider->move(25 + i * 80, 35);
    slider->SetValue(values[i]);
    if (i == 4) slider->ShowLines(false);
  }

  auto* fader = new MiniCrossfader(&strip);
  fader->move(10, 150);
  // Off centre to the right, as after part of an auto-fade.
  fader->SetSpeed(100);
  fader->AutoFadeRight();
  for (int tick = 0; tick < 6; ++tick) fader->TickRight();
  fader->StopIt();

  const char* const captions[] = {"Playlist", "Stop All", "Options", "Exit"};
  for (int i = 0; i < 4; ++i) {
    auto* butt = new Butt(&strip);
    butt->SetCaption(QString::fromLatin1(captions[i]));
    butt->setGeometry(220 + (i % 2) * 100, 150 + (i / 2) * 30, 90, 22);
    if (i == 2) butt->ColChange(0x0000FF);  // highlighted: its window is open
    if (i == 3) test::PressAt(butt, {600, 150});  // held down
  }

  const QImage image = strip.grab().toImage();
  const QString path = QDir(test::ArtefactDir()).filePath(QStringLiteral("appearance_controls.png"));
  ASSERT_TRUE(image.save(path)) << path.toStdString();

  // The crossfader's knob stands at 1740 twips (116 pixels): its red index line is at its middle.
  const QColor index = image.pixelColor(10 + 116 + 20, 150 + 17);
  EXPECT_GT(index.red(), 180);
  EXPECT_LT(index.green(), 80);
  // Between the controls the container's black shows through.
  EXPECT_EQ(image.pixelColor(5, 140), QColor(0, 0, 0));
}

}  // namespace
}  // namespace marvane
