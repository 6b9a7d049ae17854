// Playlists written by other programs load without trouble and give the entries the rules give.

#include "playlist/playlistfile.h"

#include "support/testenv.h"

#include <gtest/gtest.h>

#include <QDir>

namespace marvane {
namespace {

using namespace Qt::StringLiterals;

QString Folder() { return test::TestDataDir() + u"/playlists/"_s; }

Playlist Load(const QString& name, bool* ok = nullptr) {
  Playlist list;
  const bool loaded = LoadPlaylist(list, Folder(), name, true);
  if (ok) *ok = loaded;
  return list;
}

TEST(TestdataPlaylists, EveryFileLoadsOrIsRefusedWithoutHarm) {
  MARVANE_REQUIRE_TESTDATA();
  const QStringList names = QDir(Folder()).entryList(QDir::Files);
  ASSERT_FALSE(names.isEmpty());
  for (const QString& name : names) {
    bool ok = false;
    const Playlist list = Load(name, &ok);
    const QString ending = name.right(3).toLower();
    const bool known = ending == QLatin1String("m3u") || ending == QLatin1String("pls");
    EXPECT_EQ(ok, known) << name.toStdString();
    EXPECT_EQ(list.ListItemCount, list.ListItems.size()) << name.toStdString();
    for (const QString& entry : list.ListItems) EXPECT_FALSE(entry.isEmpty()) << name.toStdString();
  }
}

TEST(TestdataPlaylists, WindowsPathsWithAByteOrderMarkAreTakenWhole) {
  MARVANE_REQUIRE_TESTDATA();
  bool ok = false;
  const Playlist list = Load(u"pn_PlaylistNotExt.m3u"_s, &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(list.ListItems, (QStringList{u"D:\\Muzyka\\Andrea Bocelli\\04 Chiara.mp3"_s,
                                         u"D:\\Muzyka\\Andrea Bocelli\\01 Con Te Partiro.mp3"_s,
                                         u"D:\\Muzyka\\Andrea Bocelli\\04 E Chiove.mp3"_s}));
}

TEST(TestdataPlaylists, ExtendedM3uLinesAreEntriesLikeAnyOtherAndLatinTextIsDecoded) {
  MARVANE_REQUIRE_TESTDATA();
  const Playlist latin = Load(u"pn_LatinEncoding.m3u"_s);
  ASSERT_EQ(latin.ListItems.size(), 3);
  EXPECT_EQ(latin.ListItems[0], Folder() + u"#EXTM3U"_s);
  EXPECT_EQ(latin.ListItems[2], u"M:\\R\u00F6yksopp feat. Susanne Sundf\u00F8r - Running To The Sea.mp3"_s);

  const Playlist ext = Load(u"pn_PlaylistExt.m3u"_s);
  ASSERT_EQ(ext.ListItems.size(), 10);
  EXPECT_EQ(ext.ListItems[0], Folder() + u"#EXTM3U"_s);
  EXPECT_EQ(ext.ListItems[2], u"D:\\Muzyka\\Andrea Bocelli\\04 Chiara.mp3"_s);
  EXPECT_EQ(ext.ListItems[9], u"D:\\Muzyka\\Andrea Bocelli\\04 E Chiove.mp3"_s);

  // CR LF lines with a tab-indented tag; the 140-character address is over the line limit.
  const Playlist money = Load(u"tp_O_G_Money_-_Girl_Gotta_girlfriend_Feat._O_G_Money_Snoop_Dogg.m3u"_s);
  ASSERT_EQ(money.ListItems.size(), 2);
  EXPECT_TRUE(money.ListItems[1].startsWith(Folder() + u"\t\t#EXTINF:-1,O G Money"_s));

  // UTF-8 text, and a relative entry of 105 characters that is skipped.
  const Playlist vlc = Load(u"pn_PlaylistVLC.m3u"_s);
  ASSERT_EQ(vlc.ListItems.size(), 2);
  EXPECT_EQ(vlc.ListItems[1], Folder() + u"#EXTINF:304,Aimer - \u6625\u306F\u3086\u304F"_s);
}

TEST(TestdataPlaylists, PlsFilesFollowTheirCountWhateverTheLetterCaseOfKeys) {
  MARVANE_REQUIRE_TESTDATA();
  const Playlist polish = Load(u"pn_Playlist.pls"_s);
  ASSERT_EQ(polish.ListItems.size(), 3);
  EXPECT_EQ(polish.ListItems[0], Folder() + u"http://stream3.polskieradio.pl:8902/"_s);
  EXPECT_EQ(polish.ListItems[2], u"/home/uzytkownik/muzyka-1.mp3"_s);

  const Playlist shuffled = Load(u"pn_Playlist2.pls"_s);
  ASSERT_EQ(shuffled.ListItems.size(), 4);
  EXPECT_EQ(shuffled.ListItems[2], u"/home/uzytkownik/muzyka-1.mp3"_s);
  EXPECT_EQ(shuffled.ListItems[3], Folder() + u"Weird Al - This Is The Life.mp3"_s);

  EXPECT_EQ(Load(u"cl_pls_somafm.pls"_s).ListItems.size(), 4);
  const Playlist bass = Load(u"tp_BassDrive.pls"_s);
  ASSERT_EQ(bass.ListItems.size(), 12);
  EXPECT_EQ(bass.ListItems[11], Folder() + u"http://us-tx1.streams.bassdrive.com:9000"_s);
}

}  // namespace
}  // namespace marvane
