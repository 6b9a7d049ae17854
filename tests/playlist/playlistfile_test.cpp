#include "playlist/playlistfile.h"

#include "support/testenv.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QHash>

#include <optional>

namespace marvane::test {
namespace {


class PlaylistFile : public ::testing::Test {
 protected:
  // A path in the playlist's folder, which is also what a relative entry becomes.
  QString Here(const QString& name) const { return folder_ + name; }
  Playlist Loaded(const QString& name, bool* ok = nullptr) const {
    Playlist list;
    const bool loaded = LoadPlaylist(list, folder_, name, true);
    if (ok) *ok = loaded;
    return list;
  }

  QTemporaryDir dir_;
  const QString folder_ = dir_.path() + u'/';
  Playlist list_;
};

TEST_F(PlaylistFile, EachLineOrCountedKeyBecomesAnEntryByItsForm) {
  const QString hundred = u"/"_s + QString(95, u'x') + u".mp3"_s;
  const QString hundredOne = u"/"_s + QString(96, u'y') + u".mp3"_s;
  // Characters count, not bytes: 100 accented letters are 200 bytes of UTF-8, and 100 characters of which 50
  // lie outside the 16-bit range are 150 UTF-16 units.
  const QString accented(100, QChar(0x00E9));
  QString notes;
  for (int i = 0; i < 50; ++i) notes += u"\U0001F3B5a"_s;
  struct Case {
    QString name;
    QByteArray bytes;
    QStringList entries;
  };
  const Case cases[] = {
      {u"long.mvn"_s,
       "a.mp3\r\n" + hundred.toUtf8() + "\r\n" + hundredOne.toUtf8() + "\r\n" + accented.toUtf8() + "\r\n" +
           notes.toUtf8() + "\r\n" + (notes + u'a').toUtf8() + "\r\nb.mp3\r\n",
       {Here(u"a.mp3"_s), hundred, Here(accented), Here(notes), Here(u"b.mp3"_s)}},
      // No line is ignored for its content; relative entries get the folder and "/" for "\".
      {u"x.m3u"_s,
       "#EXTM3U\r\nD:\\Music\\a.mp3\r\n/srv/music/b.mp3\r\nc.mp3\r\n\r\nsub\\d.mp3\r\n\\e.mp3\r\n",
       {Here(u"#EXTM3U"_s), u"D:\\Music\\a.mp3"_s, u"/srv/music/b.mp3"_s, Here(u"c.mp3"_s), folder_,
        Here(u"sub/d.mp3"_s), Here(u"/e.mp3"_s)}},
      {u"ends.m3u"_s, "a.mp3\r\nb.mp3\nc.mp3\rd.mp3",
       {Here(u"a.mp3"_s), Here(u"b.mp3"_s), Here(u"c.mp3"_s), Here(u"d.mp3"_s)}},
      {u"final.m3u"_s, "a.mp3\r\n", {Here(u"a.mp3"_s)}},
      {u"empty.m3u"_s, "", {}},
      // A byte-order mark is not part of the first entry; a Windows-1252 line does not spoil its UTF-8 neighbours.
      {u"mixed.m3u"_s, "\xEF\xBB\xBF/m/Caf\xC3\xA9.mp3\r\n/m/Caf\xE9 \x80.mp3\r\n",
       {u"/m/Caf\u00E9.mp3"_s, u"/m/Caf\u00E9 \u20AC.mp3"_s}},
      // ".pls" reads File1 to File<count> whatever the keys' letter case, the folder for a missing key.
      {u"nocount.pls"_s, "[playlist]\r\nFile1=a.mp3\r\n", {}},
      {u"gaps.pls"_s,
       "[PlayList]\r\nnumberofentries=2.5 entries\r\nfile1=C:\\a.mp3\r\nFILE3=c.mp3\r\nFile4=x.mp3\r\n",
       {u"C:\\a.mp3"_s, folder_}},  // 2.5 rounds to 2, the even neighbour
      {u"rounded.pls"_s, "[playlist]\nNumberOfEntries=3.5\nFile2=sub\\b.mp3\n",
       {folder_, Here(u"sub/b.mp3"_s), folder_, folder_}},
      {u"LOUD.PLS"_s, "a.mp3\r\nb.mp3\r\n", {}},  // loaded as ".pls" whatever the letter case
  };
  for (const Case& c : cases) {
    WriteBytes(Here(c.name), c.bytes);
    bool ok = false;
    const Playlist list = Loaded(c.name, &ok);
    EXPECT_TRUE(ok) << c.name.toStdString();
    EXPECT_EQ(list.ListItems, c.entries) << c.name.toStdString();
    EXPECT_EQ(list.ListItemCount, c.entries.size()) << c.name.toStdString();
  }
}

TEST_F(PlaylistFile, RefusedLoadsChangeNothingAndAReplacingLoadResetsTheList) {
  for (const char* name : {"party.M3U", "party.txt", "party.m3u8"}) WriteBytes(Here(QLatin1String(name)), "a.mp3\r\n");
  WriteBytes(Here(u"huge.pls"_s), "[playlist]\nNumberOfEntries=99999999\nFile1=a.mp3\n");
  ASSERT_TRUE(QDir(dir_.path()).mkdir(u"folder.m3u"_s));
  list_.ListItems = {u"/old.mp3"_s};
  list_.PlayedList = {u"/played.mp3"_s};
  list_.ListPath = u"/old/"_s;
  list_.ListItemCount = 7;
  const std::pair<QString, QString> refused[] = {
      {folder_, u"party.txt"_s}, {folder_, u"party.m3u8"_s},  {folder_, u"missing.m3u"_s}, {folder_, u"folder.m3u"_s},
      {folder_, u"huge.pls"_s},  {QString(), u"party.M3U"_s}, {folder_, QString()}};
  for (const auto& [folder, name] : refused)
    EXPECT_FALSE(LoadPlaylist(list_, folder, name, true)) << name.toStdString();
  EXPECT_EQ(list_.ListItems, QStringList{u"/old.mp3"_s});
  EXPECT_EQ(list_.PlayedList, QStringList{u"/played.mp3"_s});
  EXPECT_EQ(list_.ListPath, u"/old/"_s);
  EXPECT_EQ(list_.ListItemCount, 7);

  ASSERT_TRUE(LoadPlaylist(list_, folder_, u"party.M3U"_s, true));
  EXPECT_EQ(list_.ListItems, QStringList{Here(u"a.mp3"_s)});
  EXPECT_TRUE(list_.PlayedList.isEmpty());
  EXPECT_EQ(list_.ListPath, folder_);
  EXPECT_EQ(list_.ListItemCount, 1);
}

TEST_F(PlaylistFile, LoadingWithoutReplaceAppendsAndKeepsTheFolderAndPlayedSongs) {
  WriteBytes(Here(u"one.m3u"_s), "a.mp3\r\n");
  WriteBytes(Here(u"two.pls"_s), "[playlist]\r\nFile1=b.mp3\r\nNumberOfEntries=1\r\n");
  ASSERT_TRUE(LoadPlaylist(list_, folder_, u"one.m3u"_s, true));
  list_.PlayedList = {Here(u"a.mp3"_s)};
  list_.ListPath = u"/elsewhere/"_s;
  ASSERT_TRUE(LoadPlaylist(list_, folder_, u"two.pls"_s, false));
  ASSERT_TRUE(LoadPlaylist(list_, folder_, u"one.m3u"_s, false));
  EXPECT_EQ(list_.ListItems, (QStringList{Here(u"a.mp3"_s), Here(u"b.mp3"_s), Here(u"a.mp3"_s)}));
  EXPECT_EQ(list_.ListItemCount, 3);
  EXPECT_EQ(list_.ListPath, u"/elsewhere/"_s);
  EXPECT_EQ(list_.PlayedList.size(), 1);
}

TEST_F(PlaylistFile, SavesWriteEachKindByItsRulesAndLoadBack) {
  const QString upper = folder_.toUpper();
  ASSERT_NE(upper, folder_);
  const QString longEntry = u"/"_s + QString(80, u'z') + u".mp3"_s;
  const QStringList xyz = {Here(u"x.mp3"_s), Here(u"y.mp3"_s), Here(u"z.mp3"_s)};
  const QStringList lineEntries = {Here(u"a.mp3"_s), u"/other/b.mp3"_s, Here(u"sub/c.mp3"_s), upper + u"d.mp3"_s,
                                   u"D:\\Music\\e.mp3"_s};
  const QStringList ab = {Here(u"a.mp3"_s), Here(u"b.mp3"_s)};
  const QStringList aOther = {Here(u"a.mp3"_s), u"/other/b.mp3"_s};
  struct Case {
    QString name;
    QByteArray before;  // the file already there, if any
    QStringList entries;
    QByteArray after;
    std::optional<QStringList> loadedBack = std::nullopt;  // the entries themselves when not given
  };
  const Case cases[] = {
      // Name alone only for an entry directly in the folder, letter case counting.
      {u"set.mvn"_s, {}, lineEntries,
       "a.mp3\r\n/other/b.mp3\r\n" + folder_.toUtf8() + "sub/c.mp3\r\n" + upper.toUtf8() +
           "d.mp3\r\nD:\\Music\\e.mp3\r\n"},
      // A name ending in capital "PLS" is written as lines but loads as ".pls".
      {u"LOUD.PLS"_s, {}, ab, "a.mp3\r\nb.mp3\r\n", QStringList()},
      {u"new.pls"_s, {}, aOther, "[playlist]\r\nFile1=a.mp3\r\nFile2=/other/b.mp3\r\nNumberOfEntries=2\r\n"},
      // Values are cut to 80 characters on saving and read back as 79.
      {u"cut.pls"_s, {}, {longEntry},
       "[playlist]\r\nFile1=" + longEntry.left(80).toUtf8() + "\r\nNumberOfEntries=1\r\n",
       QStringList{longEntry.left(79)}},
      // Over a longer ".pls": keys replaced in place, leftover keys and other sections kept.
      {u"old.pls"_s,
       "[playlist]\r\nFile1=1.mp3\r\nTitle1=One\r\nFile2=2.mp3\r\nFile3=3.mp3\r\nFile4=4.mp3\r\nFile5=5.mp3\r\n"
       "NumberOfEntries=5\r\nVersion=2\r\n[other]\r\nkeep=me\r\n",
       xyz,
       "[playlist]\r\nFile1=x.mp3\r\nTitle1=One\r\nFile2=y.mp3\r\nFile3=z.mp3\r\nFile4=4.mp3\r\nFile5=5.mp3\r\n"
       "NumberOfEntries=3\r\nVersion=2\r\n[other]\r\nkeep=me\r\n"},
      // An existing file keeps its line ends; missing keys go to the end of the section.
      {u"unix.pls"_s, "[playlist]\nFile1=old.mp3\n\n[next]\nx=1\n", ab,
       "[playlist]\nFile1=a.mp3\nFile2=b.mp3\nNumberOfEntries=2\n\n[next]\nx=1\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name.toStdString());
    if (!c.before.isEmpty()) WriteBytes(Here(c.name), c.before);
    Playlist list;
    list.ListItems = c.entries;
    QStringList remembered;
    QList<qint32> progress;
    ASSERT_TRUE(SavePlaylist(list, folder_, c.name,
                             {[&](qint32 i) { progress << i; }, [&](const QString& path) { remembered << path; }}));
    EXPECT_EQ(ReadBytes(Here(c.name)), c.after);
    EXPECT_EQ(Loaded(c.name).ListItems, c.loadedBack.value_or(c.entries));
    EXPECT_TRUE(progress.isEmpty()) << "progress comes every 25 entries";
    // Only a plain-line save becomes the remembered playlist.
    EXPECT_EQ(remembered, c.name.endsWith(u"pls"_s) ? QStringList() : QStringList{Here(c.name)});
  }
}

TEST_F(PlaylistFile, LineFormatStopsAt32767EntriesAndAFailedSaveLeavesTheOldFileWhole) {
  for (int i = 0; i < kLineFormatMaxEntries; ++i) list_.ListItems << Here(u"s.mp3"_s);
  QList<qint32> progress;
  bool remembered = false;
  const PlaylistSaveHooks hooks{[&](qint32 i) { progress << i; }, [&](const QString&) { remembered = true; }};
  ASSERT_TRUE(SavePlaylist(list_, folder_, u"big.m3u"_s, hooks));
  EXPECT_EQ(progress.size(), kLineFormatMaxEntries / 25);
  EXPECT_EQ(progress.first(), 25);
  const QByteArray saved = ReadBytes(Here(u"big.m3u"_s));
  EXPECT_EQ(saved.count("\r\n"), kLineFormatMaxEntries);

  list_.ListItems << Here(u"one-too-many.mp3"_s);
  remembered = false;
  EXPECT_FALSE(SavePlaylist(list_, folder_, u"big.m3u"_s, hooks));
  EXPECT_FALSE(remembered);
  EXPECT_EQ(ReadBytes(Here(u"big.m3u"_s)), saved);
}

TEST_F(PlaylistFile, SavesFailWithoutAFolderOrWhereNoFileCanBeWritten) {
  list_.ListItems = {Here(u"a.mp3"_s)};
  ASSERT_TRUE(QDir(dir_.path()).mkdir(u"taken.m3u"_s));
  ASSERT_TRUE(QDir(dir_.path()).mkdir(u"taken.pls"_s));
  const QString missing = folder_ + u"missing/"_s;
  const std::pair<QString, QString> refused[] = {{QString(), u"x.m3u"_s},   {folder_, QString()},
                                                 {missing, u"x.m3u"_s},     {missing, u"x.pls"_s},
                                                 {folder_, u"taken.m3u"_s}, {folder_, u"taken.pls"_s}};
  for (const auto& [folder, name] : refused)
    EXPECT_FALSE(SavePlaylist(list_, folder, name)) << folder.toStdString() << name.toStdString();
}

// Playlists written by other programs: each loads or is refused by its ending alone, without harm.
TEST(TestdataPlaylists, EveryFileLoadsOrIsRefusedAndGivesTheEntriesTheRulesGive) {
  MARVANE_REQUIRE_TESTDATA();
  const QString folder = test::TestDataDir() + u"/playlists/"_s;
  const QStringList names = QDir(folder).entryList(QDir::Files);
  ASSERT_FALSE(names.isEmpty());
  QHash<QString, QStringList> loaded;
  for (const QString& name : names) {
    Playlist list;
    const QString ending = name.right(3).toLower();
    EXPECT_EQ(LoadPlaylist(list, folder, name, true), ending == u"m3u"_s || ending == u"pls"_s) << name.toStdString();
    EXPECT_EQ(list.ListItemCount, list.ListItems.size()) << name.toStdString();
    EXPECT_FALSE(list.ListItems.contains(QString())) << name.toStdString();
    loaded[name] = list.ListItems;
  }
  // Windows paths after a byte-order mark are taken whole; extended M3U lines are entries like any other; a
  // Windows-1252 line is decoded; the keys of ".pls" are found whatever their letter case.
  EXPECT_EQ(loaded[u"pn_PlaylistNotExt.m3u"_s].first(), u"D:\\Muzyka\\Andrea Bocelli\\04 Chiara.mp3"_s);
  const QStringList latin = loaded[u"pn_LatinEncoding.m3u"_s];
  ASSERT_EQ(latin.size(), 3);
  EXPECT_EQ(latin[0], folder + u"#EXTM3U"_s);
  EXPECT_EQ(latin[2], u"M:\\R\u00F6yksopp feat. Susanne Sundf\u00F8r - Running To The Sea.mp3"_s);
  const QStringList shuffled = loaded[u"pn_Playlist2.pls"_s];
  ASSERT_EQ(shuffled.size(), 4);
  EXPECT_EQ(shuffled[2], u"/home/uzytkownik/muzyka-1.mp3"_s);
  EXPECT_EQ(shuffled[3], folder + u"Weird Al - This Is The Life.mp3"_s);
  EXPECT_EQ(loaded[u"tp_BassDrive.pls"_s].size(), 12);
}

}  // namespace
}  // namespace marvane::test
