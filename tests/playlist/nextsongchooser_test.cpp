#include "playlist/nextsongchooser.h"

#include "common/vbconvert.h"
#include "fakehost.h"
#include "support/scripteddialogs.h"
#include "support/testenv.h"

#include <gtest/gtest.h>


namespace marvane::test {
namespace {


class Chooser : public ::testing::Test {
 protected:
  QString Song(const QString& name) { return test::WriteBytes(dir_.filePath(name), "x"); }  // one that exists
  QString Missing(const QString& name) const { return dir_.path() + u"/missing-"_s + name; }
  void SetList(const QStringList& items) {
    list_.ListItems = items;
    list_.ListItemCount = static_cast<qint32>(items.size());
  }

  QTemporaryDir dir_;
  Playlist list_;
  test::FakePlaylistHost host_;
  test::ScriptedDialogs dialogs_;
  QRandomGenerator random_{42};
  NextSongChooser chooser_{list_, host_, dialogs_, random_};
};

TEST_F(Chooser, ListOrderGoesOneTwoThreeOneAndTheWrapFollowsTheLoopSwitch) {
  chooser_.ChooseNextSong();  // an empty list changes nothing and shows nothing
  EXPECT_TRUE(chooser_.NextFile().isEmpty() && host_.nextSongShown.isEmpty() && dialogs_.messages.isEmpty());

  SetList({Song(u"one.mp3"_s), Song(u"two.wav"_s), Song(u"three.mp3"_s)});
  host_.autoPilotOn = true;
  chooser_.SetFirstPick(true);
  chooser_.ChooseNextSong();
  chooser_.ChooseNextSong();
  EXPECT_EQ(chooser_.ListPos(), 3);
  EXPECT_TRUE(host_.autoPilotOn);
  chooser_.ChooseNextSong();
  EXPECT_EQ(chooser_.NextFile(), list_.ListItems[2]);
  EXPECT_EQ(chooser_.ListPos(), 1);
  EXPECT_FALSE(chooser_.FirstPick());
  EXPECT_FALSE(host_.autoPilotOn) << "a list that does not loop ends AutoPilot";
  chooser_.ChooseNextSong();
  EXPECT_EQ(chooser_.NextFile(), list_.ListItems[0]);
  EXPECT_EQ(host_.nextSongShown, (QStringList{u"one"_s, u"two"_s, u"three"_s, u"one"_s}));

  // With the AutoPilot line looping, the wrap keeps AutoPilot on.
  host_.autoPilotOn = true;
  host_.autoPilotLoop = true;
  chooser_.SetFirstPick(true);
  chooser_.ChooseNextSong();
  chooser_.ChooseNextSong();
  EXPECT_EQ(chooser_.ListPos(), 1);
  EXPECT_TRUE(host_.autoPilotOn);

  // A choice never switches a stopped AutoPilot on, looping line or not.
  host_.autoPilotOn = false;
  for (int i = 0; i < 3; ++i) chooser_.ChooseNextSong();
  EXPECT_EQ(chooser_.ListPos(), 1);
  EXPECT_FALSE(host_.autoPilotOn);
}

TEST_F(Chooser, MissingFilesAreSkippedAndTheHundredAndFirstBadCandidateStopsAutoPilotWithTheMessage) {
  SetList({dir_.path(), Song(u"good.mp3"_s)});  // a folder is not a song
  chooser_.ChooseNextSong();
  ASSERT_EQ(chooser_.NextFile(), list_.ListItems[1]);

  QStringList missing;
  for (int i = 0; i < 100; ++i) missing << Missing(QString::number(i));
  SetList(missing + QStringList{Song(u"too-late.mp3"_s)});
  host_.autoPilotOn = true;
  chooser_.ChooseNextSong();
  ASSERT_EQ(dialogs_.messages.size(), 1);
  EXPECT_TRUE(dialogs_.messages[0].text.startsWith(u"Too many bad filenames in Playlist. If the filenames"_s));
  EXPECT_EQ(dialogs_.messages[0].icon, MessageIcon::None);
  EXPECT_EQ(chooser_.ListPos(), 1);
  EXPECT_FALSE(host_.autoPilotOn);
  EXPECT_EQ(chooser_.NextFile(), dir_.path() + u"/good.mp3"_s) << "the last good choice stays";
  EXPECT_EQ(host_.nextSongShown, QStringList{u"good"_s});

  // One bad candidate fewer, and the song is found.
  SetList(missing.mid(1) + QStringList{Song(u"found.mp3"_s), Missing(u"after"_s)});
  chooser_.ChooseNextSong();
  EXPECT_EQ(chooser_.NextFile(), list_.ListItems[99]);
  EXPECT_EQ(chooser_.ListPos(), 101);
  EXPECT_EQ(dialogs_.messages.size(), 1);

  // The count starts again with the next choice, in SmartRandom order as well.
  host_.smartRandom = true;
  SetList(QStringList(200, Missing(u"all"_s)));
  chooser_.ChooseNextSong();
  EXPECT_EQ(dialogs_.messages.size(), 2);
}

TEST_F(Chooser, ALongerListThanTheNewOneWrapsToItsFirstEntry) {
  SetList({Song(u"a.mp3"_s), Song(u"b.mp3"_s), Song(u"c.mp3"_s), Song(u"d.mp3"_s), Song(u"e.mp3"_s)});
  for (int i = 0; i < 4; ++i) chooser_.ChooseNextSong();
  ASSERT_EQ(chooser_.ListPos(), 5);
  SetList({Song(u"x.mp3"_s), Song(u"y.mp3"_s)});
  chooser_.ChooseNextSong();
  EXPECT_EQ(chooser_.NextFile(), list_.ListItems[0]);
  EXPECT_EQ(chooser_.ListPos(), 2);
}

// The positions a generator in the given state draws from a list of count entries, as SmartRandom draws them.
QList<qint32> Draws(QRandomGenerator generator, int count, int draws) {
  QList<qint32> positions;
  for (int i = 0; i < draws; ++i) {
    qint32 position = static_cast<qint32>(RoundHalfEven(generator.generateDouble() * count));
    positions << (position < 1 ? 1 : position);
  }
  return positions;
}

TEST_F(Chooser, SmartRandomShortensPlayedListAndRejectsDrawsOfRecentSongsIgnoringCase) {
  QStringList items;
  for (int i = 1; i <= 10; ++i) items << Song(u"song%1.mp3"_s.arg(i));
  SetList(items);
  host_.smartRandom = true;
  host_.noRep = 3;
  // A seed whose first draw is one of the two songs that stay in PlayedList, so that a draw is rejected.
  quint32 seed = 1;
  while (!QList<qint32>{5, 6}.contains(Draws(QRandomGenerator(seed), 10, 1).first())) ++seed;
  random_.seed(seed);
  const QList<qint32> draws = Draws(random_, 10, 50);
  qint32 expected = 0;
  for (const qint32 position : draws) {
    if (position != 5 && position != 6) {
      expected = position;
      break;
    }
  }
  list_.PlayedList = {items[4].toUpper(), items[5].toUpper(), items[6], items[7]};

  chooser_.ChooseNextSong();
  EXPECT_EQ(list_.PlayedList, (QStringList{items[4].toUpper(), items[5].toUpper()}));
  EXPECT_EQ(chooser_.ListPos(), expected);
  EXPECT_EQ(chooser_.NextFile(), items[expected - 1]);

  // A first draw that is fresh at once: the removal before drawing and the one of the draw both happened.
  while (Draws(QRandomGenerator(seed), 10, 1).first() <= 8) ++seed;
  random_.seed(seed);
  list_.PlayedList = {items[0], items[1], items[2], items[3]};
  chooser_.ChooseNextSong();
  EXPECT_EQ(list_.PlayedList, (QStringList{items[0], items[1]}));
  EXPECT_EQ(chooser_.ListPos(), Draws(QRandomGenerator(seed), 10, 1).first());
}

TEST_F(Chooser, SmartRandomGivesUpAfterOneThousandDrawsAndTakesTheLast) {
  const QString same = Song(u"same.mp3"_s);
  SetList(QStringList(6, same));
  host_.smartRandom = true;
  host_.noRep = 3;
  list_.PlayedList = {same.toUpper(), u"/x.mp3"_s, u"/y.mp3"_s};
  QRandomGenerator expected = random_;
  for (int i = 0; i < NextSongChooser::kRandomDrawLimit; ++i) expected.generateDouble();

  chooser_.ChooseNextSong();
  EXPECT_EQ(chooser_.NextFile(), same);
  EXPECT_EQ(random_.generate(), expected.generate()) << "exactly 1000 draws";
  EXPECT_EQ(list_.PlayedList.size(), 2);
}

TEST_F(Chooser, SmartRandomOnAShortListTakesEveryDrawAndKeepsPlayedList) {
  const QStringList songs = {Song(u"a.mp3"_s), Song(u"b.mp3"_s), Song(u"c.mp3"_s)};
  // Songs the editor added since the load do not count: the list is as short as it was loaded.
  SetList(songs);
  list_.ListItems << songs << songs << songs;
  host_.smartRandom = true;
  host_.noRep = 2;
  list_.PlayedList = songs;
  QRandomGenerator expected = random_;
  for (int i = 0; i < 20; ++i) {
    chooser_.ChooseNextSong();
    EXPECT_EQ(chooser_.ListPos(), Draws(expected, 12, 1).first());
    expected.generateDouble();
    EXPECT_TRUE(songs.contains(chooser_.NextFile()));
  }
  EXPECT_EQ(list_.PlayedList, songs);
}

}  // namespace
}  // namespace marvane::test
