// Start-up and shutdown with the sound card's mixer, the microphone window and the players.

#include "app/apptestfixture.h"
#include "settings/settingkeys.h"
#include "appearance/butt.h"
#include "appearance/colorvalue.h"
#include "appearance/minislider.h"
#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "console/mainform.h"
#include "mixer/miclevel.h"
#include "mixer/micwindow.h"
#include "mixer/mixer.h"

#include <QLabel>
#include <QTest>


namespace marvane::test {
namespace {

class DevicesTest : public AppTest {};

TEST_F(DevicesTest, StartUpSetsTheMasterVolumeOrReportsTheMissingMixerOnce) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(app_->MixerAccess()->MasterOK());
  ASSERT_FALSE(card_->writes.empty());
  // Slider 7 defaults to 80: 65535 / 100 x 80 = 52428.
  EXPECT_EQ(card_->writes.back(), (ScriptedMixerBackend::Write{ScriptedMixerBackend::kHandle, 1, 52428}));
  EXPECT_TRUE(dialogs_.messages.isEmpty());

  // Without a mixer the error is shown once and the console works on.
  cardHasMixer_ = false;
  ASSERT_TRUE(Start());
  EXPECT_EQ(dialogs_.MessageTexts(), QStringList{Mixer::kMixerErrorText});
  EXPECT_TRUE(app_->Form()->isEnabled());
  // Master controls do nothing without a mixer, and ask nothing.
  app_->Form()->Line(7).Slider->SetValue(40);
  QTest::keyClick(app_->Form(), Qt::Key_Space);
  EXPECT_TRUE(card_->writes.empty());
  EXPECT_EQ(dialogs_.messages.size(), 1);
}

TEST_F(DevicesTest, TheMicrophoneWindowComesBackWhenItWasOpenAtExit) {
  ASSERT_TRUE(Start());
  EXPECT_FALSE(app_->MicWindowOpen());
  QTest::mouseClick(app_->Form()->MicButt(), Qt::LeftButton);
  ASSERT_TRUE(app_->MicWindowOpen());
  EXPECT_EQ(app_->Form()->MicButt()->CaptionColor(), ColorFromValue(app_->Colors().HiliteColor));

  // Declining the exit keeps it, hidden only while the question is up.
  bool visibleDuringQuestion = true;
  dialogs_.onMessage = [&](const AskedMessage&) { visibleDuringQuestion = app_->Mic()->Window()->isVisible(); };
  dialogs_.messageAnswers.push_back(MessageResult::No);
  EXPECT_FALSE(app_->ExitProgram(true));
  EXPECT_FALSE(visibleDuringQuestion);
  ASSERT_TRUE(app_->MicWindowOpen());
  EXPECT_TRUE(app_->Mic()->Window()->isVisible());
  dialogs_.onMessage = nullptr;

  Restart();
  EXPECT_EQ(store_.ReadSetting(keys::kShowMic, QString()), QStringLiteral("True"));
  EXPECT_TRUE(app_->MicWindowOpen());
  Restart();  // closed by the exit, so ShowMic stays True: it was open when the program ended
  EXPECT_TRUE(app_->MicWindowOpen());
  app_->Mic()->CloseMicWindow();
  Restart();
  EXPECT_EQ(store_.ReadSetting(keys::kShowMic, QString()), QStringLiteral("False"));
  EXPECT_FALSE(app_->MicWindowOpen());
}

TEST_F(DevicesTest, LineFilesAreReopenedAtStartUpAndExitStopsEveryPlayer) {
  const QString tone = Tone(QStringLiteral("three.wav"));
  const QString missing = dir_.filePath(QStringLiteral("gone.wav"));
  store_.WriteSetting(keys::File(3), tone);
  store_.WriteSetting(keys::File(4), missing);
  ASSERT_TRUE(Start());
  MediaPlayer& line3 = app_->Engine()->Player(3);
  EXPECT_EQ(line3.FileName(), tone);
  EXPECT_EQ(app_->Engine()->Player(4).FileName(), missing);
  EXPECT_TRUE(app_->Engine()->Player(5).FileName().isEmpty());
  ASSERT_TRUE(WaitFor([&] { return line3.OpenState() == 6; }));
  line3.Play();
  ASSERT_EQ(line3.PlayState(), 2);
  dialogs_.messageAnswers.push_back(MessageResult::Yes);
  ASSERT_TRUE(app_->ExitProgram(true));
  EXPECT_NE(line3.PlayState(), 2);
}

}  // namespace
}  // namespace marvane::test
