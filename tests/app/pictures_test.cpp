// Pictures of the windows, saved in the build folder for a person to look at: the console in use, the progress
// and microphone windows, and every other window as the program opens it, in the default look and with each
// bundled Face. Pictures are checked where a wrong drawing would show.

#include "app/aboutwindow.h"
#include "app/apptestfixture.h"
#include "app/progresswindow.h"
#include "appearance/options.h"
#include "appearance/pan.h"
#include "appearance/twips.h"
#include "console/consolefixture.h"
#include "console/linetransport.h"
#include "console/maintimer.h"
#include "mixer/miclevel.h"
#include "mixer/micwindow.h"
#include "playlist/listeditor.h"
#include "playlist/playlistmodel.h"
#include "songlog/output.h"
#include "songlog/view.h"

#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>

namespace marvane::test {
namespace {

bool Save(const QImage& image, const QString& name) { return image.save(ArtefactDir() + u'/' + name); }

using PicturesTest = ConsoleTest;

// Files open on three lines (one playing), the crossfader off centre, a line muted, lines on both sides.
TEST_F(PicturesTest, ConsoleInUse) {
  const QString names[] = {u"Warm Up Groove"_s, u"Second Wind (Extended Mix)"_s, u"Closer"_s};
  for (int n = 1; n <= 3; ++n) ASSERT_EQ(OpenAndWait(engine_.Player(n), Tone(names[n - 1] + u".wav"_s)), 6);
  for (int n = 1; n <= 7; n += 2) form_.Line(n).Slider->SetValue(60 + 5 * n);
  form_.Line(0).TitleLabel->setText(u"Friday Set"_s);
  form_.ShowLoop(3, true);
  form_.Status()->setText(u"Adjusts Volume"_s);
  console_.Lines().FadeLeftW_MouseDown(1, 1), console_.Lines().FadeRightW_MouseDown(2, 1);
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

TEST_F(PicturesTest, MicrophoneWindowInTheSchemesColours) {
  card_.microphone = ScriptedMixerBackend::Control(2, 0, 100);
  mixer_.InitMixer();
  colors_.BackColor = 0x102030;  // red 0x30, green 0x20, blue 0x10
  colors_.TextColor = 0x00FF00;
  MicWindow mic(mixer_, settings_, colors_, dialogs_);
  mic.ShowMicWindow();
  MicLevel* window = mic.Window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->palette().color(QPalette::Window), QColor(0x30, 0x20, 0x10));
  EXPECT_EQ(window->Check1()->palette().color(QPalette::Window), QColor(0x30, 0x20, 0x10));
  EXPECT_EQ(window->Check1()->palette().color(QPalette::WindowText), QColor(0x00, 0xFF, 0x00));
  ASSERT_TRUE(Save(window->grab().toImage(), u"miclevel.png"_s));
  colors_.BackColor = 0x0000FF;
  mic.Colors();
  EXPECT_EQ(window->palette().color(QPalette::Window), QColor(0xFF, 0x00, 0x00));
  mic.CloseMicWindow();
}

using WindowPictures = AppTest;

TEST_F(WindowPictures, EveryWindowInTheDefaultLookAndEachBundledFaceDressingTheMainWindow) {
  ASSERT_TRUE(Start());
  const auto save = [](QWidget* window, const QString& name) {
    ASSERT_NE(window, nullptr) << name.toStdString();
    EXPECT_TRUE(Save(window->grab().toImage(), name + u".png"_s)) << name.toStdString();
  };
  save(app_->Form(), u"faces_none"_s);
  Q_EMIT app_->Form()->PList()->Click();
  app_->Editor()->Model()->Append(u"/music/house/Deep Groove.mp3"_s, u"Deep Groove.mp3"_s);
  save(app_->Editor(), u"playlist_editor"_s);
  Q_EMIT app_->Form()->LogButt()->Click();
  save(app_->Viewer(), u"songlog_viewer"_s);
  QTest::mouseClick(app_->Viewer()->Command3(), Qt::LeftButton);
  save(app_->Viewer()->findChild<Output*>(), u"songlog_export"_s);
  app_->Viewer()->findChild<Output*>()->close();
  Q_EMIT app_->Form()->Butt1()->Click();
  save(app_->About(), u"about"_s);
  app_->About()->close();
  Q_EMIT app_->Form()->Options1()->Click();
  for (int tab = 0; tab < 6; ++tab) {
    app_->Options()->SSTab1()->setCurrentIndex(tab);
    save(app_->Options(), u"options_tab%1"_s.arg(tab));
  }
  app_->Options()->close();
  for (const QString& face : {u"Amber"_s, u"Sample"_s}) {
    store_.WriteSetting(keys::kFace, face);
    store_.WriteSetting(keys::kBackPic, true);
    stages_.clear();
    Restart();
    EXPECT_TRUE(stages_.contains(u"Loading Face..."_s)) << face.toStdString();
    EXPECT_EQ(QDir(app_->State().FacePath).dirName(), face);
    save(app_->Form(), u"faces_"_s + face);
    if (face == u"Amber"_s) {
      EXPECT_EQ(ValueFromColor(app_->Form()->palette().color(QPalette::Window)), 0x040C14u);
    }
  }
  // Where no control draws, each control's copy of the Face's picture lines up with the window's own.
  MainForm* form = app_->Form();
  const QImage shot = form->grab().toImage(), picture = WindowPicture(form).toImage();
  for (const QPoint point : {form->Line(3).Slider->pos() + QPoint(1, 1), form->Line(3).Pan->pos() + QPoint(1, 6),
                             form->MiniCrossfader1()->pos() + QPoint(2, 30)}) {
    ASSERT_TRUE(picture.rect().contains(point));
    EXPECT_EQ(shot.pixel(point), picture.pixel(point)) << point.x() << "," << point.y();
  }
}

}  // namespace
}  // namespace marvane::test
