// The playlist part of the main window on a scripted window (Flow), and what the command line opens through the
// whole program (CommandLineTest).

#include "app/playlistflow.h"

#include "app/apptestfixture.h"
#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "console/autopilot.h"
#include "console/maintimer.h"
#include "playlist/fakehost.h"
#include "playlist/filekinds.h"
#include "playlist/playlist.h"

#include <QDir>
#include <QGuiApplication>

namespace marvane::test {
namespace {


// One console's playlist parts.
struct Console {
  Console(SettingsStore& settings, Dialogs& dialogs, QRandomGenerator& random)
      : chooser(list, host, dialogs, random), flow(list, chooser, host, settings, dialogs) {}
  Playlist list;
  test::FakePlaylistHost host;
  NextSongChooser chooser;
  PlaylistFlow flow;
};

class Flow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    for (const QString& song : {u"song.mp3"_s, u"other.mp3"_s}) test::WriteBytes(Path(song), "x");
    test::WriteBytes(Path(u"party.m3u"_s), "song.mp3\r\nother.mp3\r\n");
    test::WriteBytes(Path(u"notes.txt"_s), "song.mp3\r\n");
  }
  QString Path(const QString& name) const { return folder_ + name; }

  QTemporaryDir dir_;
  const QString folder_ = dir_.path() + u'/';
  test::ScriptedDialogs dialogs_;
  QRandomGenerator random_{7};
  SettingsStore settings_{dir_.path() + u"/settings.ini"_s};
  Console console_{settings_, dialogs_, random_};
  Playlist& list_ = console_.list;
  test::FakePlaylistHost& host_ = console_.host;
  NextSongChooser& chooser_ = console_.chooser;
  PlaylistFlow& flow_ = console_.flow;
};

TEST_F(Flow, CommandLineIsOnePathWithNoQuotesRemovedAndAPlaylistSwitchesAutoPilotOnEvenWhenTheLoadFails) {
  flow_.OpenFromCommandLine(Path(u"gone.pls"_s));
  EXPECT_EQ(flow_.OpenedKind(), PlaylistFlow::kOpenedPlaylist);
  EXPECT_TRUE(host_.autoPilotOn && list_.ListItems.isEmpty());
  EXPECT_TRUE(chooser_.NextFile().isEmpty()) << "the command line chooses no next song";

  host_.autoPilotOn = false;
  flow_.OpenFromCommandLine(QLatin1Char('"') + Path(u"party.m3u"_s) + QLatin1Char('"'));
  EXPECT_EQ(flow_.OpenedKind(), PlaylistFlow::kOpenedNothing);
  EXPECT_TRUE(!host_.autoPilotOn && list_.ListItems.isEmpty());

  flow_.OpenFromCommandLine(Path(u"song.MP3"_s));
  EXPECT_EQ(flow_.OpenedKind(), PlaylistFlow::kOpenedSound);
  ASSERT_EQ(host_.opened.size(), 1);
  EXPECT_EQ(std::tuple(host_.opened[0].line, host_.opened[0].path, host_.opened[0].autoStart),
            std::tuple(1, Path(u"song.MP3"_s), true));

  // A path typed in a terminal is taken from the current folder.
  const QString before = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir_.path()));
  flow_.OpenFromCommandLine(u"party.m3u"_s);
  QDir::setCurrent(before);
  EXPECT_EQ(list_.ListPath, folder_);
  EXPECT_EQ(list_.ListItems.size(), 2);
}

TEST_F(Flow, StartupLoadsTheRememberedPlaylistUnlessItIsGoneOrTheCommandLineOpenedOne) {
  settings_.WriteSetting(keys::kPlayList, Path(u"party.m3u"_s));
  flow_.StartupLoad();
  EXPECT_EQ(list_.ListItems.size(), 2);
  EXPECT_EQ(list_.PlayListName, u"party.m3u"_s);
  EXPECT_EQ(host_.titlesShown, QStringList{u"party"_s});

  test::WriteBytes(Path(u"cli.mvn"_s), "song.mp3\r\n");
  Console other(settings_, dialogs_, random_);
  other.flow.OpenFromCommandLine(Path(u"cli.mvn"_s));
  other.flow.StartupLoad();
  EXPECT_EQ(other.list.ListItems, QStringList{Path(u"song.mp3"_s)});
  EXPECT_EQ(other.host.titlesShown, QStringList{u"cli"_s});

  // A remembered playlist that is gone leaves the list and its title as they were.
  settings_.WriteSetting(keys::kPlayList, Path(u"gone.m3u"_s));
  Console kept(settings_, dialogs_, random_);
  kept.list.PlayListName = u"kept.m3u"_s;
  kept.flow.StartupLoad();
  EXPECT_TRUE(kept.list.ListItems.isEmpty());
  EXPECT_EQ(kept.list.PlayListName, u"kept.m3u"_s);
  EXPECT_EQ(kept.host.titlesShown, QStringList{u"kept"_s});
  Console fresh(settings_, dialogs_, random_);
  fresh.flow.StartupLoad();
  EXPECT_TRUE(fresh.host.titlesShown.isEmpty());
}

TEST_F(Flow, OpenPlaylistAsksWithItsTitleAndFilterLoadsRemembersAndChooses) {
  list_.ListPath = folder_;
  dialogs_.openAnswers.push_back(Path(u"party.m3u"_s));
  flow_.OpenPlaylist();
  ASSERT_EQ(dialogs_.openRequests.size(), 1);
  EXPECT_EQ(dialogs_.openRequests[0].title, u"Open a Playlist file"_s);
  EXPECT_EQ(dialogs_.openRequests[0].filter,
            u"Playlist Files (*.mvn, *.m3u, *.pls)|*.mvn;*.m3u;*.pls|All Files (*.*)|*.*"_s);
  EXPECT_EQ(dialogs_.openRequests[0].folder, folder_);
  EXPECT_TRUE(dialogs_.openRequests[0].fileName.isEmpty());
  EXPECT_TRUE(dialogs_.messages.isEmpty());
  EXPECT_EQ(host_.titlesShown, QStringList{u"party.m3u"_s});
  EXPECT_EQ(settings_.ReadSetting(keys::kPlayList, QString()), Path(u"party.m3u"_s));
  EXPECT_EQ(settings_.ReadSetting(keys::kListPath, QString()), folder_);
  EXPECT_EQ(chooser_.NextFile(), Path(u"song.mp3"_s));
  EXPECT_EQ(host_.nextSongShown, QStringList{u"song"_s});
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Flow, OpenPlaylistReportsMissingAndUnloadableFilesAndIgnoresCancel) {
  flow_.OpenPlaylist();  // Cancel.
  EXPECT_TRUE(dialogs_.messages.isEmpty());

  dialogs_.openAnswers.push_back(Path(u"gone.m3u"_s));
  flow_.OpenPlaylist();
  ASSERT_EQ(dialogs_.MessageTexts(), QStringList{u"Error loading file."_s});
  EXPECT_TRUE(dialogs_.messages[0].title.isEmpty());
  EXPECT_EQ(dialogs_.messages[0].buttons, MessageButtons::Ok);

  dialogs_.openAnswers.push_back(Path(u"notes.txt"_s));
  flow_.OpenPlaylist();
  EXPECT_EQ(dialogs_.MessageTexts(), (QStringList{u"Error loading file."_s, u"Couldn't load the playlist."_s}));
  EXPECT_TRUE(host_.titlesShown.isEmpty());
  EXPECT_TRUE(settings_.ReadSetting(keys::kPlayList, QString()).isEmpty());
  EXPECT_TRUE(host_.nextSongShown.isEmpty());
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(Flow, DragsAreAcceptedByTheEndingOfTheFirstFileOnly) {
  const QString wav = Path(u"a.wav"_s), m3u = Path(u"b.M3U"_s);
  for (const auto& [line, files, accepted] :
       {std::tuple{0, QStringList{wav}, false}, {0, {m3u, wav}, true}, {0, {u"/x/list.pls"_s}, true},
        {0, {wav, m3u}, false}, {0, {}, false}, {2, {m3u}, false}, {2, {wav}, true}, {1, {u"a.flac"_s}, false},
        {1, {u"a.xra"_s}, false}})  // ".ra" counts with its dot
    EXPECT_EQ(AcceptsTitleDrop(line, files), accepted) << line << files.join(u' ').toStdString();
  for (const char* name : {"a.mp3", "a.RA", "a.rm", "a.ram", "a.mid", "a.mp2", "a.mp1"})
    EXPECT_TRUE(AcceptsTitleDrop(6, {QLatin1String(name)})) << name;
}

TEST_F(Flow, DroppedPlaylistBecomesCurrentWithoutANewChoiceAndSoundGoesToItsLine) {
  flow_.DropOnTitle(0, {Path(u"party.m3u"_s)});
  EXPECT_EQ(list_.ListItems.size(), 2);
  EXPECT_EQ(host_.titlesShown, QStringList{u"party.m3u"_s});
  EXPECT_EQ(settings_.ReadSetting(keys::kPlayList, QString()), Path(u"party.m3u"_s));
  EXPECT_TRUE(chooser_.NextFile().isEmpty());

  flow_.DropOnTitle(0, {Path(u"gone.pls"_s)});
  EXPECT_EQ(host_.titlesShown.size(), 1);
  EXPECT_EQ(settings_.ReadSetting(keys::kPlayList, QString()), Path(u"party.m3u"_s));
  EXPECT_TRUE(dialogs_.messages.isEmpty());

  flow_.DropOnTitle(3, {Path(u"song.mp3"_s)});
  flow_.DropOnTitle(3, {Path(u"party.m3u"_s)});
  ASSERT_EQ(host_.opened.size(), 1);
  EXPECT_EQ(std::tuple(host_.opened[0].line, host_.opened[0].path, host_.opened[0].autoStart),
            std::tuple(3, Path(u"song.mp3"_s), false));
}

TEST_F(Flow, SavingInLinesRemembersThePlaylistSavingPlsDoesNot) {
  list_.ListItems = {Path(u"song.mp3"_s)};
  ASSERT_TRUE(flow_.SavePlaylist(folder_, u"saved.pls"_s));
  EXPECT_TRUE(settings_.ReadSetting(keys::kPlayList, QString()).isEmpty());
  ASSERT_TRUE(flow_.SavePlaylist(folder_, u"saved.mvn"_s));
  EXPECT_EQ(settings_.ReadSetting(keys::kPlayList, QString()), Path(u"saved.mvn"_s));
  EXPECT_TRUE(test::ReadBytes(settings_.FilePath()).contains("Playlist="));
}

// What the command line opens at start-up: a sound file plays at once on line 1 instead of the remembered file;
// a playlist becomes the current one and AutoPilot starts on it a few timer ticks after the window shows.
using CommandLineTest = AppTest;

TEST_F(CommandLineTest, ASoundFilePlaysOnLineOneAndAPlaylistStartsAutoPilot) {
  const QString song = Tone(u"song.wav"_s), encore = Tone(u"encore.wav"_s);
  const QString named = Tone(u"named on the command line.wav"_s);
  store_.WriteSetting(keys::File(1), song);
  ASSERT_TRUE(Start(named));  // spaces and all: the whole command line is one path
  EXPECT_EQ(app_->OpenedKind(), PlaylistFlow::kOpenedSound);
  MediaPlayer& line1 = app_->Engine()->Player(1);
  EXPECT_EQ(line1.FileName(), named);
  EXPECT_TRUE(test::WaitFor([&] { return line1.PlayState() == 2; }));

  const QStringList songs = {song, encore, named};
  Restart(test::WriteBytes(Path(u"tonight.m3u"_s), (songs.join(u'\n') + u'\n').toUtf8()));
  EXPECT_EQ(app_->OpenedKind(), PlaylistFlow::kOpenedPlaylist);
  EXPECT_EQ(app_->CurrentPlaylist().ListItems, songs);
  EXPECT_EQ(app_->Form()->Line(0).TitleLabel->text(), u"tonight"_s);
  EXPECT_TRUE(app_->State().AutoPilotOn);
  EXPECT_EQ(app_->Form()->NextSong()->text(), u"song"_s);
  // Nothing plays yet; the stall watchdog of the timer's AutoPilot tick makes a fresh choice (the next entry in
  // list order) and starts it.
  for (int tick = 0; tick < 5; ++tick) app_->Timer()->Tick();
  MediaPlayer& current = app_->Engine()->AP(app_->AutoPilotParts()->CurrentAP());
  EXPECT_TRUE(test::WaitFor([&] { return current.PlayState() == 2; }));
  EXPECT_EQ(app_->Form()->CurrentSong()->text(), u"encore"_s);
}

}  // namespace
}  // namespace marvane::test
