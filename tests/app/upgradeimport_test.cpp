#include "app/upgradeimport.h"
#include "common/appinfo.h"
#include "settings/settingkeys.h"
#include "support/fixture.h"
#include "support/scripteddialogs.h"

namespace marvane::test {
namespace {


class UpgradeImportTest : public FolderTest {
 protected:
  ScriptedDialogs dialogs_;
  int progressShown_ = 0;

  void Import() { ImportOldSettings(settings_, dialogs_, [this] { ++progressShown_; }); }
  void Old(const QString& key, const QString& value) { settings_.WriteSectionValue(kOldSettingsSection, key, value); }
  QString Read(const QString& key) const { return settings_.ReadSetting(key, u"<absent>"_s); }
};

TEST_F(UpgradeImportTest, WithoutAnOldPathNothingIsAskedAndNoDeletesTheOldSectionOnly) {
  settings_.WriteSetting(keys::kNoRep, 12);
  Old(keys::kNoRep, u"4"_s);  // an old section with an empty Path counts as never used
  Import();
  EXPECT_TRUE(dialogs_.messages.isEmpty());
  EXPECT_EQ(Read(keys::kFirstRun), u"False"_s);

  Old(keys::kPath, u"/old/music"_s);
  dialogs_.messageAnswers.push_back(MessageResult::No);
  Import();
  ASSERT_EQ(dialogs_.messages.size(), 1);
  EXPECT_EQ(std::pair(dialogs_.messages[0].title, dialogs_.messages[0].buttons),
            std::pair(u"Upgrade"_s, MessageButtons::YesNo));
  EXPECT_EQ(dialogs_.messages[0].text,
            u"MVN has detected that you are upgrading from version 1.30. Do you want to import your settings?"_s);
  EXPECT_FALSE(settings_.HasSection(kOldSettingsSection));
  EXPECT_EQ(std::pair(Read(keys::kNoRep), Read(keys::kPath)), std::pair(u"12"_s, u"<absent>"_s));
  EXPECT_EQ(progressShown_, 0);
}

// A few keys of each kind: copied, missing with its fallback, per line (Slider 0-7, Fade Mode 0-6, File 1-6).
TEST_F(UpgradeImportTest, YesCopiesTheKeysWithFallbacksForMissingOnesAndIsNeverAskedAgain) {
  Old(keys::kPath, u"/old/music"_s);
  Old(keys::Slider(3), u"42"_s);
  Old(u"fade mode 2"_s, u"0"_s);  // keys match without regard to case
  Old(keys::File(6), u"/old/music/six.mp3"_s);
  settings_.WriteSetting(keys::kASOF, true);  // a key the old version did not have stays as it is
  dialogs_.messageAnswers.push_back(MessageResult::Yes);
  Import();
  ASSERT_EQ(dialogs_.messages.size(), 2);
  EXPECT_TRUE(dialogs_.messages[1].text.startsWith(u"Your old settings have successfully been imported."_s));
  EXPECT_EQ(progressShown_, 1);
  EXPECT_FALSE(settings_.HasSection(kOldSettingsSection));
  const std::pair<QString, const char*> rows[] = {
      {keys::kPath, "/old/music"}, {keys::kFadeSeconds, "5"}, {keys::kPlayList, "<absent>"},
      {keys::Slider(3), "42"}, {keys::Slider(7), "80"}, {keys::FadeMode(2), "0"}, {keys::FadeMode(6), "1"},
      {keys::File(6), "/old/music/six.mp3"}, {keys::kASOF, "True"}, {keys::Loop(1), "<absent>"}};
  for (const auto& [key, value] : rows) EXPECT_EQ(Read(key), QLatin1String(value)) << key.toStdString();
  EXPECT_EQ(settings_.ReadSectionValue(kSettingsSection, keys::FadeMode(7)), QString());  // no Fade Mode 7
  EXPECT_EQ(settings_.ReadSectionValue(kSettingsSection, keys::File(0)), QString());      // no File 0
  Import();
  EXPECT_EQ(dialogs_.messages.size(), 2);
}

}  // namespace
}  // namespace marvane::test
