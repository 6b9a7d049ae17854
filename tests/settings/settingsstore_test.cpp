// The settings store on a real file: text forms, letter case, writes only of changes, changes made elsewhere.
// The value parses behind its typed readers are tested in vbconvert_test.cpp and through start-up.

#include "settings/settingsstore.h"

#include "common/appinfo.h"
#include "common/filestamp.h"
#include "settings/settingkeys.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace marvane {
namespace {

class SettingsStoreTest : public ::testing::Test {
 protected:
  QTemporaryDir dir_;
  SettingsStore store_{dir_.filePath(QStringLiteral("Marvane.ini"))};
};

TEST_F(SettingsStoreTest, LivesInTheUsersConfigFolderByDefault) {
  EXPECT_EQ(SettingsStore().FilePath(),
            qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Marvane/Marvane.ini"));
}

TEST_F(SettingsStoreTest, ValuesKeepTheirTextFormsAnyLengthAndEmptyReadsAsAbsent) {
  EXPECT_EQ(store_.ReadSetting(keys::kNoRep, QStringLiteral("10")), QStringLiteral("10"));
  store_.WriteSetting(keys::kNoRep, QString());
  EXPECT_EQ(store_.ReadSetting(keys::kNoRep, QStringLiteral("10")), QStringLiteral("10"));
  const QString longPath = QStringLiteral("/music/") + QString(500, QLatin1Char('a')) + QStringLiteral(".mp3");
  store_.WriteSetting(keys::File(3), longPath);
  store_.WriteSetting(keys::kRemain, false);
  store_.WriteSetting(keys::kHiliteColor, quint32{0x0000FF});
  store_.WriteSetting(keys::kMainTop, 1234.5f);
  store_.WriteSetting(keys::kMainLeft, 2880.0f);
  EXPECT_EQ(store_.ReadSetting(keys::File(3), QString()), longPath);
  EXPECT_EQ(store_.ReadSetting(keys::kRemain, QString()), QStringLiteral("False"));
  EXPECT_EQ(store_.ReadSetting(keys::kHiliteColor, QString()), QStringLiteral("255"));
  EXPECT_EQ(store_.ReadSetting(keys::kMainTop, QString()), QStringLiteral("1234.5"));
  EXPECT_EQ(store_.ReadSetting(keys::kMainLeft, QString()), QStringLiteral("2880"));
  EXPECT_TRUE(store_.HasSection(kSettingsSection));
}

TEST_F(SettingsStoreTest, KeysMatchWithoutRegardToCaseAndOnlyChangesAreWritten) {
  store_.WriteSetting(QStringLiteral("Playlist"), QStringLiteral("/lists/one.m3u"));
  EXPECT_EQ(store_.ReadSetting(QStringLiteral("PlayList"), QString()), QStringLiteral("/lists/one.m3u"));
  // Writing what a key already holds leaves the file alone: not even a rewrite of the same bytes.
  const FileStamp written = FileStamp::Of(store_.FilePath());
  store_.WriteSetting(QStringLiteral("PLAYLIST"), QStringLiteral("/lists/one.m3u"));
  store_.Edit([](ProfileFile& profile) {
    profile.SetValue(kSettingsSection, keys::kPlayList, QStringLiteral("/lists/one.m3u"));
  });
  EXPECT_EQ(FileStamp::Of(store_.FilePath()), written);
  // The file is kept parsed, yet a change made behind the store's back (here by a second store on the same
  // file, a rewrite of the same size) is seen by the next read.
  SettingsStore other(store_.FilePath());
  other.WriteSetting(QStringLiteral("PLAYLIST"), QStringLiteral("/lists/two.m3u"));
  EXPECT_EQ(store_.ReadSetting(keys::kPlayList, QString()), QStringLiteral("/lists/two.m3u"));
  store_.WriteSetting(keys::kFace, QStringLiteral("Night"));
  EXPECT_EQ(other.ReadSetting(keys::kPlayList, QString()), QStringLiteral("/lists/two.m3u"));
  EXPECT_EQ(other.ReadSetting(keys::kFace, QString()), QStringLiteral("Night"));
}

TEST_F(SettingsStoreTest, AGarbledFileReadsAsDefaultsAndIsMendedByWrites) {
  QFile file(store_.FilePath());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(QByteArray("\x00\xFF\xFE garbage [[[ \n=\n", 18)) == 18);
  file.close();
  EXPECT_EQ(store_.ReadSetting(keys::kFace, keys::defaults::kFace), QStringLiteral("Sample"));
  store_.WriteSetting(keys::kFace, QStringLiteral("Night"));
  EXPECT_EQ(store_.ReadSetting(keys::kFace, keys::defaults::kFace), QStringLiteral("Night"));
}

}  // namespace
}  // namespace marvane
