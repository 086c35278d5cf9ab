#include <gtest/gtest.h>

#include "PrintedDots.h"

namespace azuz {
namespace {

TEST(PrintedDots, EveryDotThatIsNotPureWhitePrintsBlack) {
  // 570 dots: the last byte of each row holds 2 dots and 6 padding bits.
  Canvas page(570, 3);
  page.SetPixel(0, 0, 0xFFFFFFFEu);    // nearly white still prints
  page.SetPixel(569, 1, 0xFFF0F0A0u);  // pale yellow
  page.SetPixel(8, 2, 0xFF000000u);
  const WatermarkImage image = PackCanvas(page);

  Canvas dots(570, 3, 0xFF123456u);
  ASSERT_TRUE(DrawPrintedDots(dots, image));
  int printed = 0;
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 570; ++x) {
      const std::uint32_t dot = dots.Pixel(x, y);
      ASSERT_TRUE(dot == 0xFF000000u || dot == kWhitePixel) << x << "," << y;
      printed += dot == 0xFF000000u ? 1 : 0;
    }
  }
  EXPECT_EQ(printed, 3);
  EXPECT_EQ(dots.Pixel(0, 0), 0xFF000000u);
  EXPECT_EQ(dots.Pixel(569, 1), 0xFF000000u);
  EXPECT_EQ(dots.Pixel(8, 2), 0xFF000000u);
}

TEST(PrintedDots, AnImageOfAnotherPageIsRefusedAndDrawsNothing) {
  const WatermarkImage image = PackCanvas(Canvas(576, 330));
  for (const auto& [w, h] : {std::pair{512, 330}, std::pair{576, 329}, std::pair{568, 330}}) {
    Canvas other(w, h, 0xFF123456u);
    EXPECT_FALSE(DrawPrintedDots(other, image)) << w << "x" << h;
    EXPECT_EQ(other.Pixel(0, 0), 0xFF123456u);
  }
  Canvas page(576, 330);
  WatermarkImage cut = image;
  cut.resize(cut.size() - 1);
  EXPECT_FALSE(DrawPrintedDots(page, cut));
  EXPECT_FALSE(DrawPrintedDots(page, WatermarkImage{}));
}

}  // namespace
}  // namespace azuz
