#include "common/vbconvert.h"

#include <gtest/gtest.h>

namespace marvane {
namespace {

TEST(VbConvert, RoundsHalvesToEven) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(26.67), 27);
  EXPECT_EQ(RoundHalfEven(-0.4), 0);
}

TEST(VbConvert, LeadingNumberTakesTheNumericStartOnly) {
  EXPECT_EQ(LeadingNumber(u"75abc"), 75.0);
  EXPECT_EQ(LeadingNumber(u"abc"), 0.0);
  EXPECT_EQ(LeadingNumber(u""), 0.0);
  EXPECT_EQ(LeadingNumber(u"  -1.5e2x"), -150.0);
  EXPECT_EQ(LeadingNumber(u"12e"), 12.0);  // an exponent without digits is not part of the number
  EXPECT_EQ(LeadingNumber(u".5"), 0.5);
  EXPECT_EQ(LeadingNumber(u"-"), 0.0);
  EXPECT_EQ(LeadingNumber(u"1e999"), 0.0);  // no infinity leaks out
}

TEST(VbConvert, StrictNumbersRejectTrailingText) {
  EXPECT_EQ(ParseNumber(u" 300 "), 300.0);
  EXPECT_EQ(ParseNumber(u"1.0"), 1.0);
  EXPECT_FALSE(ParseNumber(u"300x").has_value());
  EXPECT_FALSE(ParseNumber(u"").has_value());
  EXPECT_FALSE(ParseNumber(u"abc").has_value());
}

TEST(VbConvert, BooleansAcceptWordsInAnyCaseAndAnyNumber) {
  EXPECT_EQ(ParseBoolean(u"True"), true);
  EXPECT_EQ(ParseBoolean(u"false"), false);
  EXPECT_EQ(ParseBoolean(u"TRUE"), true);
  EXPECT_EQ(ParseBoolean(u"0"), false);
  EXPECT_EQ(ParseBoolean(u"-1"), true);
  EXPECT_EQ(ParseBoolean(u"2.5"), true);
  EXPECT_FALSE(ParseBoolean(u"yes").has_value());
  EXPECT_FALSE(ParseBoolean(u"").has_value());
  EXPECT_EQ(BooleanText(true), QStringLiteral("True"));
  EXPECT_EQ(BooleanText(false), QStringLiteral("False"));
}

TEST(VbConvert, WholeNumbersRoundAndRespectTheirRange) {
  EXPECT_EQ(ParseInt16(u"32767"), 32767);
  EXPECT_FALSE(ParseInt16(u"32768").has_value());
  EXPECT_EQ(ParseInt16(u"-32768"), -32768);
  EXPECT_EQ(ParseInt16(u"2.5"), 2);
  EXPECT_EQ(ParseInt16(u"3.5"), 4);
  EXPECT_FALSE(ParseInt16(u"abc").has_value());
  EXPECT_EQ(ParseInt32(u"14737632"), 14737632);
  EXPECT_FALSE(ParseInt32(u"2147483648").has_value());
  EXPECT_EQ(ParseInt32(u"-1"), -1);
}

}  // namespace
}  // namespace marvane
