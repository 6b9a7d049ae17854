#include "playlist/playlistflow.h"

#include "app/settingkeys.h"
#include "app/settingsstore.h"
#include "fakehost.h"
#include "fileutil.h"
#include "playlist/filekinds.h"
#include "support/scripteddialogs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

namespace marvane {
namespace {

class Flow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    folder_ = dir_.path() + QLatin1Char('/');
    test::WriteBytes(folder_ + QStringLiteral("song.mp3"), "x");
    test::WriteBytes(folder_ + QStringLiteral("other.mp3"), "x");
    test::WriteBytes(folder_ + QStringLiteral("party.m3u"), "song.mp3\r\nother.mp3\r\n");
    test::WriteBytes(folder_ + QStringLiteral("notes.txt"), "song.mp3\r\n");
  }
  QString Path(const QString& name) const { return folder_ + name; }

  QTemporaryDir dir_;
  QString folder_;
  Playlist list_;
  test::FakePlaylistHost host_;
  test::ScriptedDialogs dialogs_;
  QRandomGenerator random_{7};
  NextSongChooser chooser_{list_, host_, dialogs_, random_};
  SettingsStore settings_{dir_.path() + QStringLiteral("/settings.ini")};
  PlaylistFlow flow_{list_, chooser_, host_, settings_, dialogs_};
};

TEST_F(Flow, CommandLinePlaylistLoadsAndSwitchesAutoPilotOnEvenWhenTheLoadFails) {
  flow_.OpenFromCommandLine(Path(QStringLiteral("party.m3u")));
  EXPECT_EQ(flow_.OpenedKind(), PlaylistFlow::kOpenedPlaylist);
  EXPECT_TRUE(host_.autoPilotOn);
  EXPECT_EQ(list_.PlayListName, QStringLiteral("party.m3u"));
  EXPECT_EQ(list_.ListPath, folder_);
  EXPECT_EQ(list_.ListItems, (QStringList{Path(QStringLiteral("song.mp3")), Path(QStringLiteral("other.mp3"))}));
  EXPECT_TRUE(chooser_.NextFile().isEmpty()) << "the command line chooses no next song";

  host_.autoPilotOn = false;
  flow_.OpenFromCommandLine(Path(QStringLiteral("gone.pls")));
  EXPECT_EQ(flow_.OpenedKind(), PlaylistFlow::kOpenedPlaylist);
  EXPECT_TRUE(host_.autoPilotOn);
  EXPECT_EQ(list_.ListItems.size(), 2);
}

TEST_F(Flow, CommandLineIsOnePathWithNoQuotesRemoved) {
  flow_.OpenFromCommandLine(QLatin1Char('"') + Path(QStringLiteral("party.m3u")) + QLatin1Char('"'));
  EXPECT_EQ(flow_.OpenedKind(), PlaylistFlow::kOpenedNothing);
  EXPECT_FALSE(host_.autoPilotOn);
  EXPECT_TRUE(list_.ListItems.isEmpty());

  flow_.OpenFromCommandLine(Path(QStringLiteral("song.MP3")));
  EXPECT_EQ(flow_.OpenedKind(), PlaylistFlow::kOpenedSound);
  ASSERT_EQ(host_.opened.size(), 1);
  EXPECT_EQ(host_.opened[0].line, 1);
  EXPECT_EQ(host_.opened[0].path, Path(QStringLiteral("song.MP3")));
  EXPECT_TRUE(host_.opened[0].autoStart);

  // A path typed in a terminal is taken from the current folder.
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir_.path()));
  flow_.OpenFromCommandLine(QStringLiteral("party.m3u"));
  QDir::setCurrent(before);
  EXPECT_EQ(list_.ListPath, folder_);
  EXPECT_EQ(list_.ListItems.size(), 2);
}

TEST_F(Flow, StartupLoadsTheRememberedPlaylistUnlessTheCommandLineOpenedOne) {
  settings_.WriteSetting(keys::kPlayList, Path(QStringLiteral("party.m3u")));
  flow_.StartupLoad();
  EXPECT_EQ(list_.ListItems.size(), 2);
  EXPECT_EQ(list_.PlayListName, QStringLiteral("party.m3u"));
  EXPECT_EQ(host_.titlesShown, QStringList{QStringLiteral("party")});

  test::WriteBytes(Path(QStringLiteral("cli.mvn")), "song.mp3\r\n");
  Playlist otherList;
  test::FakePlaylistHost otherHost;
  NextSongChooser otherChooser(otherList, otherHost, dialogs_, random_);
  PlaylistFlow other(otherList, otherChooser, otherHost, settings_, dialogs_);
  other.OpenFromCommandLine(Path(QStringLiteral("cli.mvn")));
  other.StartupLoad();
  EXPECT_EQ(otherList.ListItems, QStringList{Path(QStringLiteral("song.mp3"))});
  EXPECT_EQ(otherHost.titlesShown, QStringList{QStringLiteral("cli")});
}

TEST_F(Flow, StartupIgnoresARememberedPlaylistThatIsGone) {
  list_.PlayListName = QStringLiteral("kept.m3u");
  settings_.WriteSetting(keys::kPlayList, Path(QStringLiteral("gone.m3u")));
  flow_.StartupLoad();
  EXPECT_TRUE(list_.ListItems.isEmpty());
  EXPECT_EQ(list_.PlayListName, QStringLiteral("kept.m3u"));
  EXPECT_EQ(host_.titlesShown, QStringList{QStringLiteral("kept")});

  Playlist emptyList;
  test::FakePlaylistHost emptyHost;
  NextSongChooser emptyChooser(emptyList, emptyHost, dialogs_, random_);
  PlaylistFlow fresh(emptyList, emptyChooser, emptyHost, settings_, dialogs_);
  fresh.StartupLoad();
  EXPECT_TRUE(emptyHost.titlesShown.isEmpty());
}

TEST_F(Flow, OpenPlaylistAsksWithItsTitleAndFilterLoadsRemembersAndChooses) {
  list_.ListPath = folder_;
  dialogs_.openAnswers.push_back(Path(QStringLiteral("party.m3u")));
  flow_.OpenPlaylist();
  ASSERT_EQ(dialogs_.openRequests.size(), 1);
  EXPECT_EQ(dialogs_.openRequests[0].title, QStringLiteral("Open a Playlist file"));
  EXPECT_EQ(dialogs_.openRequests[0].filter,
            QStringLiteral("Playlist Files (*.mvn, *.m3u, *.pls)|*.mvn;*.m3u;*.pls|All Files (*.*)|*.*"));
  EXPECT_EQ(dialogs_.openRequests[0].folder, folder_);
  EXPECT_TRUE(dialogs_.openRequests[0].fileName.isEmpty());
  EXPECT_TRUE(dialogs_.messages.isEmpty());
  EXPECT_EQ(host_.titlesShown, QStringList{QStringLiteral("party.m3u")});
  EXPECT_EQ(settings_.ReadSetting(keys::kPlayList, QString()), Path(QStringLiteral("party.m3u")));
  EXPECT_EQ(settings_.ReadSetting(keys::kListPath, QString()), folder_);
  EXPECT_EQ(chooser_.NextFile(), Path(QStringLiteral("song.mp3")));
  EXPECT_EQ(host_.nextSongShown, QStringList{QStringLiteral("song")});
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Flow, OpenPlaylistReportsMissingAndUnloadableFilesAndIgnoresCancel) {
  flow_.OpenPlaylist();  // Cancel.
  EXPECT_TRUE(dialogs_.messages.isEmpty());

  dialogs_.openAnswers.push_back(Path(QStringLiteral("gone.m3u")));
  flow_.OpenPlaylist();
  ASSERT_EQ(dialogs_.MessageTexts(), QStringList{QStringLiteral("Error loading file.")});
  EXPECT_TRUE(dialogs_.messages[0].title.isEmpty());
  EXPECT_EQ(dialogs_.messages[0].buttons, MessageButtons::Ok);

  dialogs_.openAnswers.push_back(Path(QStringLiteral("notes.txt")));
  flow_.OpenPlaylist();
  EXPECT_EQ(dialogs_.MessageTexts(),
            (QStringList{QStringLiteral("Error loading file."), QStringLiteral("Couldn't load the playlist.")}));
  EXPECT_TRUE(host_.titlesShown.isEmpty());
  EXPECT_TRUE(settings_.ReadSetting(keys::kPlayList, QString()).isEmpty());
  EXPECT_TRUE(host_.nextSongShown.isEmpty());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Flow, DragsAreAcceptedByTheEndingOfTheFirstFileOnly) {
  const QString wav = Path(QStringLiteral("a.wav"));
  const QString m3u = Path(QStringLiteral("b.M3U"));
  EXPECT_FALSE(AcceptsTitleDrop(0, {wav}));
  EXPECT_TRUE(AcceptsTitleDrop(0, {m3u, wav}));
  EXPECT_TRUE(AcceptsTitleDrop(0, {QStringLiteral("/x/list.pls")}));
  EXPECT_FALSE(AcceptsTitleDrop(0, {wav, m3u}));
  EXPECT_FALSE(AcceptsTitleDrop(0, {}));
  EXPECT_FALSE(AcceptsTitleDrop(2, {m3u}));
  EXPECT_TRUE(AcceptsTitleDrop(2, {wav}));
  for (const char* name : {"a.mp3", "a.RA", "a.rm", "a.ram", "a.mid", "a.mp2", "a.mp1"})
    EXPECT_TRUE(AcceptsTitleDrop(6, {QLatin1String(name)})) << name;
  EXPECT_FALSE(AcceptsTitleDrop(1, {QStringLiteral("a.flac")}));
  EXPECT_FALSE(AcceptsTitleDrop(1, {QStringLiteral("a.xra")})) << "\".ra\" counts with its dot";
}

TEST_F(Flow, DroppedPlaylistBecomesCurrentWithoutANewChoiceAndSoundGoesToItsLine) {
  flow_.DropOnTitle(0, {Path(QStringLiteral("party.m3u"))});
  EXPECT_EQ(list_.ListItems.size(), 2);
  EXPECT_EQ(host_.titlesShown, QStringList{QStringLiteral("party.m3u")});
  EXPECT_EQ(settings_.ReadSetting(keys::kPlayList, QString()), Path(QStringLiteral("party.m3u")));
  EXPECT_TRUE(chooser_.NextFile().isEmpty());

  flow_.DropOnTitle(0, {Path(QStringLiteral("gone.pls"))});
  EXPECT_EQ(host_.titlesShown.size(), 1);
  EXPECT_EQ(settings_.ReadSetting(keys::kPlayList, QString()), Path(QStringLiteral("party.m3u")));
  EXPECT_TRUE(dialogs_.messages.isEmpty());

  flow_.DropOnTitle(3, {Path(QStringLiteral("song.mp3"))});
  flow_.DropOnTitle(3, {Path(QStringLiteral("party.m3u"))});
  ASSERT_EQ(host_.opened.size(), 1);
  EXPECT_EQ(host_.opened[0].line, 3);
  EXPECT_EQ(host_.opened[0].path, Path(QStringLiteral("song.mp3")));
  EXPECT_FALSE(host_.opened[0].autoStart);
}

TEST_F(Flow, SavingInLinesRemembersThePlaylistSavingPlsDoesNot) {
  list_.ListItems = {Path(QStringLiteral("song.mp3"))};
  ASSERT_TRUE(flow_.SavePlaylist(folder_, QStringLiteral("saved.pls")));
  EXPECT_TRUE(settings_.ReadSetting(keys::kPlayList, QString()).isEmpty());
  ASSERT_TRUE(flow_.SavePlaylist(folder_, QStringLiteral("saved.mvn")));
  EXPECT_EQ(settings_.ReadSetting(keys::kPlayList, QString()), Path(QStringLiteral("saved.mvn")));
  EXPECT_TRUE(test::ReadBytes(settings_.FilePath()).contains("Playlist="));
}

}  // namespace
}  // namespace marvane
