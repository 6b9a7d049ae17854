#include "console/timetext.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <limits>

namespace marvane {
namespace {

TEST(TimeTextTest, WholeSecondsRoundHalvesToEvenAndNeverGoNegative) {
  EXPECT_EQ(WholeSeconds(59.5), 60);
  EXPECT_EQ(WholeSeconds(58.5), 58);
  EXPECT_EQ(WholeSeconds(0.5), 0);
  EXPECT_EQ(WholeSeconds(1.5), 2);
  EXPECT_EQ(WholeSeconds(0.4), 0);
  EXPECT_EQ(WholeSeconds(2.51), 3);
  EXPECT_EQ(WholeSeconds(-0.6), 0);
  EXPECT_EQ(WholeSeconds(-30.0), 0);
  EXPECT_EQ(WholeSeconds(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(WholeSeconds(1e12), 32767);
  EXPECT_EQ(WholeSeconds(std::numeric_limits<double>::infinity()), 32767);
}

TEST(TimeTextTest, MinutesAndSecondsReadMColonSsWithMinutesCappedAt99) {
  EXPECT_EQ(MinutesSeconds(0), QStringLiteral("0:00"));
  EXPECT_EQ(MinutesSeconds(5), QStringLiteral("0:05"));
  EXPECT_EQ(MinutesSeconds(59), QStringLiteral("0:59"));
  EXPECT_EQ(MinutesSeconds(60), QStringLiteral("1:00"));
  EXPECT_EQ(MinutesSeconds(187), QStringLiteral("3:07"));
  EXPECT_EQ(MinutesSeconds(24 * 60 + 30), QStringLiteral("24:30"));
  EXPECT_EQ(MinutesSeconds(99 * 60 + 59), QStringLiteral("99:59"));
  EXPECT_EQ(MinutesSeconds(100 * 60), QStringLiteral("99:00"));
  EXPECT_EQ(MinutesSeconds(125 * 60 + 9), QStringLiteral("99:09"));
  EXPECT_EQ(MinutesSeconds(32767), QStringLiteral("99:07"));
}

TEST(TimeTextTest, RemainingTextHasTheDashPrefixUnlessNothingIsLeft) {
  EXPECT_EQ(RemainingText(59.5, 0.0), QStringLiteral("- 1:00"));
  EXPECT_EQ(RemainingText(100.0, 40.5), QStringLiteral("- 1:00"));  // 59.5 left
  EXPECT_EQ(RemainingText(0.4, 0.0), QStringLiteral("0:00"));
  EXPECT_EQ(RemainingText(10.0, 9.5), QStringLiteral("0:00"));  // 0.5 rounds to the even 0
  EXPECT_EQ(RemainingText(10.0, 8.5), QStringLiteral("- 0:02"));  // 1.5 rounds to 2
  EXPECT_EQ(RemainingText(0.0, 0.0), QStringLiteral("0:00"));     // no file
  EXPECT_EQ(RemainingText(10.0, 12.0), QStringLiteral("0:00"));   // past the end
  EXPECT_EQ(RemainingText(187.0, 0.0), QStringLiteral("- 3:07"));
  EXPECT_EQ(RemainingText(101 * 60 + 15.0, 0.0), QStringLiteral("- 99:15"));
}

TEST(TimeTextTest, ElapsedTextHasNoPrefix) {
  EXPECT_EQ(ElapsedText(0.0), QStringLiteral("0:00"));
  EXPECT_EQ(ElapsedText(0.4), QStringLiteral("0:00"));
  EXPECT_EQ(ElapsedText(59.5), QStringLiteral("1:00"));
  EXPECT_EQ(ElapsedText(72.49), QStringLiteral("1:12"));
  EXPECT_EQ(ElapsedText(-3.0), QStringLiteral("0:00"));
  EXPECT_EQ(ElapsedText(6001.0), QStringLiteral("99:01"));
}

TEST(TimeTextTest, LineStatusTextJoinsBothTimes) {
  EXPECT_EQ(LineStatusText(QStringLiteral("- 3:07"), QStringLiteral("1:12")),
            QStringLiteral("- 3:07 Remaining, 1:12 Elapsed."));
  EXPECT_EQ(LineStatusText(QStringLiteral("0:00"), QStringLiteral("0:00")),
            QStringLiteral("0:00 Remaining, 0:00 Elapsed."));
}

TEST(TimeTextTest, ClockShowsMonthDayYearThreeSpacesAndTwelveHourTime) {
  EXPECT_EQ(ClockCaption(QDateTime(QDate(2026, 12, 4), QTime(15, 5, 59))), QStringLiteral("12-4-2026   3:05 PM"));
  EXPECT_EQ(ClockCaption(QDateTime(QDate(2027, 1, 9), QTime(0, 0))), QStringLiteral("1-9-2027   12:00 AM"));
  EXPECT_EQ(ClockCaption(QDateTime(QDate(2027, 7, 31), QTime(12, 30))), QStringLiteral("7-31-2027   12:30 PM"));
  EXPECT_EQ(ClockCaption(QDateTime(QDate(2027, 7, 31), QTime(9, 7))), QStringLiteral("7-31-2027   9:07 AM"));
  EXPECT_EQ(ClockCaption(QDateTime(QDate(2027, 7, 31), QTime(23, 59, 59))), QStringLiteral("7-31-2027   11:59 PM"));
}

TEST(TimeTextTest, LongDateSpellsWeekdayAndMonthInEnglish) {
  EXPECT_EQ(LongDate(QDate(2026, 12, 4)), QStringLiteral("Friday, December 4, 2026"));
  EXPECT_EQ(LongDate(QDate(2027, 2, 28)), QStringLiteral("Sunday, February 28, 2027"));
  EXPECT_EQ(LongDate(QDate(2028, 2, 29)), QStringLiteral("Tuesday, February 29, 2028"));
}

}  // namespace
}  // namespace marvane
