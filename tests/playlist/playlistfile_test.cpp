#include "playlist/playlistfile.h"

#include "fileutil.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace marvane {
namespace {

using test::ReadBytes;
using test::WriteBytes;

class PlaylistFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    folder_ = dir_.path() + QLatin1Char('/');
  }
  QString Path(const QString& name) const { return folder_ + name; }
  QString Entry(const QString& name) const { return folder_ + name; }

  QTemporaryDir dir_;
  QString folder_;
  Playlist list_;
};

TEST_F(PlaylistFile, ExtensionIsTestedWithoutRegardToCaseAndUnknownKindsChangeNothing) {
  WriteBytes(Path(QStringLiteral("party.M3U")), "a.mp3\r\n");
  WriteBytes(Path(QStringLiteral("party.txt")), "a.mp3\r\n");
  WriteBytes(Path(QStringLiteral("party.m3u8")), "a.mp3\r\n");
  ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("folder.m3u")));
  list_.ListItems = {QStringLiteral("/old.mp3")};
  list_.PlayedList = {QStringLiteral("/played.mp3")};
  list_.ListPath = QStringLiteral("/old/");
  list_.ListItemCount = 7;

  EXPECT_FALSE(LoadPlaylist(list_, folder_, QStringLiteral("party.txt"), true));
  EXPECT_FALSE(LoadPlaylist(list_, folder_, QStringLiteral("party.m3u8"), true));
  EXPECT_FALSE(LoadPlaylist(list_, folder_, QStringLiteral("missing.m3u"), true));
  EXPECT_FALSE(LoadPlaylist(list_, folder_, QStringLiteral("folder.m3u"), true));
  EXPECT_FALSE(LoadPlaylist(list_, QString(), QStringLiteral("party.M3U"), true));
  EXPECT_FALSE(LoadPlaylist(list_, folder_, QString(), true));
  EXPECT_EQ(list_.ListItems, QStringList{QStringLiteral("/old.mp3")});
  EXPECT_EQ(list_.PlayedList, QStringList{QStringLiteral("/played.mp3")});
  EXPECT_EQ(list_.ListPath, QStringLiteral("/old/"));
  EXPECT_EQ(list_.ListItemCount, 7);

  ASSERT_TRUE(LoadPlaylist(list_, folder_, QStringLiteral("party.M3U"), true));
  EXPECT_EQ(list_.ListItems, QStringList{Entry(QStringLiteral("a.mp3"))});
  EXPECT_TRUE(list_.PlayedList.isEmpty());
  EXPECT_EQ(list_.ListPath, folder_);
  EXPECT_EQ(list_.ListItemCount, 1);
}

TEST_F(PlaylistFile, LinesOfUpToOneHundredCharactersBecomeEntriesLongerOnesAreSkipped) {
  const QString hundred = QStringLiteral("/") + QString(95, QLatin1Char('x')) + QStringLiteral(".mp3");
  const QString hundredOne = QStringLiteral("/") + QString(96, QLatin1Char('y')) + QStringLiteral(".mp3");
  // Characters count, not bytes: 100 accented letters are 200 bytes of UTF-8, and 100 characters of which 50
  // lie outside the 16-bit range are 150 UTF-16 units.
  const QString accented = QString(100, QChar(0x00E9));
  QString notes;
  for (int i = 0; i < 50; ++i) notes += QStringLiteral("\U0001F3B5a");
  ASSERT_EQ(notes.size(), 150);
  ASSERT_EQ(hundred.size(), 100);
  WriteBytes(Path(QStringLiteral("long.mvn")), "a.mp3\r\n" + hundred.toUtf8() + "\r\n" + hundredOne.toUtf8() +
                                                   "\r\n" + accented.toUtf8() + "\r\n" + notes.toUtf8() + "\r\n" +
                                                   (notes + QLatin1Char('a')).toUtf8() + "\r\nb.mp3\r\n");
  ASSERT_TRUE(LoadPlaylist(list_, folder_, QStringLiteral("long.mvn"), true));
  EXPECT_EQ(list_.ListItems,
            (QStringList{Entry(QStringLiteral("a.mp3")), hundred, Entry(accented), Entry(notes),
                         Entry(QStringLiteral("b.mp3"))}));
  EXPECT_EQ(list_.ListItemCount, 5);
}

TEST_F(PlaylistFile, LinesBecomeEntriesByTheirFormAndNoLineIsIgnoredForItsContent) {
  WriteBytes(Path(QStringLiteral("x.m3u")),
             "#EXTM3U\r\nD:\\Music\\a.mp3\r\n/srv/music/b.mp3\r\nc.mp3\r\n\r\nsub\\d.mp3\r\n\\e.mp3\r\n");
  ASSERT_TRUE(LoadPlaylist(list_, folder_, QStringLiteral("x.m3u"), true));
  EXPECT_EQ(list_.ListItems, (QStringList{Entry(QStringLiteral("#EXTM3U")), QStringLiteral("D:\\Music\\a.mp3"),
                                          QStringLiteral("/srv/music/b.mp3"), Entry(QStringLiteral("c.mp3")),
                                          folder_, Entry(QStringLiteral("sub/d.mp3")),
                                          Entry(QStringLiteral("/e.mp3"))}));
}

TEST_F(PlaylistFile, EveryKindOfLineEndEndsALineAndAFinalEndAddsNoEntry) {
  WriteBytes(Path(QStringLiteral("ends.m3u")), "a.mp3\r\nb.mp3\nc.mp3\rd.mp3");
  WriteBytes(Path(QStringLiteral("final.m3u")), "a.mp3\r\n");
  WriteBytes(Path(QStringLiteral("empty.m3u")), "");
  ASSERT_TRUE(LoadPlaylist(list_, folder_, QStringLiteral("ends.m3u"), true));
  EXPECT_EQ(list_.ListItems, (QStringList{Entry(QStringLiteral("a.mp3")), Entry(QStringLiteral("b.mp3")),
                                          Entry(QStringLiteral("c.mp3")), Entry(QStringLiteral("d.mp3"))}));
  ASSERT_TRUE(LoadPlaylist(list_, folder_, QStringLiteral("final.m3u"), true));
  EXPECT_EQ(list_.ListItems.size(), 1);
  ASSERT_TRUE(LoadPlaylist(list_, folder_, QStringLiteral("empty.m3u"), true));
  EXPECT_TRUE(list_.ListItems.isEmpty());
  EXPECT_EQ(list_.ListItemCount, 0);
}

TEST_F(PlaylistFile, TextIsUtf8OrWindows1252LineByLine) {
  // A byte-order mark is not part of the first entry; a line in the Windows code page does not spoil the UTF-8
  // lines around it.
  WriteBytes(Path(QStringLiteral("mixed.m3u")), "\xEF\xBB\xBF/m/Caf\xC3\xA9.mp3\r\n/m/Caf\xE9 \x80.mp3\r\n");
  ASSERT_TRUE(LoadPlaylist(list_, folder_, QStringLiteral("mixed.m3u"), true));
  EXPECT_EQ(list_.ListItems,
            (QStringList{QStringLiteral("/m/Caf\u00E9.mp3"), QStringLiteral("/m/Caf\u00E9 \u20AC.mp3")}));
}

TEST_F(PlaylistFile, LoadingWithoutReplaceAppendsAndKeepsTheFolderAndPlayedSongs) {
  WriteBytes(Path(QStringLiteral("one.m3u")), "a.mp3\r\n");
  WriteBytes(Path(QStringLiteral("two.pls")), "[playlist]\r\nFile1=b.mp3\r\nNumberOfEntries=1\r\n");
  ASSERT_TRUE(LoadPlaylist(list_, folder_, QStringLiteral("one.m3u"), true));
  list_.PlayedList = {Entry(QStringLiteral("a.mp3"))};
  list_.ListPath = QStringLiteral("/elsewhere/");
  ASSERT_TRUE(LoadPlaylist(list_, folder_, QStringLiteral("two.pls"), false));
  ASSERT_TRUE(LoadPlaylist(list_, folder_, QStringLiteral("one.m3u"), false));
  EXPECT_EQ(list_.ListItems, (QStringList{Entry(QStringLiteral("a.mp3")), Entry(QStringLiteral("b.mp3")),
                                          Entry(QStringLiteral("a.mp3"))}));
  EXPECT_EQ(list_.ListItemCount, 3);
  EXPECT_EQ(list_.ListPath, QStringLiteral("/elsewhere/"));
  EXPECT_EQ(list_.PlayedList.size(), 1);
}

TEST_F(PlaylistFile, LineFormatWritesNameAloneOnlyForEntriesDirectlyInTheFolderLetterCaseCounting) {
  const QString upper = folder_.toUpper();
  ASSERT_NE(upper, folder_);
  list_.ListItems = {Entry(QStringLiteral("a.mp3")), QStringLiteral("/other/b.mp3"),
                     Entry(QStringLiteral("sub/c.mp3")), upper + QStringLiteral("d.mp3"),
                     QStringLiteral("D:\\Music\\e.mp3")};
  QList<qint32> progress;
  QStringList remembered;
  PlaylistSaveHooks hooks;
  hooks.SetProgress = [&progress](qint32 i) { progress << i; };
  hooks.LineFormatSaved = [&remembered](const QString& path) { remembered << path; };
  ASSERT_TRUE(SavePlaylist(list_, folder_, QStringLiteral("set.mvn"), hooks));
  EXPECT_EQ(ReadBytes(Path(QStringLiteral("set.mvn"))),
            ("a.mp3\r\n/other/b.mp3\r\n" + folder_.toUtf8() + "sub/c.mp3\r\n" + upper.toUtf8() +
             "d.mp3\r\nD:\\Music\\e.mp3\r\n"));
  EXPECT_EQ(remembered, QStringList{Path(QStringLiteral("set.mvn"))});
  EXPECT_TRUE(progress.isEmpty());

  Playlist loaded;
  ASSERT_TRUE(LoadPlaylist(loaded, folder_, QStringLiteral("set.mvn"), true));
  EXPECT_EQ(loaded.ListItems, list_.ListItems);
}

TEST_F(PlaylistFile, LineFormatStopsAt32767EntriesAndAFailedSaveLeavesTheOldFileWhole) {
  for (int i = 0; i < kLineFormatMaxEntries; ++i) list_.ListItems << Entry(QStringLiteral("s.mp3"));
  QList<qint32> progress;
  PlaylistSaveHooks hooks;
  hooks.SetProgress = [&progress](qint32 i) { progress << i; };
  ASSERT_TRUE(SavePlaylist(list_, folder_, QStringLiteral("big.m3u"), hooks));
  EXPECT_EQ(progress.size(), kLineFormatMaxEntries / 25);
  EXPECT_EQ(progress.first(), 25);
  const QByteArray saved = ReadBytes(Path(QStringLiteral("big.m3u")));
  EXPECT_EQ(saved.count("\r\n"), kLineFormatMaxEntries);

  list_.ListItems << Entry(QStringLiteral("one-too-many.mp3"));
  bool remembered = false;
  hooks.LineFormatSaved = [&remembered](const QString&) { remembered = true; };
  EXPECT_FALSE(SavePlaylist(list_, folder_, QStringLiteral("big.m3u"), hooks));
  EXPECT_FALSE(remembered);
  EXPECT_EQ(ReadBytes(Path(QStringLiteral("big.m3u"))), saved);
}

TEST_F(PlaylistFile, SavesFailWithoutAFolderOrWhereNoFileCanBeWritten) {
  list_.ListItems = {Entry(QStringLiteral("a.mp3"))};
  EXPECT_FALSE(SavePlaylist(list_, QString(), QStringLiteral("x.m3u")));
  EXPECT_FALSE(SavePlaylist(list_, folder_, QString()));
  EXPECT_FALSE(SavePlaylist(list_, folder_ + QStringLiteral("missing/"), QStringLiteral("x.m3u")));
  EXPECT_FALSE(SavePlaylist(list_, folder_ + QStringLiteral("missing/"), QStringLiteral("x.pls")));
  ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("taken.m3u")));
  ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("taken.pls")));
  EXPECT_FALSE(SavePlaylist(list_, folder_, QStringLiteral("taken.m3u")));
  EXPECT_FALSE(SavePlaylist(list_, folder_, QStringLiteral("taken.pls")));
}

TEST_F(PlaylistFile, NewPlsHoldsTheSectionTheFileKeysInOrderAndTheCountLast) {
  list_.ListItems = {Entry(QStringLiteral("a.mp3")), QStringLiteral("/other/b.mp3")};
  bool remembered = false;
  PlaylistSaveHooks hooks;
  hooks.LineFormatSaved = [&remembered](const QString&) { remembered = true; };
  ASSERT_TRUE(SavePlaylist(list_, folder_, QStringLiteral("new.pls"), hooks));
  EXPECT_EQ(ReadBytes(Path(QStringLiteral("new.pls"))),
            QByteArray("[playlist]\r\nFile1=a.mp3\r\nFile2=/other/b.mp3\r\nNumberOfEntries=2\r\n"));
  EXPECT_FALSE(remembered);
  Playlist loaded;
  ASSERT_TRUE(LoadPlaylist(loaded, folder_, QStringLiteral("new.pls"), true));
  EXPECT_EQ(loaded.ListItems, list_.ListItems);
}

TEST_F(PlaylistFile, PlsValuesAreCutTo80CharactersOnSaveAnd79OnLoad) {
  const QString entry = QStringLiteral("/") + QString(80, QLatin1Char('z')) + QStringLiteral(".mp3");
  ASSERT_EQ(entry.size(), 85);
  list_.ListItems = {entry};
  ASSERT_TRUE(SavePlaylist(list_, folder_, QStringLiteral("cut.pls")));
  EXPECT_TRUE(ReadBytes(Path(QStringLiteral("cut.pls"))).contains("File1=" + entry.left(80).toUtf8() + "\r\n"));
  Playlist loaded;
  ASSERT_TRUE(LoadPlaylist(loaded, folder_, QStringLiteral("cut.pls"), true));
  EXPECT_EQ(loaded.ListItems, QStringList{entry.left(79)});
}

TEST_F(PlaylistFile, SavingOverALongerPlsReplacesKeysInPlaceAndLeavesTheRest) {
  WriteBytes(Path(QStringLiteral("old.pls")),
             "[playlist]\r\nFile1=1.mp3\r\nTitle1=One\r\nFile2=2.mp3\r\nFile3=3.mp3\r\nFile4=4.mp3\r\n"
             "File5=5.mp3\r\nNumberOfEntries=5\r\nVersion=2\r\n[other]\r\nkeep=me\r\n");
  list_.ListItems = {Entry(QStringLiteral("x.mp3")), Entry(QStringLiteral("y.mp3")), Entry(QStringLiteral("z.mp3"))};
  ASSERT_TRUE(SavePlaylist(list_, folder_, QStringLiteral("old.pls")));
  EXPECT_EQ(ReadBytes(Path(QStringLiteral("old.pls"))),
            QByteArray("[playlist]\r\nFile1=x.mp3\r\nTitle1=One\r\nFile2=y.mp3\r\nFile3=z.mp3\r\nFile4=4.mp3\r\n"
                       "File5=5.mp3\r\nNumberOfEntries=3\r\nVersion=2\r\n[other]\r\nkeep=me\r\n"));
  Playlist loaded;
  ASSERT_TRUE(LoadPlaylist(loaded, folder_, QStringLiteral("old.pls"), true));
  EXPECT_EQ(loaded.ListItems, list_.ListItems);
  EXPECT_EQ(loaded.ListItemCount, 3);
}

TEST_F(PlaylistFile, PlsReadsOnlyUpToItsCountWithMissingKeysGivingTheFolder) {
  WriteBytes(Path(QStringLiteral("nocount.pls")), "[playlist]\r\nFile1=a.mp3\r\n");
  WriteBytes(Path(QStringLiteral("gaps.pls")),
             "[PlayList]\r\nnumberofentries=2.5 entries\r\nfile1=C:\\a.mp3\r\nFILE3=c.mp3\r\nFile4=never.mp3\r\n");
  WriteBytes(Path(QStringLiteral("rounded.pls")), "[playlist]\nNumberOfEntries=3.5\nFile2=sub\\b.mp3\n");
  WriteBytes(Path(QStringLiteral("huge.pls")), "[playlist]\nNumberOfEntries=99999999\nFile1=a.mp3\n");
  list_.ListItems = {QStringLiteral("/kept.mp3")};

  ASSERT_TRUE(LoadPlaylist(list_, folder_, QStringLiteral("nocount.pls"), true));
  EXPECT_TRUE(list_.ListItems.isEmpty());
  // 2.5 rounds to 2, the even neighbour.
  ASSERT_TRUE(LoadPlaylist(list_, folder_, QStringLiteral("gaps.pls"), true));
  EXPECT_EQ(list_.ListItems, (QStringList{QStringLiteral("C:\\a.mp3"), folder_}));
  ASSERT_TRUE(LoadPlaylist(list_, folder_, QStringLiteral("rounded.pls"), true));
  EXPECT_EQ(list_.ListItems, (QStringList{folder_, Entry(QStringLiteral("sub/b.mp3")), folder_, folder_}));
  EXPECT_FALSE(LoadPlaylist(list_, folder_, QStringLiteral("huge.pls"), true));
  EXPECT_EQ(list_.ListItems.size(), 4);
}

TEST_F(PlaylistFile, NameEndingInCapitalPlsIsWrittenAsLinesButLoadedAsPls) {
  list_.ListItems = {Entry(QStringLiteral("a.mp3")), Entry(QStringLiteral("b.mp3"))};
  ASSERT_TRUE(SavePlaylist(list_, folder_, QStringLiteral("LOUD.PLS")));
  EXPECT_EQ(ReadBytes(Path(QStringLiteral("LOUD.PLS"))), QByteArray("a.mp3\r\nb.mp3\r\n"));
  Playlist loaded;
  ASSERT_TRUE(LoadPlaylist(loaded, folder_, QStringLiteral("LOUD.PLS"), true));
  EXPECT_TRUE(loaded.ListItems.isEmpty());
}

TEST_F(PlaylistFile, PlsKeepsLineEndsOfAnExistingFileAndAddsMissingKeysAtTheEndOfTheSection) {
  WriteBytes(Path(QStringLiteral("unix.pls")), "[playlist]\nFile1=old.mp3\n\n[next]\nx=1\n");
  list_.ListItems = {Entry(QStringLiteral("a.mp3")), Entry(QStringLiteral("b.mp3"))};
  ASSERT_TRUE(SavePlaylist(list_, folder_, QStringLiteral("unix.pls")));
  EXPECT_EQ(ReadBytes(Path(QStringLiteral("unix.pls"))),
            QByteArray("[playlist]\nFile1=a.mp3\nFile2=b.mp3\nNumberOfEntries=2\n\n[next]\nx=1\n"));
}

TEST_F(PlaylistFile, AnyBytesLoadWithoutHarmInEitherKind) {
  const QList<QByteArray> pieces = {"[playlist]", "File1=", "file2=", "NumberOfEntries=", "3", "1e9", "-2", "=",
                                    "\r", "\n", "\r\n", "\\", "C:", "/", "\xFF", "\xC3", "\xEF\xBB\xBF", "\0",
                                    QByteArray(120, 'x')};
  QRandomGenerator random(3);
  for (int round = 0; round < 300; ++round) {
    QByteArray bytes;
    const int count = random.bounded(0, 30);
    for (int i = 0; i < count; ++i) bytes += pieces[random.bounded(static_cast<int>(pieces.size()))];
    for (const QString& name : {QStringLiteral("r.m3u"), QStringLiteral("r.pls")}) {
      WriteBytes(Path(name), bytes);
      Playlist loaded;
      if (LoadPlaylist(loaded, folder_, name, true)) {
        EXPECT_EQ(loaded.ListItemCount, loaded.ListItems.size());
      }
    }
  }
}

}  // namespace
}  // namespace marvane
