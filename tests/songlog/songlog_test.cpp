// The song log with a fixed clock: what is written when, the entry numbering, and a log that cannot be written.

#include "songlog/songlog.h"

#include "settings/profilefile.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

namespace marvane::test {
namespace {



const QDateTime kNow(QDate(2026, 12, 5), QTime(17, 5, 9));

class SongLogTest : public ::testing::Test {
 protected:
  void SetUp() override { options_ = {true, true, false, dir_.path() + u"/songs.log"_s}; }
  // Waits for the LogTimer write that a LogSong request started.
  bool WaitForEntry() {
    QSignalSpy spy(&log_, &SongLog::EntryLogged);
    return spy.wait(3000);
  }
  QString Value(const QString& section, const QString& key) const {
    return ProfileFile::Load(options_.LogFile).Value(section, key).value_or(u"<missing>"_s);
  }

  QTemporaryDir dir_;
  SongLogOptions options_;
  SongLog log_{[this] { return options_; }, [] { return kNow; }, QLocale(QLocale::German, QLocale::Germany)};
};

TEST_F(SongLogTest, FirstSongCreatesTheLogAndTheSongIsItsBareNameOrItsFullPathCutTo80Characters) {
  log_.LogSong(u"/music/Intro.mp3"_s, true);
  EXPECT_TRUE(log_.LogTimer().isActive());
  EXPECT_FALSE(QFile::exists(options_.LogFile)) << "nothing is written before the timer fires";
  ASSERT_TRUE(WaitForEntry());
  EXPECT_EQ(ReadBytes(options_.LogFile),
            QByteArray("[Total]\nEntries=1\n[Songs]\n1 File=Intro\n1 Date=05.12.26\n1 Time=17:05:09\n"));
  EXPECT_TRUE(log_.LogCount() == 1 && !log_.LogTimer().isActive());

  options_.LogPath = true;
  const QString longPath = u"/music/"_s + QString(90, QLatin1Char('l')) + u".mp3"_s;
  log_.LogSong(longPath, true);
  ASSERT_TRUE(WaitForEntry());
  EXPECT_TRUE(ReadBytes(options_.LogFile).contains("2 File=" + longPath.left(80).toUtf8() + '\n'));

  options_.LogPath = false;
  log_.LogSong(u"/music/a.b/Set One.final.mp3"_s, true);
  ASSERT_TRUE(WaitForEntry());
  EXPECT_EQ(Value(u"Songs"_s, u"3 File"_s), u"Set One.final"_s);
}

TEST_F(SongLogTest, LineSongsAreLoggedOnlyWithLogAllAndNothingWhileLoggingIsOff) {
  options_.LogAll = false;
  log_.LogSong(u"/music/line.mp3"_s, false);
  EXPECT_FALSE(log_.LogTimer().isActive());
  log_.LogSong(u"/music/autopilot.mp3"_s, true);
  ASSERT_TRUE(WaitForEntry());
  EXPECT_EQ(Value(u"Songs"_s, u"1 File"_s), u"autopilot"_s);

  options_.LogAll = true;
  log_.LogSong(u"/music/line.mp3"_s, false);
  ASSERT_TRUE(WaitForEntry());
  EXPECT_EQ(Value(u"Songs"_s, u"2 File"_s), u"line"_s);

  options_.Logging = false;
  log_.LogSong(u"/music/off.mp3"_s, true);
  EXPECT_FALSE(log_.LogTimer().isActive());
  // Logging switched off between the request and the timer: nothing is written either.
  options_.Logging = true;
  log_.LogSong(u"/music/late.mp3"_s, true);
  options_.Logging = false;
  QSignalSpy spy(&log_, &SongLog::EntryLogged);
  EXPECT_FALSE(spy.wait(900));
  EXPECT_EQ(Value(u"Total"_s, u"Entries"_s), u"2"_s);
}

TEST_F(SongLogTest, TwoRequestsWithin500MillisecondsGiveOneEntryForTheLaterSong) {
  log_.LogSong(u"/music/first.mp3"_s, false);
  QTest::qWait(250);
  ASSERT_TRUE(log_.LogTimer().isActive());
  log_.LogSong(u"/music/second.mp3"_s, false);
  // Qt's coarse timers may move the deadline by a few percent; a restarted timer would show about 500 ms.
  EXPECT_LT(log_.LogTimer().remainingTime(), 400) << "a later request does not restart the timer";
  EXPECT_EQ(log_.LogSongFile(), u"/music/second.mp3"_s);
  ASSERT_TRUE(WaitForEntry());
  QSignalSpy spy(&log_, &SongLog::EntryLogged);
  EXPECT_FALSE(spy.wait(700));
  EXPECT_EQ(Value(u"Total"_s, u"Entries"_s), u"1"_s);
  EXPECT_EQ(Value(u"Songs"_s, u"1 File"_s), u"second"_s);
}

TEST_F(SongLogTest, NumberingContinuesFromTheFileAsItIsWhenTheTimerFires) {
  // Each file is written after the request, so what LogSong read ahead has gone stale.
  const std::pair<QByteArray, QByteArray> cases[] = {
      {"; kept\r\n[Total]\r\nEntries=41\r\n[Songs]\r\n41 File=Old\r\n41 Date=1.1.26\r\n41 Time=1:00:00\r\n",
       "; kept\r\n[Total]\r\nEntries=42\r\n[Songs]\r\n41 File=Old\r\n41 Date=1.1.26\r\n41 Time=1:00:00\r\n"
       "42 File=New\r\n42 Date=05.12.26\r\n42 Time=17:05:09\r\n"},
      // Entries that are not a number restart at one, over the old keys.
      {"[Total]\nEntries=many\n[Songs]\n1 File=Old\n1 Date=x\n1 Time=y\n2 File=Two\n",
       "[Total]\nEntries=1\n[Songs]\n1 File=New\n1 Date=05.12.26\n1 Time=17:05:09\n2 File=Two\n"},
      // The viewer cleared the log, or another program edited it.
      {"[Total]\nEntries=9\n[Songs]\n",
       "[Total]\nEntries=10\n[Songs]\n10 File=New\n10 Date=05.12.26\n10 Time=17:05:09\n"},
  };
  for (const auto& [before, after] : cases) {
    log_.LogSong(u"/music/New.mp3"_s, true);
    WriteBytes(options_.LogFile, before);
    ASSERT_TRUE(WaitForEntry());
    EXPECT_EQ(ReadBytes(options_.LogFile), after);
  }
  EXPECT_EQ(log_.LogCount(), 10);
  QFile::remove(options_.LogFile);
  log_.LogTimer_Timer();
  EXPECT_EQ(log_.LogCount(), 1) << "a new file starts again at 1";
}

TEST_F(SongLogTest, ALogThatCannotBeWrittenIsLeftAloneAndTheRunGoesOn) {
  WriteBytes(dir_.path() + u"/plain-file"_s, "not a folder");
  options_.LogFile = dir_.path() + u"/plain-file/songs.log"_s;
  QSignalSpy spy(&log_, &SongLog::EntryLogged);
  log_.LogSong(u"/music/one.mp3"_s, true);
  log_.LogTimer_Timer();
  EXPECT_TRUE(log_.LogCount() == 1 && spy.count() == 0 && !log_.LogTimer().isActive());
  EXPECT_EQ(ReadBytes(dir_.path() + u"/plain-file"_s), QByteArray("not a folder"));

  // The same object writes again once the file can be written.
  options_.LogFile = dir_.path() + u"/songs.log"_s;
  log_.LogTimer_Timer();
  EXPECT_TRUE(spy.count() == 1 && Value(u"Songs"_s, u"1 File"_s) == u"one"_s);
}

// The German texts are checked above; in the United States the date and the twelve-hour time read so.
TEST(SongLogTexts, DateIsTheShortFormatAndTimeHasSecondsWithoutATimeZone) {
  const QLocale us(QLocale::English, QLocale::UnitedStates);
  EXPECT_EQ(SongLog::DateText(QDate(2026, 12, 5), us), u"12/5/26"_s);
  EXPECT_EQ(SongLog::TimeText(QTime(17, 5, 9), us), u"5:05:09 PM"_s);
}

}  // namespace
}  // namespace marvane::test
