#include <gtest/gtest.h>

#include "DesignRenderer.h"
#include "FadePattern.h"
#include "RenderTestUtil.h"

namespace azuz {
namespace {

using test::AddFront;
using test::kBlack;

// A black-pen, black-filled 9x9 square at the page corner, rendered at `fade`.
WatermarkImage SquareAt(std::int32_t fade) {
  CORVELIXImageToolDoc doc;
  doc.pageWidth = 576;
  doc.fadeLevel = fade;
  AddFront(doc, ObjectKind::Rectangle, 0, 0, 9, 9, kBlack, kBlack);
  return *RenderWatermarkImage(doc);
}

TEST(FadePattern, LevelDecidesHowManyOfNineDotsSurvive) {
  EXPECT_EQ(test::PrintedCount(SquareAt(0)), 81);
  EXPECT_EQ(test::PrintedCount(SquareAt(5)), 81);
  EXPECT_EQ(test::PrintedCount(SquareAt(50)), 36);
  EXPECT_EQ(test::PrintedCount(SquareAt(90)), 0);
  EXPECT_EQ(test::PrintedCount(SquareAt(100)), 0);
  // Outside 0..100 (unsigned, so negatives too) no pass runs at all.
  EXPECT_EQ(test::PrintedCount(SquareAt(101)), 81);
  EXPECT_EQ(test::PrintedCount(SquareAt(-1)), 81);
}

TEST(FadePattern, AtFiftyOnlyMatrixValuesSixToNineSurvive) {
  const WatermarkImage image = SquareAt(50);
  const std::set<std::pair<int, int>> kept = {{0, 2}, {1, 0}, {1, 1}, {2, 2}};
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 9; ++x) {
      EXPECT_EQ(test::PrintedAt(image, 576, x, y), kept.count({x % 3, y % 3}) == 1)
          << x << "," << y;
    }
  }
}

TEST(FadePattern, RunsOverTheRectangleOnlyOnceInEffectAndOnlyOnTheCanvas) {
  Canvas once(20, 20, 0xFF000000u);
  ApplyFadePattern(once, -5, -5, 12, 30, 50);
  Canvas twice(20, 20, 0xFF000000u);
  ApplyFadePattern(twice, -5, -5, 12, 30, 50);
  ApplyFadePattern(twice, -5, -5, 12, 30, 50);
  EXPECT_EQ(test::InkOf(once), test::InkOf(twice));
  for (int y = 0; y < 20; ++y) {
    for (int x = 12; x < 20; ++x) {
      EXPECT_EQ(once.Pixel(x, y), 0xFF000000u) << x << "," << y;
    }
  }
  EXPECT_EQ(once.Pixel(0, 0), kWhitePixel);  // matrix 1
  // Rectangles far off the canvas, or reversed, change nothing.
  Canvas untouched(20, 20, 0xFF000000u);
  ApplyFadePattern(untouched, INT32_MIN, INT32_MIN, -1, INT32_MAX, 100);
  ApplyFadePattern(untouched, 15, 0, 5, 20, 100);
  ApplyFadePattern(untouched, 0, 15, 20, 5, 100);
  EXPECT_EQ(test::InkOf(untouched).size(), 400u);
}

}  // namespace
}  // namespace azuz
