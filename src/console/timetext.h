#pragma once
// The texts of the console's time displays, status line and clock, as pure functions of times and dates, so that
// the main timer only decides where they go.
//
// A time in seconds becomes whole seconds by rounding to the nearest integer with halves to the even neighbour
// (59.5 s remaining is 60 s, 0.5 s is 0 s); a negative time is 0. Minutes and seconds read "m:ss" with the
// minutes capped at 99, so a song longer than 99 minutes shows 99 as its minutes. The remaining time carries the
// prefix "- " except when it is exactly "0:00".
//
// Pure functions; any thread.

#include <QString>

class QDate;
class QDateTime;

namespace marvane {

// Whole seconds of a time in seconds: halves to even, negative (and not-a-number) 0, at most 32767 (the largest
// 16-bit count the displays were designed for, about nine hours).
int WholeSeconds(double seconds);

// "m:ss" of a count of whole seconds, the minutes capped at 99 ("0:00", "3:07", "99:59", "99:05").
QString MinutesSeconds(int seconds);

// What is left of a file: "0:00" when nothing is left (or nothing is open), otherwise "- m:ss".
QString RemainingText(double duration, double position);

// How much of a file has played: "m:ss".
QString ElapsedText(double position);

// The status text of a line: "<remaining> Remaining, <elapsed> Elapsed.".
QString LineStatusText(const QString& remaining, const QString& elapsed);

// The clock's caption: the date as "m-d-yyyy", three spaces and the time as "h:mm AM" (12-hour, English).
QString ClockCaption(const QDateTime& now);

// The long date: "Friday, December 4, 2026" (English names whatever the system's language).
QString LongDate(const QDate& date);

}  // namespace marvane
