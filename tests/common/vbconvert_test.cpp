#include "common/vbconvert.h"

#include <gtest/gtest.h>

namespace marvane {
namespace {

TEST(VbConvert, RoundingAndTheNumberParsesOfTheSettings) {
  for (const auto& [value, rounded] : {std::pair{2.5, 2}, {3.5, 4}, {-2.5, -2}, {26.67, 27}, {-0.4, 0}})
    EXPECT_EQ(RoundHalfEven(value), rounded) << value;
  // The leading-number parse takes the numeric start only; an exponent without digits is not part of it, and no
  // infinity leaks out.
  for (const auto& [text, number] : {std::pair{u"75abc", 75.0}, {u"abc", 0.0}, {u"  -1.5e2x", -150.0},
                                     {u"12e", 12.0}, {u".5", 0.5}, {u"-", 0.0}, {u"1e999", 0.0}})
    EXPECT_EQ(LeadingNumber(text), number);
  // Strict numbers reject trailing text.
  EXPECT_EQ(ParseNumber(u" 300 "), 300.0);
  EXPECT_FALSE(ParseNumber(u"300x").has_value());
  EXPECT_FALSE(ParseNumber(u"").has_value());
  // Booleans are words in any case or any number.
  for (const auto& [text, value] : {std::pair{u"True", true}, {u"false", false}, {u"TRUE", true}, {u"0", false},
                                    {u"-1", true}, {u"2.5", true}})
    EXPECT_EQ(ParseBoolean(text), value);
  EXPECT_FALSE(ParseBoolean(u"yes").has_value());
  // Whole numbers round and respect their range.
  for (const auto& [text, number] : {std::pair{u"32767", 32767}, {u"-32768", -32768}, {u"2.5", 2}, {u"3.5", 4}})
    EXPECT_EQ(ParseInt16(text), number);
  EXPECT_FALSE(ParseInt16(u"32768") || ParseInt16(u"abc") || ParseInt32(u"2147483648"));
  EXPECT_EQ(ParseInt32(u"14737632"), 14737632);
}

}  // namespace
}  // namespace marvane
