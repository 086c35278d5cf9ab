#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "EllipseRows.h"
#include "RenderTestUtil.h"

namespace azuz {
namespace {

using test::Dot;
using test::InkOf;
using test::Style;

constexpr std::uint32_t kPen = 0xFFFF0000u;   // red
constexpr std::uint32_t kFill = 0xFF0000FFu;  // blue

using Draw = void (*)(Canvas&, const Box&, const ShapeStyle&);

Canvas Drawn(Draw draw, const Box& box, const ShapeStyle& style) {
  Canvas canvas(80, 80);
  draw(canvas, box, style);
  return canvas;
}

bool Inside(const Dot& d, const Box& b) {
  return d.first >= b.left && d.first < b.right && d.second >= b.top && d.second < b.bottom;
}

TEST(Outline, NeverLeavesTheBoundingRectangleWhateverThePenWidth) {
  for (const Draw draw : {Draw{&DrawRectangle}, Draw{&DrawEllipse}}) {
    for (int w = 1; w <= 12; ++w) {
      for (int size = 1; size <= 16; ++size) {
        const Box box{20, 30, 20 + size, 30 + size + 3};
        for (const Dot& d : InkOf(Drawn(draw, box, Style(test::kRed, test::kBlue, w)))) {
          ASSERT_TRUE(Inside(d, box))
              << "w" << w << " size " << size << " at " << d.first << "," << d.second;
        }
      }
    }
  }
}

TEST(Rectangle, SidesAreAsThickAsThePenWithTheDocumentedCornerCuts) {
  // Dots cut from an outer corner, first rows from the edge.
  const std::vector<std::vector<int>> cuts = {{},     {},     {1},    {1},       {1},
                                              {2, 1}, {2, 1}, {2, 1}, {3, 1, 1}, {3, 2, 1}};
  for (int w = 1; w <= 10; ++w) {
    const Box box{10, 10, 60, 50};
    const Canvas canvas = Drawn(&DrawRectangle, box, Style(test::kRed, test::kBlue, w));
    for (int x = 10 + w; x < 60 - w; ++x) {
      EXPECT_EQ(canvas.Pixel(x, 10 + w - 1), kPen) << w;
      EXPECT_EQ(canvas.Pixel(x, 10 + w), kFill) << w;
      EXPECT_EQ(canvas.Pixel(x, 50 - w), kPen) << w;
      EXPECT_EQ(canvas.Pixel(x, 50 - w - 1), kFill) << w;
    }
    for (int row = 0; row < std::min(w, 4); ++row) {
      const int cut = row < static_cast<int>(cuts[w - 1].size()) ? cuts[w - 1][row] : 0;
      for (int i = 0; i < 5; ++i) {
        // Top-left and bottom-right corners.
        EXPECT_EQ(canvas.Pixel(10 + i, 10 + row) == kPen, i >= cut) << "w" << w << " row " << row;
        EXPECT_EQ(canvas.Pixel(59 - i, 49 - row) == kPen, i >= cut) << "w" << w << " row " << row;
      }
    }
  }
}

TEST(Rectangle, WithoutAPenFillsOneDotNarrowerAndShorter) {
  const Canvas canvas = Drawn(&DrawRectangle, {5, 6, 15, 10}, Style(kNoColour, test::kBlue));
  EXPECT_EQ(test::DotsOf(canvas, kFill).size(), 9u * 3);
  EXPECT_EQ(canvas.Pixel(13, 8), kFill);
  EXPECT_EQ(canvas.Pixel(14, 8), kWhitePixel);
  EXPECT_EQ(canvas.Pixel(13, 9), kWhitePixel);
  EXPECT_TRUE(InkOf(Drawn(&DrawRectangle, {5, 6, 6, 10}, Style(kNoColour, test::kBlue))).empty());
  EXPECT_TRUE(
      InkOf(Drawn(&DrawRectangle, {5, 6, 5, 10}, Style(test::kRed, test::kBlue, 3))).empty());
}

TEST(Shapes, ReversedEdgesDrawLikeTheSortedRectangle) {
  for (const ObjectKind kind : {ObjectKind::Rectangle, ObjectKind::Ellipse}) {
    for (const int w : {1, 3, 6}) {
      auto shape = [&](int l, int t, int r, int b) {
        auto o = std::make_unique<DrawObject>();
        o->kind = static_cast<std::int32_t>(kind);
        o->left = l;
        o->top = t;
        o->right = r;
        o->bottom = b;
        o->penWidth = w;
        o->penColour = test::kRed;
        o->fillColour = test::kBlue;
        return o;
      };
      const auto sorted = shape(10, 12, 50, 41);
      const auto reversed = shape(50, 41, 10, 12);
      Canvas a(80, 80);
      Canvas b(80, 80);
      DrawObjectShape(a, *sorted);
      DrawObjectShape(b, *reversed);
      EXPECT_EQ(test::DotsOf(a, kPen), test::DotsOf(b, kPen)) << w;
      EXPECT_EQ(test::DotsOf(a, kFill), test::DotsOf(b, kFill)) << w;
    }
  }
}

// The fill's stepping stops before the end rows of these.
bool TallAndNarrow(int width, int height) {
  return height >= 2 * (width - 1) * (width - 1) || width >= 2 * (height - 1) * (height - 1);
}

TEST(Ellipse, ThinOutlineTouchesAllFourSides) {
  for (int width = 3; width <= 40; width += 2) {
    for (int height = 3; height <= 40; height += 3) {
      // The outline's stepping stops short of the end rows sooner than the fill's does.
      if (2 * std::max(width, height) > 3 * std::min(width, height)) {
        continue;
      }
      const Box box{10, 10, 10 + width, 10 + height};
      const std::set<Dot> ink = InkOf(Drawn(&DrawEllipse, box, Style(test::kRed, kNoColour)));
      auto any = [&ink](auto pred) { return std::any_of(ink.begin(), ink.end(), pred); };
      EXPECT_TRUE(any([&](const Dot& d) { return d.first == box.left; })) << width << "x" << height;
      EXPECT_TRUE(any([&](const Dot& d) { return d.first == box.right - 1; }));
      EXPECT_TRUE(any([&](const Dot& d) { return d.second == box.top; })) << width << "x" << height;
      EXPECT_TRUE(any([&](const Dot& d) { return d.second == box.bottom - 1; }));
    }
  }
}

TEST(Ellipse, WithoutAPenIsTheOutlinedEllipseOneDotSmaller) {
  // Both real ellipses: boxes of 3 or fewer dots each way fall back to rectangles.
  for (int width = 4; width <= 24; ++width) {
    for (int height = 4; height <= 24; height += 2) {
      if (TallAndNarrow(width - 1, height - 1)) {
        continue;
      }
      const Canvas bare =
          Drawn(&DrawEllipse, {10, 10, 10 + width, 10 + height}, Style(kNoColour, test::kBlue));
      const Canvas outlined =
          Drawn(&DrawEllipse, {10, 10, 9 + width, 9 + height}, Style(test::kBlue, test::kBlue));
      EXPECT_EQ(InkOf(bare), InkOf(outlined)) << width << "x" << height;
    }
  }
}

TEST(EllipseRows, VeryTallNarrowEllipsesLeaveTheirEndRowsEmpty) {
  const EllipseRows complete(3, 7);
  const EllipseRows cut(3, 8);
  EXPECT_GE(complete.Inset(0), 0);
  EXPECT_GE(complete.Inset(6), 0);
  EXPECT_EQ(cut.Inset(0), -1);
  EXPECT_EQ(cut.Inset(7), -1);
  EXPECT_EQ(cut.Inset(4), 0);
  const EllipseRows pen(2, 2);  // the 2-dot pen dot is complete
  EXPECT_EQ(pen.Inset(0), 0);
  EXPECT_EQ(pen.Inset(1), 0);
}

// Wide outlines skip the body of a unit step along an axis: it lies in the start's dot, as
// long as the dot's middle row and column are complete: so for every width it does so for.
TEST(EllipseRows, PenDotsHaveCompleteMiddleRowAndColumn) {
  for (std::int64_t w = 2; w <= 4096; ++w) {
    const EllipseRows dot(w, w);
    EXPECT_EQ(dot.Inset(w / 2), 0) << w;
    for (std::int64_t row = 0; row < w; ++row) {
      const std::int64_t inset = dot.Inset(row);
      ASSERT_TRUE(inset >= 0 && inset < (w + 1) / 2) << w << " row " << row;
    }
  }
}

// Past the exact size the ideal ellipse takes over; it must agree with the stepping one
// where both apply to within the rounding of a dot.
TEST(EllipseRows, IdealRowsOfHugeBoxesFollowTheSteppingEllipse) {
  const std::int64_t scale = 4;
  const EllipseRows exact(kExactEllipseSide / scale, kExactEllipseSide / (2 * scale));
  const EllipseRows huge(kExactEllipseSide * scale, kExactEllipseSide / 2 * scale);
  ASSERT_TRUE(exact.Exact());
  ASSERT_FALSE(huge.Exact());
  const std::int64_t rows = scale * scale;  // huge rows per exact row
  // Rows away from the top and bottom, where a row's ends move a dot or two per row at most.
  const std::int64_t h = exact.Height();
  for (std::int64_t row = h / 10; row < h - h / 10; row += 97) {
    const double a = static_cast<double>(exact.Inset(row)) / static_cast<double>(exact.Width());
    const double b =
        static_cast<double>(huge.Inset(row * rows + rows / 2)) / static_cast<double>(huge.Width());
    EXPECT_NEAR(a, b, 2.0 / static_cast<double>(exact.Width())) << row;
  }
}

TEST(CanvasPixel, FollowsTheWindowsColourValueForms) {
  EXPECT_EQ(CanvasPixel(0x0080FF), 0xFFFF8000u);    // red in the low byte
  EXPECT_EQ(CanvasPixel(0x02FF8000), 0xFF0080FFu);  // palette-relative: the RGB part
  EXPECT_EQ(CanvasPixel(0x0100000D), 0xFFFF0000u);  // palette index 13
  EXPECT_EQ(CanvasPixel(0x01000013), 0xFFFFFFFFu);  // palette index 19
  EXPECT_EQ(CanvasPixel(0x01000015), 0xFF000000u);  // past the palette
  EXPECT_EQ(CanvasPixel(0x10FF0005), 0xFF000000u);  // DIB index
  EXPECT_EQ(CanvasPixel(0xFEFFFFFF), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace azuz
