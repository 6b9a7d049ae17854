#include "appearance/colorvalue.h"
#include "appearance/twips.h"

#include <gtest/gtest.h>

namespace marvane {
namespace {

TEST(ColorValue, RedLivesInTheLowByteAndOnlyAnEmptyTopByteIsAColour) {
  EXPECT_EQ(ColorFromValue(0x0080FF), QColor(255, 128, 0));
  EXPECT_EQ(ColorFromValue(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(ValueFromColor(QColor(0x12, 0x34, 0x56)), 0x563412u);
  EXPECT_EQ(ValueFromColor(QColor(10, 20, 30, 40)), 0x1E140Au);  // alpha is dropped
  for (const quint32 value : {0x000000u, 0xFFFFFFu, 0x010203u, 0xE0E0E0u}) {
    EXPECT_EQ(ValueFromColor(ColorFromValue(value)), value) << value;
  }
  EXPECT_TRUE(IsColorValue(0xFFFFFF));
  EXPECT_FALSE(IsColorValue(0x1000000));
  EXPECT_FALSE(IsColorValue(static_cast<quint32>(-1)));
}

TEST(Twips, FifteenTwipsToThePixelWithHalvesToEven) {
  EXPECT_EQ(PixelsToTwips(QSize(193, 34)), QSize(2895, 510));
  EXPECT_DOUBLE_EQ(PixelsToTwips(6.5), 97.5);
  EXPECT_EQ(TwipsToPixels(QSize(1065, 255)), QSize(71, 17));
  EXPECT_EQ(TwipsToPixels(22.5), 2);  // 1.5 pixels: half to even
  EXPECT_EQ(TwipsToPixels(37.5), 2);  // 2.5 pixels: half to even
  EXPECT_EQ(TwipsToPixels(532), 35);
  EXPECT_EQ(TwipsToPixels(300, 3300, 615, 1500), QRect(20, 220, 41, 100));
}

}  // namespace
}  // namespace marvane
