// The texts of the time displays and the clock: rounding, the dash, the 99-minute cap. The main timer shows these
// texts unchanged (maintimer_test.cpp), so every rounding rule is tested here once.

#include "console/timetext.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <limits>

namespace marvane {
namespace {

TEST(TimeTextTest, WholeSecondsRoundHalvesToEvenAndStayInRange) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const std::pair<double, int> rows[] = {{59.5, 60}, {58.5, 58}, {0.5, 0},     {1.5, 2},        {0.4, 0},   {2.51, 3},
                                         {-0.6, 0},  {-30, 0},   {nan, 0},     {1e12, 32767},   {inf, 32767}};
  for (const auto& [seconds, whole] : rows) EXPECT_EQ(WholeSeconds(seconds), whole) << seconds;
}

TEST(TimeTextTest, RemainingAndElapsedTextsWithTheDashAndTheMinutesCappedAt99) {
  struct Row {
    double duration, position;
    const char *remaining, *elapsed;
  };
  const Row rows[] = {
      {65.0, 5.5, "- 1:00", "0:06"},        // 59.5 left rounds to a whole minute; 5.5 to the even 6
      {10.0, 9.5, "0:00", "0:10"},          // 0.5 left rounds to the even 0: no time left, without the dash
      {10.0, 8.5, "- 0:02", "0:08"},        // 1.5 left rounds to 2; 8.5 to the even 8
      {10.0, 9.0, "- 0:01", "0:09"},        // one second left still has the dash
      {10.0, 12.0, "0:00", "0:12"},         // past the end
      {6030.0, 6001.0, "- 0:29", "99:01"},  // 100 minutes 1 second played
      {7509.0, 0.0, "- 99:09", "0:00"},     // 125 minutes 9 seconds
      {1e12, 0.0, "- 99:07", "0:00"},       // 32767 seconds at most
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.duration << " / " << row.position);
    EXPECT_EQ(RemainingText(row.duration, row.position), QLatin1String(row.remaining));
    EXPECT_EQ(ElapsedText(row.position), QLatin1String(row.elapsed));
  }
  EXPECT_EQ(LineStatusText(QStringLiteral("- 3:07"), QStringLiteral("1:12")),
            QStringLiteral("- 3:07 Remaining, 1:12 Elapsed."));
}

TEST(TimeTextTest, ClockShowsMonthDayYearAndTwelveHourTimeWithTheLongDateInEnglish) {
  const std::pair<QDateTime, const char*> clock[] = {
      {QDateTime(QDate(2026, 12, 4), QTime(15, 5, 59)), "12-4-2026   3:05 PM"},
      {QDateTime(QDate(2027, 1, 9), QTime(0, 0)), "1-9-2027   12:00 AM"},
      {QDateTime(QDate(2027, 7, 31), QTime(12, 30)), "7-31-2027   12:30 PM"}};
  for (const auto& [when, text] : clock) EXPECT_EQ(ClockCaption(when), QLatin1String(text));
  EXPECT_EQ(LongDate(QDate(2028, 2, 29)), QStringLiteral("Tuesday, February 29, 2028"));
}

}  // namespace
}  // namespace marvane
