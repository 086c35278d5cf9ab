#include <gtest/gtest.h>

#include <climits>

#include "DesignRenderer.h"
#include "FadePattern.h"
#include "RenderTestUtil.h"

namespace azuz {
namespace {

using test::AddFront;
using test::kBlack;
using test::kWhite;
using test::PrintedAt;
using test::PrintedCount;

CORVELIXImageToolDoc Page(std::int32_t fade) {
  CORVELIXImageToolDoc doc;
  doc.pageWidth = 576;
  doc.fadeLevel = fade;
  return doc;
}

TEST(DrawDesign, OverlappingRectanglesAreThinnedAsByOnePass) {
  CORVELIXImageToolDoc doc = Page(50);
  AddFront(doc, ObjectKind::Rectangle, 20, 20, 120, 100, kNoColour, kBlack);  // back
  AddFront(doc, ObjectKind::Rectangle, 60, 60, 180, 160, kNoColour, kBlack);  // front
  const WatermarkImage image = *RenderWatermarkImage(doc);
  for (int y = 20; y < 159; ++y) {
    for (int x = 20; x < 179; ++x) {
      const bool inBack = x < 119 && y < 99;
      const bool inFront = x >= 60 && y >= 60;
      const bool survives = FadeMatrix[(x % 3) * 3 + y % 3] > 5;
      EXPECT_EQ(PrintedAt(image, 576, x, y), (inBack || inFront) && survives) << x << "," << y;
    }
  }
}

TEST(DrawDesign, FrontObjectIsDrawnOverTheBackOne) {
  CORVELIXImageToolDoc doc = Page(0);
  AddFront(doc, ObjectKind::Rectangle, 20, 20, 120, 100, kNoColour, kBlack);
  AddFront(doc, ObjectKind::Rectangle, 60, 60, 180, 160, test::kRed, kWhite, 2);
  const WatermarkImage image = *RenderWatermarkImage(doc);
  EXPECT_TRUE(PrintedAt(image, 576, 30, 30));
  EXPECT_TRUE(PrintedAt(image, 576, 60, 80));   // the red outline
  EXPECT_FALSE(PrintedAt(image, 576, 80, 80));  // pure white fill blanks what lies behind
  EXPECT_FALSE(PrintedAt(image, 576, 150, 150));
}

TEST(DrawDesign, AnyColourButPureWhitePrints) {
  for (const Colour pale : {Colour{0xE0FFFF}, Colour{0xFFFFFE}, Colour{0x01FEFFFF}}) {
    CORVELIXImageToolDoc doc = Page(0);
    AddFront(doc, ObjectKind::Rectangle, 0, 0, 11, 11, kNoColour, pale);
    AddFront(doc, ObjectKind::Ellipse, 20, 0, 31, 11, pale, pale, 2);
    CORVELIXImageToolDoc black = Page(0);
    AddFront(black, ObjectKind::Rectangle, 0, 0, 11, 11, kNoColour, kBlack);
    AddFront(black, ObjectKind::Ellipse, 20, 0, 31, 11, kBlack, kBlack, 2);
    EXPECT_EQ(*RenderWatermarkImage(doc), *RenderWatermarkImage(black)) << std::hex << pale;
  }
}

TEST(DrawDesign, ReversedRectangleGetsNoFadePass) {
  CORVELIXImageToolDoc forward = Page(50);
  AddFront(forward, ObjectKind::Line, 10, 10, 100, 100, kBlack, kNoColour);
  CORVELIXImageToolDoc backward = Page(50);
  AddFront(backward, ObjectKind::Line, 100, 100, 10, 10, kBlack, kNoColour);
  EXPECT_EQ(PrintedCount(*RenderWatermarkImage(backward)), 90);
  EXPECT_EQ(PrintedCount(*RenderWatermarkImage(forward)), 60);
}

TEST(DrawDesign, UnknownKindsAndPicturelessBitmapsDrawNothingButAreFaded) {
  // A reversed line gets no pass of its own; the two objects in front thin it under theirs.
  CORVELIXImageToolDoc doc = Page(50);
  AddFront(doc, ObjectKind::Line, 100, 100, 10, 10, kBlack, kNoColour);
  AddFront(doc, ObjectKind::Rectangle, 0, 0, 50, 50, kBlack, kBlack).kind = 7;
  DrawObject& bitmap = AddFront(doc, ObjectKind::Bitmap, 50, 50, 101, 101, kBlack, kBlack);
  bitmap.picturePath = "missing.bmp";
  const WatermarkImage image = *RenderWatermarkImage(doc);
  for (int k = 11; k <= 100; ++k) {
    EXPECT_EQ(PrintedAt(image, 576, k, k), k % 3 != 0) << k;
  }
  EXPECT_EQ(PrintedCount(image), 60);
}

TEST(DrawDesign, TextWithoutColourPrintsOnlyItsFill) {
  CORVELIXImageToolDoc doc = Page(0);
  DrawObject& text = AddFront(doc, ObjectKind::Text, 30, 40, 10, 20, kNoColour, kBlack);
  text.SetText("TEXT", FontRecord{}, kNoColour, 0, 10);
  text.left = 30;
  text.top = 40;
  text.right = 10;
  text.bottom = 20;
  const WatermarkImage image = *RenderWatermarkImage(doc);
  // A reversed side is filled from the smaller edge plus one up to the larger plus one.
  EXPECT_EQ(PrintedCount(image), 20 * 20);
  EXPECT_TRUE(PrintedAt(image, 576, 11, 21));
  EXPECT_TRUE(PrintedAt(image, 576, 30, 40));
  EXPECT_FALSE(PrintedAt(image, 576, 10, 20));
}

TEST(DrawDesign, ObjectsBeyondThePageAreCutAtItsEdge) {
  CORVELIXImageToolDoc doc = Page(0);
  doc.pageWidth = 570;
  AddFront(doc, ObjectKind::Rectangle, 540, -10, 600, 340, kNoColour, kBlack);
  AddFront(doc, ObjectKind::Ellipse, -50, -50, 30, 30, kBlack, kBlack, 3);
  AddFront(doc, ObjectKind::Line, -100, 200, 700, 200, kBlack, kNoColour, 5);
  const WatermarkImage image = *RenderWatermarkImage(doc);
  ASSERT_EQ(image.size(), 23769u);
  EXPECT_TRUE(PrintedAt(image, 570, 569, 0));
  EXPECT_TRUE(PrintedAt(image, 570, 0, 200));
  EXPECT_TRUE(PrintedAt(image, 570, 0, 0));
  for (int y = 0; y < 330; ++y) {
    EXPECT_EQ(image[9 + static_cast<std::size_t>(y) * 72 + 71] & 0x3F, 0) << y;
  }
}

// Shapes reaching across the whole 32-bit range cost no more than the page they cover.
TEST(DrawDesign, HugeCoordinatesAndPensRenderAsTheirVisiblePart) {
  auto printed = [](auto&& add) {
    CORVELIXImageToolDoc doc = Page(0);
    add(doc);
    return *RenderWatermarkImage(doc);
  };
  const int page = 576 * 330;
  // The right side of a 2^31-dot pen inside this frame covers the whole page.
  EXPECT_EQ(PrintedCount(printed([](auto& d) {
              AddFront(d, ObjectKind::Rectangle, INT_MIN, INT_MIN, INT_MAX, INT_MAX, kBlack,
                       kNoColour, INT_MIN);
            })),
            page);
  EXPECT_EQ(PrintedCount(printed([](auto& d) {
              AddFront(d, ObjectKind::Ellipse, INT_MIN, INT_MIN, INT_MAX, INT_MAX, kNoColour,
                       kBlack);
            })),
            page);
  // The page lies inside this flat ellipse, well away from its outline.
  EXPECT_EQ(PrintedCount(printed([](auto& d) {
              AddFront(d, ObjectKind::Ellipse, INT_MIN, -1000, INT_MAX, 1000, kBlack, kNoColour);
              AddFront(d, ObjectKind::Ellipse, INT_MIN, INT_MIN, INT_MAX, INT_MAX, kBlack,
                       kNoColour, 1 << 30);
            })),
            0);
  // Far end points are scaled down by 8, which leaves this line on the diagonal.
  const WatermarkImage diagonal = printed([](auto& d) {
    AddFront(d, ObjectKind::Line, INT_MIN, INT_MIN, INT_MAX, INT_MAX - 7, kBlack, kNoColour);
  });
  EXPECT_EQ(PrintedCount(diagonal), 330);
  EXPECT_TRUE(PrintedAt(diagonal, 576, 0, 0));
  EXPECT_TRUE(PrintedAt(diagonal, 576, 329, 329));
  EXPECT_EQ(PrintedCount(printed([](auto& d) {
              AddFront(d, ObjectKind::Line, INT_MAX, 5, INT_MIN, 300, kBlack, kNoColour, INT_MAX);
            })),
            page);
  EXPECT_EQ(PrintedCount(printed([](auto& d) {
              AddFront(d, ObjectKind::Line, 0, INT_MIN, 400, INT_MAX, kBlack, kNoColour, 7);
            })),
            7 * 330);

  // Reaching the page only with the rim of an enormous pen dot.
  const WatermarkImage rim = printed([](auto& d) {
    AddFront(d, ObjectKind::Line, -1000000, 165, -1000000, 165, kBlack, kNoColour, 2000100);
  });
  EXPECT_TRUE(PrintedAt(rim, 576, 0, 165));
  EXPECT_TRUE(PrintedAt(rim, 576, 45, 165));
  EXPECT_TRUE(PrintedAt(rim, 576, 0, 0));
  EXPECT_FALSE(PrintedAt(rim, 576, 55, 165));
  EXPECT_FALSE(PrintedAt(rim, 576, 52, 0));
}

}  // namespace
}  // namespace azuz
