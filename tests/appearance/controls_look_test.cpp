// Renders strips of the console's controls and saves them in the build folder for a person to look at:
// appearance_controls.png in the default look (black background, light grey captions, red highlights), and
// appearance_controls_face.png over a Face's background picture, which the controls let show through.

#include "appearance/butt.h"
#include "appearance/colorvalue.h"
#include "appearance/minicrossfader.h"
#include "appearance/minislider.h"
#include "appearance/pan.h"
#include "appearance/skinparts.h"
#include "appearance/twips.h"

#include "support/testenv.h"
#include "twipmouse.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPalette>

namespace marvane {
namespace {

// A container that paints the window picture behind its children, as the main window does with a Face.
class PictureWindow : public QWidget {
 public:
  PictureWindow() {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ColorFromValue(0x000000));
    setPalette(palette);
    setAutoFillBackground(true);
    resize(430, 230);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    const QPixmap picture = WindowPicture(this);
    if (!picture.isNull()) QPainter(this).drawPixmap(0, 0, picture);
  }
};

struct Strip {
  MiniSlider* sliders[5];
  Pan* pans[5];
  MiniCrossfader* fader;
};

// Five channel strips (a pan knob above a volume slider, as on the console), the crossfader off centre to the
// right as after part of an auto-fade, and four caption buttons: one highlighted, one held down.
Strip BuildStrip(QWidget& window) {
  Strip strip{};
  const int values[] = {100, 80, 50, 20, 0};
  const int panLefts[] = {0, 300, 480, 700, 960};
  for (int i = 0; i < 5; ++i) {
    strip.pans[i] = new Pan(&window);
    strip.pans[i]->move(10 + i * 80, 10);
    test::Drag(strip.pans[i], {480 + 45.0, 120}, {panLefts[i] + 45.0, 120});
    strip.sliders[i] = new MiniSlider(&window);
    strip.sliders[i]->move(25 + i * 80, 35);
    strip.sliders[i]->SetValue(values[i]);
  }
  strip.fader = new MiniCrossfader(&window);
  strip.fader->move(10, 150);
  strip.fader->SetSpeed(100);
  strip.fader->AutoFadeRight();
  for (int tick = 0; tick < 6; ++tick) strip.fader->TickRight();
  strip.fader->StopIt();

  const char* const captions[] = {"Playlist", "Stop All", "Options", "Exit"};
  for (int i = 0; i < 4; ++i) {
    auto* butt = new Butt(&window);
    butt->SetCaption(QString::fromLatin1(captions[i]));
    butt->setGeometry(220 + (i % 2) * 100, 150 + (i / 2) * 30, 90, 22);
    if (i == 2) butt->ColChange(0x0000FF);
    if (i == 3) test::PressAt(butt, {600, 150});
  }
  return strip;
}

bool SaveArtefact(const QImage& image, const QString& name) {
  return image.save(QDir(test::ArtefactDir()).filePath(name));
}

TEST(ControlsLook, DefaultLookIsSavedForInspection) {
  PictureWindow window;
  Strip strip = BuildStrip(window);
  strip.pans[4]->MakeTrans(true);
  strip.sliders[4]->ShowLines(false);

  const QImage image = window.grab().toImage();
  ASSERT_TRUE(SaveArtefact(image, QStringLiteral("appearance_controls.png")));
  // The crossfader's knob stands at 1740 twips (116 pixels): its red index line is at its middle.
  const QColor index = image.pixelColor(10 + 116 + 20, 150 + 17);
  EXPECT_GT(index.red(), 180);
  EXPECT_LT(index.green(), 80);
  // Between the controls the container's black shows through.
  EXPECT_EQ(image.pixelColor(5, 140), QColor(0, 0, 0));
}

TEST(ControlsLook, FacePictureShowsThroughTheControls) {
  PictureWindow window;
  QImage picture(window.size(), QImage::Format_RGB32);
  {
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, picture.width(), picture.height());
    gradient.setColorAt(0.0, QColor(20, 30, 70));
    gradient.setColorAt(1.0, QColor(70, 20, 50));
    painter.fillRect(picture.rect(), gradient);
    painter.setPen(QPen(QColor(255, 255, 255, 40), 3));
    for (int x = -picture.height(); x < picture.width(); x += 24) {
      painter.drawLine(x, picture.height(), x + picture.height(), 0);
    }
  }
  SetWindowPicture(&window, QPixmap::fromImage(picture));
  Strip strip = BuildStrip(window);
  for (int i = 0; i < 5; ++i) {
    strip.pans[i]->MakeTrans(true);
    strip.sliders[i]->GetPic();
    strip.sliders[i]->MovePic(PixelsToTwips(strip.sliders[i]->x()), PixelsToTwips(strip.sliders[i]->y()));
  }
  strip.fader->GetPic(PixelsToTwips(strip.fader->x()), PixelsToTwips(strip.fader->y()));

  const QImage image = window.grab().toImage();
  ASSERT_TRUE(SaveArtefact(image, QStringLiteral("appearance_controls_face.png")));
  // Where no control draws, each control's copy of the picture lines up with the window's own.
  for (const QPoint point : {QPoint(25 + 1, 35 + 1), QPoint(10 + 2, 150 + 30), QPoint(170 + 1, 10 + 6)}) {
    EXPECT_EQ(image.pixel(point), picture.pixel(point)) << point.x() << "," << point.y();
  }
}

}  // namespace
}  // namespace marvane
