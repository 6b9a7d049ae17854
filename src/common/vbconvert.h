#pragma once
// Conversions between the text the program stores and the values it works with. Stored settings, playlist counts
// and log counts are text; these helpers give the program's rules for turning them back into values:
//  - a Boolean is the word True or False (any letter case) or any number, 0 being False;
//  - whole numbers come from a number rounded to the nearest integer, halves to the even neighbour;
//  - the leading-number parse takes the numeric start of a text and gives 0 when there is none.

#include <QString>
#include <QStringView>

#include <optional>

namespace marvane {

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
qint64 RoundHalfEven(double value);

// The numeric start of a text: optional leading blanks, a sign, digits with at most one decimal point, and an
// optional exponent. "75abc" gives 75, "  -1.5e2x" gives -150, "" and "abc" give 0.
double LeadingNumber(QStringView text);

// The whole text (surrounding blanks allowed) as a number, or nothing when it is not one.
std::optional<double> ParseNumber(QStringView text);

// True/False in any letter case, or any number (0 is False). Nothing for other texts.
std::optional<bool> ParseBoolean(QStringView text);

// A number rounded half to even and range-checked, or nothing when the text is not a number or out of range.
std::optional<qint16> ParseInt16(QStringView text);
std::optional<qint32> ParseInt32(QStringView text);

// A number as a 16-bit or 32-bit whole number (rounded half to even), or nothing when out of range.
std::optional<qint16> ToInt16(double value);
std::optional<qint32> ToInt32(double value);

// The stored form of a Boolean: "True" or "False".
QString BooleanText(bool value);

}  // namespace marvane
