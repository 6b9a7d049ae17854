#include "console/timetext.h"

#include "common/vbconvert.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

namespace marvane {

namespace {

constexpr int kMaxMinutes = 99;

// Day and month names and the AM/PM markers are the program's own words, not the user's language.
const QLocale& English() {
  static const QLocale locale(QLocale::English, QLocale::UnitedStates);
  return locale;
}

}  // namespace

int WholeSeconds(double seconds) {
  if (std::isnan(seconds) || seconds <= 0.0) return 0;
  constexpr double kMax = std::numeric_limits<qint16>::max();
  if (seconds >= kMax) return static_cast<int>(kMax);
  const qint64 whole = RoundHalfEven(seconds);
  return whole < 0 ? 0 : static_cast<int>(whole);
}

QString MinutesSeconds(int seconds) {
  if (seconds < 0) seconds = 0;
  const int minutes = std::min(seconds / 60, kMaxMinutes);
  return QStringLiteral("%1:%2").arg(minutes).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString RemainingText(double duration, double position) {
  const int remaining = WholeSeconds(duration - position);
  const QString text = MinutesSeconds(remaining);
  return remaining == 0 ? text : QStringLiteral("- ") + text;
}

QString ElapsedText(double position) { return MinutesSeconds(WholeSeconds(position)); }

QString LineStatusText(const QString& remaining, const QString& elapsed) {
  return remaining + QStringLiteral(" Remaining, ") + elapsed + QStringLiteral(" Elapsed.");
}

QString ClockCaption(const QDateTime& now) {
  return English().toString(now.date(), QStringLiteral("M-d-yyyy")) + QStringLiteral("   ") +
         English().toString(now.time(), QStringLiteral("h:mm AP"));
}

QString LongDate(const QDate& date) { return English().toString(date, QStringLiteral("dddd, MMMM d, yyyy")); }

}  // namespace marvane
