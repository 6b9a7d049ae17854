// Playlists written by other programs load without trouble and give the entries the rules give.

#include "playlist/playlistfile.h"

#include "support/testenv.h"

#include <gtest/gtest.h>

#include <QDir>

namespace marvane {
namespace {

QString Folder() { return test::TestDataDir() + QStringLiteral("/playlists/"); }

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
  const Playlist list = Load(QStringLiteral("pn_PlaylistNotExt.m3u"), &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(list.ListItems, (QStringList{QStringLiteral("D:\\Muzyka\\Andrea Bocelli\\04 Chiara.mp3"),
                                         QStringLiteral("D:\\Muzyka\\Andrea Bocelli\\01 Con Te Partiro.mp3"),
                                         QStringLiteral("D:\\Muzyka\\Andrea Bocelli\\04 E Chiove.mp3")}));
}

TEST(TestdataPlaylists, ExtendedM3uLinesAreEntriesLikeAnyOtherAndLatinTextIsDecoded) {
  MARVANE_REQUIRE_TESTDATA();
  const Playlist latin = Load(QStringLiteral("pn_LatinEncoding.m3u"));
  ASSERT_EQ(latin.ListItems.size(), 3);
  EXPECT_EQ(latin.ListItems[0], Folder() + QStringLiteral("#EXTM3U"));
  EXPECT_EQ(latin.ListItems[2],
            QStringLiteral("M:\\R\u00F6yksopp feat. Susanne Sundf\u00F8r - Running To The Sea.mp3"));

  const Playlist ext = Load(QStringLiteral("pn_PlaylistExt.m3u"));
  ASSERT_EQ(ext.ListItems.size(), 10);
  EXPECT_EQ(ext.ListItems[0], Folder() + QStringLiteral("#EXTM3U"));
  EXPECT_EQ(ext.ListItems[2], QStringLiteral("D:\\Muzyka\\Andrea Bocelli\\04 Chiara.mp3"));
  EXPECT_EQ(ext.ListItems[9], QStringLiteral("D:\\Muzyka\\Andrea Bocelli\\04 E Chiove.mp3"));

  // CR LF lines with a tab-indented tag; the 140-character address is over the line limit.
  const Playlist money = Load(QStringLiteral("tp_O_G_Money_-_Girl_Gotta_girlfriend_Feat._O_G_Money_Snoop_Dogg.m3u"));
  ASSERT_EQ(money.ListItems.size(), 2);
  EXPECT_TRUE(money.ListItems[1].startsWith(Folder() + QStringLiteral("\t\t#EXTINF:-1,O G Money")));

  // UTF-8 text, and a relative entry of 105 characters that is skipped.
  const Playlist vlc = Load(QStringLiteral("pn_PlaylistVLC.m3u"));
  ASSERT_EQ(vlc.ListItems.size(), 2);
  EXPECT_EQ(vlc.ListItems[1],
            Folder() + QStringLiteral("#EXTINF:304,Aimer - \u6625\u306F\u3086\u304F"));
}

TEST(TestdataPlaylists, PlsFilesFollowTheirCountWhateverTheLetterCaseOfKeys) {
  MARVANE_REQUIRE_TESTDATA();
  const Playlist polish = Load(QStringLiteral("pn_Playlist.pls"));
  ASSERT_EQ(polish.ListItems.size(), 3);
  EXPECT_EQ(polish.ListItems[0], Folder() + QStringLiteral("http://stream3.polskieradio.pl:8902/"));
  EXPECT_EQ(polish.ListItems[2], QStringLiteral("/home/uzytkownik/muzyka-1.mp3"));

  const Playlist shuffled = Load(QStringLiteral("pn_Playlist2.pls"));
  ASSERT_EQ(shuffled.ListItems.size(), 4);
  EXPECT_EQ(shuffled.ListItems[2], QStringLiteral("/home/uzytkownik/muzyka-1.mp3"));
  EXPECT_EQ(shuffled.ListItems[3], Folder() + QStringLiteral("Weird Al - This Is The Life.mp3"));

  EXPECT_EQ(Load(QStringLiteral("cl_pls_somafm.pls")).ListItems.size(), 4);
  const Playlist bass = Load(QStringLiteral("tp_BassDrive.pls"));
  ASSERT_EQ(bass.ListItems.size(), 12);
  EXPECT_EQ(bass.ListItems[11], Folder() + QStringLiteral("http://us-tx1.streams.bassdrive.com:9000"));
}

}  // namespace
}  // namespace marvane
