#include "settings/settingkeys.h"
#include "settings/settingsstore.h"
#include "app/upgradeimport.h"
#include "common/appinfo.h"
#include "support/scripteddialogs.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace marvane::test {
namespace {

class UpgradeImportTest : public ::testing::Test {
 protected:
  QTemporaryDir dir_;
  SettingsStore store_{dir_.filePath(QStringLiteral("Marvane.ini"))};
  ScriptedDialogs dialogs_;
  int progressShown_ = 0;

  void Import() { ImportOldSettings(store_, dialogs_, [this] { ++progressShown_; }); }
  void Old(const QString& key, const QString& value) { store_.WriteSectionValue(kOldSettingsSection, key, value); }
};

TEST_F(UpgradeImportTest, WithoutAnOldSectionNothingIsAskedAndFirstRunIsCleared) {
  store_.WriteSetting(keys::kFadeSpeed, 100);
  Import();
  EXPECT_TRUE(dialogs_.messages.isEmpty());
  EXPECT_EQ(store_.ReadSetting(keys::kFirstRun, QString()), QStringLiteral("False"));
  EXPECT_EQ(store_.ReadSetting(keys::kFadeSpeed, QString()), QStringLiteral("100"));
  // An old section with an empty Path counts as never used.
  Old(QStringLiteral("NoRep"), QStringLiteral("4"));
  Import();
  EXPECT_TRUE(dialogs_.messages.isEmpty());
}

TEST_F(UpgradeImportTest, NoDeletesTheOldSectionAndChangesNothingElse) {
  Old(keys::kPath, QStringLiteral("/old/music"));
  Old(keys::kNoRep, QStringLiteral("4"));
  store_.WriteSetting(keys::kNoRep, 12);
  dialogs_.messageAnswers.push_back(MessageResult::No);
  Import();
  ASSERT_EQ(dialogs_.messages.size(), 1);
  EXPECT_EQ(dialogs_.messages[0].title, QStringLiteral("Upgrade"));
  EXPECT_EQ(dialogs_.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(dialogs_.messages[0].text,
            QStringLiteral("MVN has detected that you are upgrading from version 1.30. Do you want to import your "
                           "settings?"));
  EXPECT_FALSE(store_.HasSection(kOldSettingsSection));
  EXPECT_EQ(store_.ReadSetting(keys::kNoRep, QString()), QStringLiteral("12"));
  EXPECT_EQ(store_.ReadSetting(keys::kPath, QString()), QString());
  EXPECT_EQ(progressShown_, 0);
}

TEST_F(UpgradeImportTest, YesCopiesEveryKeyWithTheFallbacksForMissingOnes) {
  Old(keys::kPath, QStringLiteral("/old/music"));
  Old(keys::Slider(3), QStringLiteral("42"));
  Old(QStringLiteral("fade mode 2"), QStringLiteral("0"));  // keys match without regard to case
  Old(keys::File(6), QStringLiteral("/old/music/six.mp3"));
  store_.WriteSetting(keys::kASOF, true);  // a key the old version did not have stays as it is
  dialogs_.messageAnswers.push_back(MessageResult::Yes);
  Import();
  ASSERT_EQ(dialogs_.messages.size(), 2);
  EXPECT_TRUE(dialogs_.messages[1].text.startsWith(QStringLiteral("Your old settings have successfully been imported.")));
  EXPECT_EQ(progressShown_, 1);
  EXPECT_FALSE(store_.HasSection(kOldSettingsSection));

  auto read = [this](const QString& key) { return store_.ReadSetting(key, QStringLiteral("<absent>")); };
  EXPECT_EQ(read(keys::kPath), QStringLiteral("/old/music"));
  EXPECT_EQ(read(keys::kFadeSeconds), QStringLiteral("5"));
  EXPECT_EQ(read(keys::kFadeSpeed), QStringLiteral("25"));
  EXPECT_EQ(read(keys::kRandom), QStringLiteral("True"));
  EXPECT_EQ(read(keys::kRemain), QStringLiteral("True"));
  EXPECT_EQ(read(keys::kTextColor), QStringLiteral("14737632"));
  EXPECT_EQ(read(keys::kPlayList), QStringLiteral("<absent>"));  // written empty, which reads as absent
  EXPECT_EQ(read(keys::Slider(3)), QStringLiteral("42"));
  EXPECT_EQ(read(keys::Slider(7)), QStringLiteral("80"));
  EXPECT_EQ(read(keys::FadeMode(2)), QStringLiteral("0"));
  EXPECT_EQ(read(keys::FadeMode(6)), QStringLiteral("1"));
  EXPECT_EQ(read(keys::File(6)), QStringLiteral("/old/music/six.mp3"));
  EXPECT_EQ(read(keys::kASOF), QStringLiteral("True"));
  EXPECT_EQ(read(keys::Loop(1)), QStringLiteral("<absent>"));
  EXPECT_EQ(store_.ReadSectionValue(kSettingsSection, keys::FadeMode(7)), QString());  // no Fade Mode 7
  EXPECT_EQ(store_.ReadSectionValue(kSettingsSection, keys::File(0)), QString());      // no File 0
  Import();  // never asked twice
  EXPECT_EQ(dialogs_.messages.size(), 2);
}

}  // namespace
}  // namespace marvane::test
