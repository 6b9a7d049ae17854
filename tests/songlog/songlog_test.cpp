#include "songlog/songlog.h"

#include "playlist/fileutil.h"
#include "playlist/profilefile.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace marvane {
namespace {

using test::ReadBytes;
using test::WriteBytes;

const QDateTime kNow(QDate(2026, 12, 5), QTime(17, 5, 9));

class SongLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    options_.Logging = true;
    options_.LogAll = true;
    options_.LogFile = dir_.path() + QStringLiteral("/songs.log");
  }
  // Waits for the LogTimer write that a LogSong request started.
  bool WaitForEntry() {
    QSignalSpy spy(&log_, &SongLog::EntryLogged);
    return spy.wait(3000);
  }
  QString Value(const QString& section, const QString& key) const {
    return ProfileFile::Load(options_.LogFile).Value(section, key).value_or(QStringLiteral("<missing>"));
  }

  QTemporaryDir dir_;
  SongLogOptions options_;
  SongLog log_{[this] { return options_; }, [] { return kNow; }, QLocale(QLocale::German, QLocale::Germany)};
};

TEST_F(SongLogTest, FirstSongCreatesTheLogWithTotalFirstAndTheEntryKeysInOrder) {
  log_.LogSong(QStringLiteral("/music/Intro.mp3"), true);
  EXPECT_EQ(log_.LogTimer().objectName(), QStringLiteral("LogTimer"));
  EXPECT_TRUE(log_.LogTimer().isActive());
  EXPECT_FALSE(QFile::exists(options_.LogFile)) << "nothing is written before the timer fires";
  ASSERT_TRUE(WaitForEntry());
  EXPECT_EQ(ReadBytes(options_.LogFile),
            QByteArray("[Total]\nEntries=1\n[Songs]\n1 File=Intro\n1 Date=05.12.26\n1 Time=17:05:09\n"));
  EXPECT_EQ(log_.LogCount(), 1);
  EXPECT_FALSE(log_.LogTimer().isActive());
}

TEST_F(SongLogTest, TheSongIsItsBareNameOrWithLogPathItsFullPathCutTo80Characters) {
  options_.LogPath = true;
  const QString longPath = QStringLiteral("/music/") + QString(90, QLatin1Char('l')) + QStringLiteral(".mp3");
  log_.LogSong(longPath, true);
  ASSERT_TRUE(WaitForEntry());
  EXPECT_EQ(Value(QStringLiteral("Songs"), QStringLiteral("1 File")), longPath.left(80));
  EXPECT_TRUE(ReadBytes(options_.LogFile).contains("1 File=" + longPath.left(80).toUtf8() + '\n'));

  options_.LogPath = false;
  log_.LogSong(QStringLiteral("/music/a.b/Set One.final.mp3"), true);
  ASSERT_TRUE(WaitForEntry());
  EXPECT_EQ(Value(QStringLiteral("Songs"), QStringLiteral("2 File")), QStringLiteral("Set One.final"));
}

TEST_F(SongLogTest, LineSongsAreLoggedOnlyWithLogAllAndNothingWhileLoggingIsOff) {
  options_.LogAll = false;
  log_.LogSong(QStringLiteral("/music/line.mp3"), false);
  EXPECT_FALSE(log_.LogTimer().isActive());
  log_.LogSong(QStringLiteral("/music/autopilot.mp3"), true);
  ASSERT_TRUE(WaitForEntry());
  EXPECT_EQ(Value(QStringLiteral("Songs"), QStringLiteral("1 File")), QStringLiteral("autopilot"));

  options_.LogAll = true;
  log_.LogSong(QStringLiteral("/music/line.mp3"), false);
  ASSERT_TRUE(WaitForEntry());
  EXPECT_EQ(Value(QStringLiteral("Songs"), QStringLiteral("2 File")), QStringLiteral("line"));

  options_.Logging = false;
  log_.LogSong(QStringLiteral("/music/off.mp3"), true);
  EXPECT_FALSE(log_.LogTimer().isActive());
  // Logging switched off between the request and the timer: nothing is written either.
  options_.Logging = true;
  log_.LogSong(QStringLiteral("/music/late.mp3"), true);
  options_.Logging = false;
  QSignalSpy spy(&log_, &SongLog::EntryLogged);
  EXPECT_FALSE(spy.wait(900));
  EXPECT_EQ(Value(QStringLiteral("Total"), QStringLiteral("Entries")), QStringLiteral("2"));
}

TEST_F(SongLogTest, TwoRequestsWithin500MillisecondsGiveOneEntryForTheLaterSong) {
  log_.LogSong(QStringLiteral("/music/first.mp3"), false);
  QTest::qWait(250);
  ASSERT_TRUE(log_.LogTimer().isActive());
  log_.LogSong(QStringLiteral("/music/second.mp3"), false);
  // Qt's coarse timers may move the deadline by a few percent; a restarted timer would show about 500 ms.
  EXPECT_LT(log_.LogTimer().remainingTime(), 400) << "a later request does not restart the timer";
  EXPECT_EQ(log_.LogSongFile(), QStringLiteral("/music/second.mp3"));
  ASSERT_TRUE(WaitForEntry());
  QSignalSpy spy(&log_, &SongLog::EntryLogged);
  EXPECT_FALSE(spy.wait(700));
  EXPECT_EQ(Value(QStringLiteral("Total"), QStringLiteral("Entries")), QStringLiteral("1"));
  EXPECT_EQ(Value(QStringLiteral("Songs"), QStringLiteral("1 File")), QStringLiteral("second"));
}

TEST_F(SongLogTest, NumberingContinuesFromTheFileAndKeepsItsOtherLines) {
  WriteBytes(options_.LogFile,
             "; kept\r\n[Total]\r\nEntries=41\r\n[Songs]\r\n41 File=Old\r\n41 Date=1.1.26\r\n41 Time=1:00:00\r\n");
  log_.LogSong(QStringLiteral("/music/New.mp3"), true);
  ASSERT_TRUE(WaitForEntry());
  EXPECT_EQ(ReadBytes(options_.LogFile),
            QByteArray("; kept\r\n[Total]\r\nEntries=42\r\n[Songs]\r\n41 File=Old\r\n41 Date=1.1.26\r\n"
                       "41 Time=1:00:00\r\n42 File=New\r\n42 Date=05.12.26\r\n42 Time=17:05:09\r\n"));
  EXPECT_EQ(log_.LogCount(), 42);
}

TEST_F(SongLogTest, EntriesThatAreNotANumberRestartAtOneOverTheOldKeys) {
  WriteBytes(options_.LogFile, "[Total]\nEntries=many\n[Songs]\n1 File=Old\n1 Date=x\n1 Time=y\n2 File=Two\n");
  log_.LogTimer_Timer();
  EXPECT_EQ(log_.LogCount(), 1);
  EXPECT_EQ(ReadBytes(options_.LogFile),
            QByteArray("[Total]\nEntries=1\n[Songs]\n1 File=\n1 Date=05.12.26\n1 Time=17:05:09\n2 File=Two\n"));
}

TEST_F(SongLogTest, ChangesMadeToTheFileBetweenWritesAreSeen) {
  log_.LogSong(QStringLiteral("/music/one.mp3"), true);
  ASSERT_TRUE(WaitForEntry());
  // The viewer clears the log, or another program edits it.
  WriteBytes(options_.LogFile, "[Total]\nEntries=9\n[Songs]\n");
  log_.LogSong(QStringLiteral("/music/two.mp3"), true);
  ASSERT_TRUE(WaitForEntry());
  EXPECT_EQ(ReadBytes(options_.LogFile),
            QByteArray("[Total]\nEntries=10\n[Songs]\n10 File=two\n10 Date=05.12.26\n10 Time=17:05:09\n"));
  QFile::remove(options_.LogFile);
  log_.LogTimer_Timer();
  EXPECT_EQ(log_.LogCount(), 1) << "a new file starts again at 1";
}

TEST_F(SongLogTest, ALogThatCannotBeWrittenIsLeftAloneAndTheRunGoesOn) {
  WriteBytes(dir_.path() + QStringLiteral("/plain-file"), "not a folder");
  options_.LogFile = dir_.path() + QStringLiteral("/plain-file/songs.log");
  QSignalSpy spy(&log_, &SongLog::EntryLogged);
  log_.LogSong(QStringLiteral("/music/one.mp3"), true);
  log_.LogTimer_Timer();
  EXPECT_EQ(log_.LogCount(), 1);
  EXPECT_EQ(spy.count(), 0);
  EXPECT_EQ(ReadBytes(dir_.path() + QStringLiteral("/plain-file")), QByteArray("not a folder"));
  EXPECT_FALSE(log_.LogTimer().isActive());

  // The same object writes again once the file can be written.
  options_.LogFile = dir_.path() + QStringLiteral("/songs.log");
  log_.LogTimer_Timer();
  EXPECT_EQ(spy.count(), 1);
  EXPECT_EQ(Value(QStringLiteral("Songs"), QStringLiteral("1 File")), QStringLiteral("one"));
}

TEST(SongLogTexts, DateIsTheShortFormatAndTimeHasSecondsWithoutATimeZone) {
  const QLocale us(QLocale::English, QLocale::UnitedStates);
  const QLocale uk(QLocale::English, QLocale::UnitedKingdom);
  EXPECT_EQ(SongLog::DateText(QDate(2026, 12, 5), us), QStringLiteral("12/5/26"));
  EXPECT_EQ(SongLog::TimeText(QTime(17, 5, 9), us), QStringLiteral("5:05:09 PM"));
  EXPECT_EQ(SongLog::DateText(QDate(2026, 12, 5), uk), QStringLiteral("05/12/2026"));
  EXPECT_EQ(SongLog::TimeText(QTime(7, 5, 9), uk), QStringLiteral("07:05:09"));
  EXPECT_EQ(SongLog::TimeText(QTime(7, 5, 9), QLocale(QLocale::Japanese, QLocale::Japan)),
            QStringLiteral("7\u664205\u520609\u79D2"));
}

}  // namespace
}  // namespace marvane
