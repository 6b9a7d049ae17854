// Pictures of the windows and controls, saved in the build folder for a person to look at: the console in use,
// a strip of controls in the default look and over a Face's picture, the progress window and the microphone
// window. Each picture is also checked where a wrong drawing would show.

#include "app/progresswindow.h"
#include "appearance/pan.h"
#include "appearance/skinparts.h"
#include "appearance/twips.h"
#include "appearance/twipmouse.h"
#include "console/consolefixture.h"
#include "console/linetransport.h"
#include "console/maintimer.h"
#include "support/tempsettings.h"
#include "mixer/miclevel.h"
#include "mixer/micwindow.h"

#include <QCheckBox>
#include <QLinearGradient>
#include <QPainter>

namespace marvane::test {
namespace {

bool Save(const QImage& image, const QString& name) { return image.save(ArtefactDir() + u'/' + name); }

using PicturesTest = ConsoleTest;

// Files open on three lines (one playing), the crossfader off centre, a line muted, lines on both sides.
TEST_F(PicturesTest, ConsoleInUse) {
  const QString names[] = {u"Warm Up Groove"_s, u"Second Wind (Extended Mix)"_s, u"Closer"_s};
  for (int n = 1; n <= 3; ++n) {
    ASSERT_EQ(OpenAndWait(engine_.Player(n), Tone(names[n - 1] + u".wav"_s)), 6);
    form_.Line(n).Slider->SetValue(60 + 10 * n);
  }
  form_.Line(7).Slider->SetValue(85);
  form_.Line(0).TitleLabel->setText(u"Friday Set"_s);
  form_.ShowLoop(3, true);
  form_.Status()->setText(u"Adjusts Volume"_s);
  console_.Lines().FadeLeftW_MouseDown(1, 1);
  console_.Lines().FadeRightW_MouseDown(2, 1);
  console_.Transport().PlayButt(1);
  QTest::mouseClick(form_.Line(2).Mute, Qt::RightButton);  // kept muted
  MiniCrossfader* fader = form_.MiniCrossfader1();
  fader->AutoFadeRight();
  for (int i = 0; i < 12; ++i) fader->TickRight();
  fader->StopIt();
  audio_.Render(1.0);  // one second into line 1, and one tick of the main timer to show it
  state_.RemainTime = true;
  MainTimer(form_, engine_, state_).Tick();
  EXPECT_EQ(form_.Line(1).Colon->text(), u"- 0:02"_s);
  const QImage shot = form_.grab().toImage();
  ASSERT_TRUE(Save(shot, u"console.png"_s));
  EXPECT_EQ(shot.pixelColor(2, 2), QColor(Qt::black));  // the scheme's background
}

// Five strips of a pan above a slider, the crossfader part way to the right, four buttons (one highlighted, one
// held down), in a container that paints the window picture behind its children as the main window does.
class Strip : public QWidget {
 public:
  explicit Strip(const QPixmap& picture = {}) {
    setPalette(QPalette(Qt::black));
    setAutoFillBackground(true);
    resize(430, 230);
    if (!picture.isNull()) SetWindowPicture(this, picture);
    const int values[] = {100, 80, 50, 20, 0}, panLefts[] = {0, 300, 480, 700, 960};
    for (int i = 0; i < 5; ++i) {
      pans[i] = new Pan(this);
      pans[i]->move(10 + i * 80, 10);
      Drag(pans[i], {480 + 45.0, 120}, {panLefts[i] + 45.0, 120});
      sliders[i] = new MiniSlider(this);
      sliders[i]->move(25 + i * 80, 35);
      sliders[i]->SetValue(values[i]);
    }
    fader = new MiniCrossfader(this);
    fader->move(10, 150);
    fader->SetSpeed(100);
    fader->AutoFadeRight();
    for (int tick = 0; tick < 6; ++tick) fader->TickRight();
    fader->StopIt();
    const char* const captions[] = {"Playlist", "Stop All", "Options", "Exit"};
    for (int i = 0; i < 4; ++i) {
      auto* butt = new Butt(this);
      butt->SetCaption(QLatin1String(captions[i]));
      butt->setGeometry(220 + (i % 2) * 100, 150 + (i / 2) * 30, 90, 22);
      if (i == 2) butt->ColChange(0x0000FF);
      if (i == 3) PressAt(butt, {600, 150});
    }
  }
  MiniSlider* sliders[5];
  Pan* pans[5];
  MiniCrossfader* fader;

 protected:
  void paintEvent(QPaintEvent*) override {
    if (const QPixmap picture = WindowPicture(this); !picture.isNull()) QPainter(this).drawPixmap(0, 0, picture);
  }
};

TEST(Pictures, ControlsInTheDefaultLookAndOverAFacePicture) {
  Strip plain;
  plain.pans[4]->MakeTrans(true);
  plain.sliders[4]->ShowLines(false);
  QImage image = plain.grab().toImage();
  ASSERT_TRUE(Save(image, u"appearance_controls.png"_s));
  // The crossfader's knob stands at 1740 twips (116 pixels): its red index line is at its middle.
  const QColor index = image.pixelColor(10 + 116 + 20, 150 + 17);
  EXPECT_GT(index.red(), 180);
  EXPECT_LT(index.green(), 80);
  EXPECT_EQ(image.pixelColor(5, 140), QColor(0, 0, 0));  // between the controls the container shows

  QImage picture(plain.size(), QImage::Format_RGB32);
  QPainter painter(&picture);
  QLinearGradient gradient(0, 0, picture.width(), picture.height());
  gradient.setColorAt(0.0, QColor(20, 30, 70));
  gradient.setColorAt(1.0, QColor(70, 20, 50));
  painter.fillRect(picture.rect(), gradient);
  painter.setPen(QPen(QColor(255, 255, 255, 40), 3));
  for (int x = -picture.height(); x < picture.width(); x += 24) painter.drawLine(x, picture.height(), x + 230, 0);
  painter.end();
  Strip face(QPixmap::fromImage(picture));
  for (int i = 0; i < 5; ++i) {
    face.pans[i]->MakeTrans(true);
    face.sliders[i]->GetPic();
    face.sliders[i]->MovePic(PixelsToTwips(face.sliders[i]->x()), PixelsToTwips(face.sliders[i]->y()));
  }
  face.fader->GetPic(PixelsToTwips(face.fader->x()), PixelsToTwips(face.fader->y()));
  image = face.grab().toImage();
  ASSERT_TRUE(Save(image, u"appearance_controls_face.png"_s));
  // Where no control draws, each control's copy of the picture lines up with the window's own.
  for (const QPoint point : {QPoint(25 + 1, 35 + 1), QPoint(10 + 2, 150 + 30), QPoint(170 + 1, 10 + 6)})
    EXPECT_EQ(image.pixel(point), picture.pixel(point)) << point.x() << "," << point.y();
}

TEST(Pictures, ProgressWindowShowsItsStageAndABarOfTheGivenWidth) {
  ProgressWindow sp2;
  sp2.show();
  sp2.Progress(u"Opening Files..."_s, 1300);
  EXPECT_EQ(sp2.windowTitle(), u"Marvane v.1.40"_s);
  EXPECT_EQ(sp2.ActionText(), u"Opening Files..."_s);
  EXPECT_EQ(sp2.findChild<QWidget*>(u"Stat"_s)->width(), TwipsToPixels(1300));
  EXPECT_TRUE(sp2.windowFlags() & Qt::WindowStaysOnTopHint);
  ASSERT_TRUE(Save(sp2.grab().toImage(), u"progress.png"_s));
}

TEST(Pictures, MicrophoneWindowInTheSchemesColours) {
  ScriptedMixerBackend card;
  card.speakers = ScriptedMixerBackend::Control(1, 0, 65535);
  card.microphone = ScriptedMixerBackend::Control(2, 0, 100);
  ScriptedDialogs dialogs;
  Mixer mixer(card, dialogs);
  mixer.InitMixer();
  TempSettings settings;
  ColorScheme colors;
  colors.BackColor = 0x102030;  // red 0x30, green 0x20, blue 0x10
  colors.TextColor = 0x00FF00;
  MicWindow mic(mixer, settings, colors, dialogs);
  mic.ShowMicWindow();
  MicLevel* window = mic.Window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->palette().color(QPalette::Window), QColor(0x30, 0x20, 0x10));
  EXPECT_EQ(window->Check1()->palette().color(QPalette::Window), QColor(0x30, 0x20, 0x10));
  EXPECT_EQ(window->Check1()->palette().color(QPalette::WindowText), QColor(0x00, 0xFF, 0x00));
  ASSERT_TRUE(Save(window->grab().toImage(), u"miclevel.png"_s));
  colors.BackColor = 0x0000FF;
  mic.Colors();
  EXPECT_EQ(window->palette().color(QPalette::Window), QColor(0xFF, 0x00, 0x00));
  mic.CloseMicWindow();
}

}  // namespace
}  // namespace marvane::test
