#include "settings/settingkeys.h"
#include "appearance/butt.h"
#include "common/filestamp.h"
#include "console/console.h"
#include "console/linecontrols.h"
#include "console/mainform.h"
#include "app/apptestfixture.h"

#include <QAction>
#include <QFile>
#include <QTest>

namespace marvane::test {
namespace {

class ExitTest : public AppTest {
 protected:
  QByteArray SettingsBytes() const {
    QFile file(store_.FilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
};

TEST_F(ExitTest, AnsweringNoKeepsEverythingAsItWas) {
  ASSERT_TRUE(Start());
  const QByteArray before = SettingsBytes();
  dialogs_.messageAnswers.push_back(MessageResult::No);
  EXPECT_FALSE(app_->ExitProgram(true));
  ASSERT_EQ(dialogs_.messages.size(), 1);
  EXPECT_EQ(dialogs_.messages[0].text, QStringLiteral("Are you sure you want to exit Marvane?"));
  EXPECT_EQ(dialogs_.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::Question);
  EXPECT_TRUE(dialogs_.messages[0].title.isEmpty());  // the application's title
  EXPECT_TRUE(app_->Form()->isVisible());
  EXPECT_FALSE(app_->ClosingDown());
  EXPECT_EQ(ended_, 0);
  EXPECT_EQ(SettingsBytes(), before);
}

TEST_F(ExitTest, AnsweringYesSavesThePlaceClosesTheWindowsAndEndsAndThePlaceComesBackAtTheNextStart) {
  ASSERT_TRUE(Start());
  app_->Form()->move(123, 77);
  app_->ConsoleParts()->Lines().FadeLeftW_MouseDown(3, 1);
  app_->ConsoleParts()->Lines().LoopW_MouseDown(2, 1);
  app_->State().AutoPilotOn = true;
  app_->State().Logging = true;
  dialogs_.messageAnswers.push_back(MessageResult::Yes);
  EXPECT_TRUE(app_->ExitProgram(true));
  EXPECT_TRUE(app_->ClosingDown());
  EXPECT_FALSE(app_->State().AutoPilotOn);
  EXPECT_FALSE(app_->State().Logging);
  EXPECT_FALSE(app_->Form()->isVisible());
  EXPECT_EQ(ended_, 1);
  EXPECT_EQ(dialogs_.messages.size(), 1);  // closing the window did not ask again
  EXPECT_EQ(store_.ReadSetting(keys::kShowMic, QString()), QStringLiteral("False"));
  EXPECT_EQ(store_.ReadSetting(keys::kMainLeft, QString()), QStringLiteral("1845"));  // in twips
  EXPECT_EQ(store_.ReadSetting(keys::kMainTop, QString()), QStringLiteral("1155"));
  app_.reset();
  instance_.reset();
  ASSERT_TRUE(Start());
  EXPECT_EQ(app_->Form()->pos(), QPoint(123, 77));
  EXPECT_EQ(app_->ConsoleParts()->Lines().FadeMode(3), 0);

  // From then on, starting and quitting without touching a control leaves the file as it was: not even a
  // rewrite of the same bytes.
  const QByteArray bytes = SettingsBytes();
  const FileStamp stamp = FileStamp::Of(store_.FilePath());
  Restart();
  dialogs_.messageAnswers.push_back(MessageResult::Yes);
  ASSERT_TRUE(app_->ExitProgram(true));
  EXPECT_EQ(SettingsBytes(), bytes);
  EXPECT_EQ(FileStamp::Of(store_.FilePath()), stamp);
}

TEST_F(ExitTest, TheCloseBoxTheExitButtonAndTheMenuItemAllAsk) {
  ASSERT_TRUE(Start());
  dialogs_.messageAnswers = {MessageResult::No, MessageResult::No, MessageResult::No};
  EXPECT_FALSE(app_->Form()->close());
  QTest::mouseClick(app_->Form()->ExitButton(), Qt::LeftButton);
  app_->Form()->muExit()->trigger();
  EXPECT_EQ(dialogs_.MessageTexts(), QStringList(3, Application::kExitQuestion));
  EXPECT_TRUE(app_->Form()->isVisible());
  EXPECT_EQ(ended_, 0);

  dialogs_.messageAnswers.push_back(MessageResult::Yes);
  app_->Form()->close();
  EXPECT_FALSE(app_->Form()->isVisible());
  EXPECT_EQ(ended_, 1);
}

}  // namespace
}  // namespace marvane::test
