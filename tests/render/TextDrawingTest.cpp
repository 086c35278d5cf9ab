#include <gtest/gtest.h>

#include <climits>

#include "GlyphCache.h"
#include "TextInk.h"
#include "TextLayout.h"
#include "TextRenderer.h"

namespace azuz {
namespace {

using texttest::Inked;
using texttest::InkOf;
using texttest::TextObject;

// Rectangle 200,100,340,250; the text turns with the escapement the text dialog gives each
// rotation and starts at the corner the rotation selects.
texttest::InkBox DrawTurned(std::int32_t rotation, std::int32_t escapement) {
  Canvas canvas(576, 330);
  DrawObject object = TextObject("TEXT", -24, 200, 100);
  object.right = 340;
  object.bottom = 250;
  object.rotation = rotation;
  object.font.escapement = escapement;
  DrawTextObject(canvas, object);
  return InkOf(canvas);
}

TEST(TextAnchor, UprightTextHangsBelowTheTopLeftCorner) {
  const texttest::InkBox ink = DrawTurned(0, 0);
  ASSERT_FALSE(ink.empty());
  EXPECT_GE(ink.left, 200);
  EXPECT_LE(ink.left, 203);
  EXPECT_GE(ink.top, 100);
  EXPECT_LE(ink.top, 108);
  EXPECT_GT(ink.right - ink.left, ink.bottom - ink.top);
}

TEST(TextAnchor, LeftTurnedTextRisesFromTheBottomLeftCorner) {
  const texttest::InkBox ink = DrawTurned(1, 900);
  ASSERT_FALSE(ink.empty());
  EXPECT_GE(ink.left, 200);
  EXPECT_LE(ink.left, 208);
  EXPECT_LT(ink.bottom, 250);
  EXPECT_GE(ink.bottom, 246);
  EXPECT_GT(ink.bottom - ink.top, ink.right - ink.left);
}

TEST(TextAnchor, RightTurnedTextFallsFromTheTopRightCorner) {
  const texttest::InkBox ink = DrawTurned(2, 2700);
  ASSERT_FALSE(ink.empty());
  EXPECT_LT(ink.right, 340);
  EXPECT_GE(ink.right, 332);
  EXPECT_GE(ink.top, 100);
  EXPECT_LE(ink.top, 104);
  EXPECT_GT(ink.bottom - ink.top, ink.right - ink.left);
}

TEST(TextAnchor, UpsideDownTextEndsAtTheBottomRightCorner) {
  const texttest::InkBox ink = DrawTurned(3, 1800);
  ASSERT_FALSE(ink.empty());
  EXPECT_LT(ink.right, 340);
  EXPECT_GE(ink.right, 336);
  EXPECT_LT(ink.bottom, 250);
  EXPECT_GE(ink.bottom, 242);
  EXPECT_GT(ink.right - ink.left, ink.bottom - ink.top);
}

TEST(TextColour, NoneDrawsNothingAndAColourIsKeptExactly) {
  Canvas canvas(200, 60, 0xFF336699u);
  DrawObject object = TextObject("TEXT Hgjy", -24, 10, 10);
  object.textColour = kNoColour;
  object.font.underline = 1;
  DrawTextObject(canvas, object);
  EXPECT_TRUE(std::all_of(canvas.Data(), canvas.Data() + 200 * 60,
                          [](std::uint32_t p) { return p == 0xFF336699u; }));

  object.textColour = 0x00010203;  // blue 1, green 2, red 3
  DrawTextObject(canvas, object);
  const std::uint32_t solid = ToPixel(object.textColour);
  EXPECT_EQ(solid, 0xFF030201u);
  EXPECT_GT(std::count(canvas.Data(), canvas.Data() + 200 * 60, solid), 100);
}

// Height 0 is 14 dots per em, ascent 13; bilevel, so the pen steps by the mono-hinted advance
// ("X" 8) while the bars run the grey-hinted extent (36).
TEST(TextBars, UnderlineAndStrikeOutSpanTheExtentOnTheirRows) {
  for (const bool strike : {false, true}) {
    Canvas canvas(80, 30);
    DrawObject object = TextObject("TEXT", 0, 0, 0);
    (strike ? object.font.strikeOut : object.font.underline) = 1;
    DrawTextObject(canvas, object);
    const int row = strike ? 9 : 13;
    for (int x = 0; x < 36; ++x) {
      EXPECT_TRUE(Inked(canvas, x, row)) << "x " << x << (strike ? " strike-out" : " underline");
    }
    EXPECT_FALSE(Inked(canvas, 36, row));
    EXPECT_FALSE(Inked(canvas, 35, strike ? 8 : 12));
  }
}

TEST(TextBars, PlainTextHasNoBarAndInksShortOfTheExtent) {
  Canvas canvas(80, 30);
  DrawTextObject(canvas, TextObject("TEXT", 0, 0, 0));
  const texttest::InkBox ink = InkOf(canvas);
  EXPECT_EQ(ink.left, 0);
  EXPECT_EQ(ink.right, 34);
  int underlineRow = 0;
  for (int x = 0; x < 36; ++x) {
    underlineRow += Inked(canvas, x, 13) ? 1 : 0;
  }
  EXPECT_LT(underlineRow, 36);
}

TEST(TextBars, TurnedUnderlineIsAColumnBesideTheRisingText) {
  Canvas canvas(100, 100);
  DrawObject object = TextObject("TEXT", 0, 20, 0);
  object.rotation = 1;
  object.bottom = 80;
  object.font.escapement = 900;
  object.font.underline = 1;
  DrawTextObject(canvas, object);
  // Baseline x = 20 + 13; the bar covers rows 80 - 36 ... 79 of that column.
  for (int y = 44; y < 80; ++y) {
    EXPECT_TRUE(Inked(canvas, 33, y)) << "y " << y;
  }
  EXPECT_FALSE(Inked(canvas, 33, 43));
  EXPECT_FALSE(Inked(canvas, 33, 80));
}

int CountPlaced(const std::u32string& text, FontRecord record, TextPoint reference) {
  GlyphCache cache;
  TextFont* font = cache.FontFor(record);
  if (font == nullptr) {
    return -1;
  }
  int placed = 0;
  LayOutText(cache, *font, text, reference, 576, 330, false,
             [&](FT_UInt, const GlyphEntry&, TextPoint) { ++placed; });
  return placed;
}

TEST(TextBounds, LayoutStopsOnceThePenHasLeftTheCanvasForGood) {
  const std::u32string megabyte(1 << 20, U'W');
  FontRecord record;
  record.height = -24;
  EXPECT_EQ(CountPlaced(megabyte, record, {1000000, 100}), 1);
  EXPECT_LT(CountPlaced(megabyte, record, {0, 100}), 40);
  record.escapement = 900;  // rising, from below the canvas: must pass it first
  const int rising = CountPlaced(megabyte, record, {100, 5000});
  EXPECT_GT(rising, 200);
  EXPECT_LT(rising, 300);
  EXPECT_EQ(CountPlaced(megabyte, record, {100, -1000}), 1);
  record.escapement = 450;
  EXPECT_LT(CountPlaced(megabyte, record, {0, 330}), 60);
}

TEST(TextBounds, TextOffTheCanvasLeavesItWhite) {
  const std::string megabyte(1 << 20, 'W');
  for (const auto& [x, y, escapement] : {std::tuple{1000000, 100, 0}, std::tuple{INT_MIN, 100, 0},
                                         std::tuple{100, -5000, 900}, std::tuple{100, 400, 0}}) {
    Canvas canvas(576, 330);
    DrawObject object = TextObject(megabyte, -24, x, y);
    object.font.escapement = escapement;
    object.font.underline = 1;
    DrawTextObject(canvas, object);
    EXPECT_TRUE(InkOf(canvas).empty()) << x << "," << y << " escapement " << escapement;
  }
}

TEST(TextBounds, AbsurdHeightsFallBackToOneDotPerEm) {
  Canvas reference(100, 40);
  DrawTextObject(reference, TextObject("TEXT Hgjy", 1, 20, 20));
  const texttest::InkBox tiny = InkOf(reference);
  ASSERT_FALSE(tiny.empty());
  EXPECT_LE(tiny.bottom - tiny.top, 1);
  for (const int height : {INT_MIN, INT_MAX, 1 << 30, -65536}) {
    Canvas canvas(100, 40);
    DrawTextObject(canvas, TextObject("TEXT Hgjy", height, 20, 20));
    EXPECT_TRUE(std::equal(canvas.Data(), canvas.Data() + 100 * 40, reference.Data()))
        << "height " << height;
  }
}

// 65535 dots per em (the largest): the stem of an "I" covers the whole canvas, though only
// the part on the canvas is ever rasterised.
TEST(TextBounds, TheLargestEmDrawsWithoutRasterisingTheWholeGlyph) {
  for (const int escapement : {0, 10}) {
    Canvas canvas(200, 100);
    DrawObject object = TextObject("I", -65535, -8000, -20000);
    object.font.escapement = escapement;
    object.font.width = INT_MAX;  // past 100 cell heights: ignored
    DrawTextObject(canvas, object);
    EXPECT_EQ(InkOf(canvas).dots, 200 * 100) << "escapement " << escapement;
  }
}

TEST(TextBounds, ExtremeEscapementsAndWidthsStillDrawOnTheCanvas) {
  for (const auto& [escapement, width] :
       {std::pair{INT_MAX, 0}, std::pair{INT_MIN, 0}, std::pair{0, INT_MIN}, std::pair{0, 2400}}) {
    Canvas canvas(576, 330);
    DrawObject object = TextObject("TEXT Hgjy", -24, 200, 150);
    object.font.escapement = escapement;
    object.font.width = width;
    object.font.underline = 1;
    DrawTextObject(canvas, object);
    EXPECT_GT(InkOf(canvas).dots, 100) << escapement << " " << width;
  }
}

}  // namespace
}  // namespace azuz
