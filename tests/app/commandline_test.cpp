// What the command line opens at start-up: a sound file plays at once on line 1; a playlist replaces the
// remembered one and AutoPilot starts on it a few timer ticks after the window shows.

#include "app/apptestfixture.h"
#include "app/settingkeys.h"
#include "audio/audioengine.h"
#include "audio/mediaplayer.h"
#include "console/autopilot.h"
#include "console/mainform.h"
#include "console/maintimer.h"
#include "playlist/playlist.h"
#include "playlist/playlistflow.h"

#include <QFile>
#include <QLabel>

namespace marvane::test {
namespace {

class CommandLineTest : public AppTest {};

TEST_F(CommandLineTest, ASoundFileOpensOnLineOneAndPlaysInsteadOfTheRememberedFile) {
  const QString remembered = Tone(QStringLiteral("remembered.wav"));
  const QString named = Tone(QStringLiteral("named on the command line.wav"));
  store_.WriteSetting(keys::File(1), remembered);
  ASSERT_TRUE(Start(named));  // spaces and all: the whole command line is one path
  EXPECT_EQ(app_->OpenedKind(), PlaylistFlow::kOpenedSound);
  MediaPlayer& line1 = app_->Engine()->Player(1);
  EXPECT_EQ(line1.FileName(), named);
  EXPECT_TRUE(WaitFor([&] { return line1.PlayState() == 2; }));
}

TEST_F(CommandLineTest, APlaylistReplacesTheRememberedOneAndAutoPilotStartsOnIt) {
  const QString song = Tone(QStringLiteral("song.wav"));
  const QString encore = Tone(QStringLiteral("encore.wav"));
  const QString last = Tone(QStringLiteral("last.wav"));
  const QString list = dir_.filePath(QStringLiteral("tonight.m3u"));
  {
    QFile file(list);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(song.toUtf8() + "\n" + encore.toUtf8() + "\n" + last.toUtf8() + "\n");
  }
  store_.WriteSetting(keys::kPlayList, dir_.filePath(QStringLiteral("other.m3u")));
  ASSERT_TRUE(Start(list));
  EXPECT_EQ(app_->OpenedKind(), PlaylistFlow::kOpenedPlaylist);
  EXPECT_EQ(app_->CurrentPlaylist().ListItems, (QStringList{song, encore, last}));
  EXPECT_EQ(app_->Form()->TitleLabel(0)->text(), QStringLiteral("tonight"));
  EXPECT_TRUE(app_->State().AutoPilotOn);
  EXPECT_EQ(app_->Form()->NextSong()->text(), QStringLiteral("song"));
  // Nothing plays yet; the stall watchdog of the timer's AutoPilot tick makes a fresh choice (the next entry in
  // list order) and starts it.
  for (int tick = 0; tick < 5; ++tick) app_->Timer()->Tick();
  MediaPlayer& current = app_->Engine()->AP(app_->AutoPilotParts()->CurrentAP());
  EXPECT_TRUE(WaitFor([&] { return current.PlayState() == 2; }));
  EXPECT_EQ(app_->Form()->CurrentSong()->text(), QStringLiteral("encore"));
}

}  // namespace
}  // namespace marvane::test
