#include "common/vbconvert.h"

#include <cmath>
#include <limits>

namespace marvane {

qint64 RoundHalfEven(double value) {
  // The default floating-point rounding mode is round-to-nearest-even, which nearbyint honours.
  return static_cast<qint64>(std::nearbyint(value));
}

namespace {

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// Length of the numeric start of text from position pos (after blanks), 0 when it holds no digit.
qsizetype NumericPrefixLength(QStringView text, qsizetype pos) {
  const qsizetype start = pos;
  const qsizetype n = text.size();
  if (pos < n && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-'))) ++pos;
  bool digits = false;
  while (pos < n && text[pos].isDigit() && text[pos].unicode() < 128) { ++pos; digits = true; }
  if (pos < n && text[pos] == QLatin1Char('.')) {
    ++pos;
    while (pos < n && text[pos].isDigit() && text[pos].unicode() < 128) { ++pos; digits = true; }
  }
  if (!digits) return 0;
  // An exponent counts only when digits follow it.
  if (pos < n && (text[pos] == QLatin1Char('e') || text[pos] == QLatin1Char('E'))) {
    qsizetype e = pos + 1;
    if (e < n && (text[e] == QLatin1Char('+') || text[e] == QLatin1Char('-'))) ++e;
    if (e < n && text[e].isDigit() && text[e].unicode() < 128) {
      while (e < n && text[e].isDigit() && text[e].unicode() < 128) ++e;
      pos = e;
    }
  }
  return pos - start;
}

double ToDouble(QStringView number) {
  bool ok = false;
  const double value = number.toString().toDouble(&ok);
  return ok && std::isfinite(value) ? value : 0.0;
}

}  // namespace

double LeadingNumber(QStringView text) {
  qsizetype pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  const qsizetype length = NumericPrefixLength(text, pos);
  return length == 0 ? 0.0 : ToDouble(text.mid(pos, length));
}

std::optional<double> ParseNumber(QStringView text) {
  const QStringView trimmed = text.trimmed();
  const qsizetype length = NumericPrefixLength(trimmed, 0);
  if (length == 0 || length != trimmed.size()) return std::nullopt;
  bool ok = false;
  const double value = trimmed.toString().toDouble(&ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<bool> ParseBoolean(QStringView text) {
  const QStringView trimmed = text.trimmed();
  if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
  if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
  if (const auto number = ParseNumber(trimmed)) return *number != 0.0;
  return std::nullopt;
}

namespace {

template <typename Int>
std::optional<Int> ToWhole(double number) {
  if (!std::isfinite(number)) return std::nullopt;
  const double rounded = std::nearbyint(number);
  if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<Int>::max()))
    return std::nullopt;
  return static_cast<Int>(rounded);
}

template <typename Int>
std::optional<Int> ParseWhole(QStringView text) {
  const auto number = ParseNumber(text);
  if (!number) return std::nullopt;
  return ToWhole<Int>(*number);
}

}  // namespace

std::optional<qint16> ToInt16(double value) { return ToWhole<qint16>(value); }
std::optional<qint32> ToInt32(double value) { return ToWhole<qint32>(value); }
std::optional<qint16> ParseInt16(QStringView text) { return ParseWhole<qint16>(text); }
std::optional<qint32> ParseInt32(QStringView text) { return ParseWhole<qint32>(text); }

QString BooleanText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

}  // namespace marvane
