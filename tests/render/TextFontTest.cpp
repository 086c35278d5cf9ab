#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "GlyphCache.h"
#include "TextCharacters.h"
#include "TextLayout.h"
#include "TextPaint.h"

namespace azuz {
namespace {

FontRecord Font(const std::string& face, int height = -24, int weight = 400, int italic = 0,
                int pitchAndFamily = 0) {
  FontRecord record;
  record.SetFaceName(face);
  record.height = height;
  record.weight = weight;
  record.italic = static_cast<std::uint8_t>(italic);
  record.pitchAndFamily = static_cast<std::uint8_t>(pitchAndFamily);
  return record;
}

std::string FileOf(const FaceChoice& choice) {
  return std::filesystem::path(choice.file).filename().string();
}

class FaceChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FT_Init_FreeType(&library_), 0);
    matcher_ = std::make_unique<FontMatcher>(library_);
    if (FileOf(matcher_->Match(Font("Liberation Sans"))) != "LiberationSans-Regular.ttf") {
      GTEST_SKIP() << "fonts-liberation2 is not installed";
    }
  }
  void TearDown() override {
    matcher_.reset();
    FT_Done_FreeType(library_);
  }
  FT_Library library_ = nullptr;
  std::unique_ptr<FontMatcher> matcher_;
};

TEST_F(FaceChoiceTest, MissingFacesFallBackByPitchAndFamilyOnly) {
  EXPECT_EQ(FileOf(matcher_->Match(Font("Arial"))), "LiberationSans-Regular.ttf");
  EXPECT_EQ(FileOf(matcher_->Match(Font("NoSuchFace"))), "LiberationSans-Regular.ttf");
  EXPECT_EQ(FileOf(matcher_->Match(Font("Times New Roman"))), "LiberationSans-Regular.ttf");
  EXPECT_EQ(FileOf(matcher_->Match(Font("Courier New"))), "LiberationSans-Regular.ttf");
  EXPECT_EQ(FileOf(matcher_->Match(Font("NoSuchFace", -24, 400, 0, 0x12))),
            "LiberationSerif-Regular.ttf");
  EXPECT_EQ(FileOf(matcher_->Match(Font("NoSuchFace", -24, 400, 0, 0x31))),
            "LiberationMono-Regular.ttf");
  EXPECT_EQ(FileOf(matcher_->Match(Font("NoSuchFace", -24, 400, 0, 0x01))),
            "LiberationMono-Regular.ttf");
}

TEST_F(FaceChoiceTest, StyleComesFromWeightAndItalicWithoutFakes) {
  EXPECT_EQ(FileOf(matcher_->Match(Font("liberation serif", -24, 551))),
            "LiberationSerif-Bold.ttf");
  EXPECT_EQ(FileOf(matcher_->Match(Font("Liberation Serif", -24, 550))),
            "LiberationSerif-Regular.ttf");
  const FaceChoice boldItalic = matcher_->Match(Font("Liberation Sans", -24, 700, 1));
  EXPECT_EQ(FileOf(boldItalic), "LiberationSans-BoldItalic.ttf");
  EXPECT_FALSE(boldItalic.fakeBold);
  EXPECT_FALSE(boldItalic.fakeItalic);
}

TEST_F(FaceChoiceTest, OnlyTheFacesOwnFamilyCounts) {
  const std::filesystem::path dejavu = "/usr/share/fonts/truetype/dejavu";
  if (!std::filesystem::exists(dejavu / "DejaVuSerifCondensed-Bold.ttf") ||
      !std::filesystem::exists(dejavu / "DejaVuSerif-Bold.ttf")) {
    GTEST_SKIP() << "DejaVu Serif (fonts-dejavu-core and -extra) is not installed";
  }
  // The condensed faces name "DejaVu Serif" as their typographic family only.
  EXPECT_EQ(FileOf(matcher_->Match(Font("DejaVu Serif", -24, 700))), "DejaVuSerif-Bold.ttf");
  EXPECT_EQ(FileOf(matcher_->Match(Font("DejaVu Serif Condensed", -24, 700))),
            "DejaVuSerifCondensed-Bold.ttf");
}

TEST_F(FaceChoiceTest, AStyleTheFamilyLacksIsFaked) {
  const std::filesystem::path math = "/usr/share/fonts/truetype/dejavu/DejaVuMathTeXGyre.ttf";
  if (!std::filesystem::exists(math)) {
    GTEST_SKIP() << "DejaVu Math TeX Gyre is not installed";
  }
  const FaceChoice choice = matcher_->Match(Font("DejaVu Math TeX Gyre", -24, 700, 1));
  EXPECT_EQ(FileOf(choice), "DejaVuMathTeXGyre.ttf");
  EXPECT_TRUE(choice.fakeBold);
  EXPECT_TRUE(choice.fakeItalic);
}

struct CellRow {
  int height, ppem, ascent, descent, ulSize, ulPos, soSize, soPos;
  bool grey;
  int extent;
};

// Liberation Sans 2.1.5, every number as GDI reports it.
TEST(TextCell, MetricsGreyChoiceAndExtentFollowTheHeight) {
  GlyphCache cache;
  const CellRow rows[] = {
      {0, 14, 13, 3, 1, 0, 1, 4, false, 36},
      {-1, 1, 1, 0, 0, 0, 0, 0, true, 4},
      {1, 1, 1, 0, 0, 0, 0, 0, true, 4},
      {-8, 8, 7, 2, 1, 0, 0, 2, true, 20},
      {-12, 12, 11, 3, 1, 0, 1, 3, false, 30},
      {-17, 17, 15, 4, 1, -1, 1, 4, false, 42},
      {-18, 18, 16, 4, 1, -1, 1, 5, true, 46},
      {20, 18, 16, 4, 1, -1, 1, 5, true, 46},
      {24, 21, 19, 4, 2, -1, 1, 5, true, 54},
      {-24, 24, 22, 5, 2, -1, 1, 6, true, 62},
      {-100, 100, 91, 21, 7, -3, 5, 26, true, 256},
  };
  for (const CellRow& row : rows) {
    TextFont* font = cache.FontFor(Font("Arial", row.height));
    ASSERT_NE(font, nullptr);
    if (FontMatcher::FamilyOf(font->face) != "Liberation Sans") {
      GTEST_SKIP() << "fonts-liberation2 is not installed";
    }
    SCOPED_TRACE("height " + std::to_string(row.height));
    EXPECT_EQ(font->ppem, row.ppem);
    EXPECT_EQ(font->ascent, row.ascent);
    EXPECT_EQ(font->descent, row.descent);
    EXPECT_EQ(font->underlineSize, row.ulSize);
    EXPECT_EQ(font->underlinePosition, row.ulPos);
    EXPECT_EQ(font->strikeOutSize, row.soSize);
    EXPECT_EQ(font->strikeOutPosition, row.soPos);
    EXPECT_EQ(!font->bilevel, row.grey);
    const TextRun run = LayOutText(cache, *font, U"TEXT", {0, 0}, 1000, 1000, true,
                                   [](FT_UInt, const GlyphEntry&, TextPoint) {});
    EXPECT_EQ(run.end, (TextPoint{row.extent, 0}));
  }
}

TEST(TextCell, NonAntialiasedQualityIsBilevelAtEverySize) {
  GlyphCache cache;
  FontRecord record = Font("Arial", -24);
  record.quality = 3;
  EXPECT_TRUE(cache.FontFor(record)->bilevel);
  record.quality = 4;
  EXPECT_FALSE(cache.FontFor(record)->bilevel);
}

// The parts a huge glyph is drawn from are the same dots as its whole image.
TEST(TextGlyphs, APartIsTheSameAsTheWholeImageCut) {
  GlyphCache cache;
  for (const int escapement : {0, 450}) {
    for (const std::uint8_t quality : {0, 3}) {
      FontRecord record = Font("Arial", -40);
      record.escapement = escapement;
      record.quality = quality;
      TextFont* font = cache.FontFor(record);
      ASSERT_NE(font, nullptr);
      const FT_UInt glyph = cache.GlyphIndex(*font, U'g');
      const GlyphEntry& entry = cache.Glyph(*font, glyph);
      ASSERT_TRUE(entry.imageCached);
      ASSERT_GT(entry.width, 8);
      ASSERT_GT(entry.height, 8);
      std::vector<std::uint8_t> part;
      const int w = static_cast<int>(entry.width) - 5;
      const int h = static_cast<int>(entry.height) - 7;
      ASSERT_TRUE(cache.RenderPart(*font, glyph, 3, 4, w, h, part));
      int inked = 0;
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          const std::uint8_t whole = entry.levels[(y + 4) * entry.width + x + 3];
          ASSERT_EQ(part[y * w + x], whole) << x << "," << y;
          inked += whole > 1 ? 1 : 0;
        }
      }
      EXPECT_GT(inked, 20);
    }
  }
}

TEST(TextGlyphs, TheEnvironmentCannotChangeTheHinting) {
  std::vector<std::uint8_t> plain;
  {
    GlyphCache cache;
    TextFont* font = cache.FontFor(Font("Arial", -24));
    plain = cache.Glyph(*font, cache.GlyphIndex(*font, U'a')).levels;
  }
  setenv("FREETYPE_PROPERTIES", "truetype:interpreter-version=35", 1);
  std::vector<std::uint8_t> withEnvironment;
  {
    GlyphCache cache;
    TextFont* font = cache.FontFor(Font("Arial", -24));
    withEnvironment = cache.Glyph(*font, cache.GlyphIndex(*font, U'a')).levels;
  }
  unsetenv("FREETYPE_PROPERTIES");
  EXPECT_FALSE(plain.empty());
  EXPECT_EQ(plain, withEnvironment);
}

TEST(TextBlend, GreyLevelsMixByTheRamp) {
  const Colour black = 0;
  const Colour red = 0x0000C8;  // t = 200 in red, 0 elsewhere
  EXPECT_EQ(BlendTextDot(0xFFFFFFFFu, 0, black), 0xFFFFFFFFu);
  EXPECT_EQ(BlendTextDot(0xFFFFFFFFu, 1, black), 0xFFFFFFFFu);
  EXPECT_EQ(BlendTextDot(0xFFFFFFFFu, 16, red), 0xFFC80000u);
  // Lighter paper: t + (d - t)(ramp[16 - L] + ... - t) / (255 - t); 255 under black at L 8 -> 189.
  EXPECT_EQ(BlendTextDot(0xFFFFFFFFu, 8, black), 0xFFBDBDBDu);
  EXPECT_EQ(BlendTextDot(0xFFFFFFFFu, 2, black), 0xFFF0F0F0u);
  // Darker paper under red at L 4: min = 140 * 200 / 255 = 109 -> 109; the zero channels stay.
  EXPECT_EQ(BlendTextDot(0xFF000000u, 4, red), 0xFF6D0000u);
  // Equal channels are left alone.
  EXPECT_EQ(BlendTextDot(0xFFC80000u, 9, red), 0xFFC80000u);
}

TEST(TextBars, FillCoversWholeRowsAndColumnsBetweenCorners) {
  Canvas canvas(20, 20);
  FillQuadrilateral(canvas, {TextPoint{2, 5}, TextPoint{12, 5}, TextPoint{12, 7}, TextPoint{2, 7}},
                    0xFF000000u);
  int filled = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 20; ++x) {
      const bool inside = x >= 2 && x < 12 && y >= 5 && y < 7;
      EXPECT_EQ(canvas.Pixel(x, y) == 0xFF000000u, inside) << x << "," << y;
      filled += inside ? 1 : 0;
    }
  }
  EXPECT_EQ(filled, 20);
  // Far outside the canvas: nothing, and no overflow.
  FillQuadrilateral(canvas,
                    {TextPoint{INT64_MIN / 4, -5}, TextPoint{INT64_MAX / 4, -5},
                     TextPoint{INT64_MAX / 4, -1}, TextPoint{INT64_MIN / 4, -1}},
                    0xFF0000FFu);
  EXPECT_EQ(std::count(canvas.Data(), canvas.Data() + 400, 0xFF0000FFu), 0);
}

TEST(TextBars, CornersFollowTheTurnedRun) {
  TextRun run;
  run.start = {33, 80};
  run.end = {0, -36};
  run.turned = true;
  run.cosE = 6.123233995736766e-17;  // cos and sin of 90 degrees in binary64
  run.sinE = 1.0;
  const auto corners = LineBarCorners(run, 2, -1);  // o = 0, w = 2
  EXPECT_EQ(corners[0], (TextPoint{33, 80}));
  EXPECT_EQ(corners[1], (TextPoint{33, 44}));
  EXPECT_EQ(corners[2], (TextPoint{35, 44}));
  EXPECT_EQ(corners[3], (TextPoint{35, 80}));
  const auto upright = LineBarCorners(TextRun{{0, 13}, {36, 0}}, 0, 4);  // w = 1, o = 4
  EXPECT_EQ(upright[0], (TextPoint{0, 9}));
  EXPECT_EQ(upright[2], (TextPoint{36, 10}));
}

TEST(TextCharacters, BytesAreWindows1252WithItsGapsKept) {
  const std::u32string decoded = DecodeWindows1252(std::string("\x80\x81\x9F\xA0\x09\xFF", 6));
  EXPECT_EQ(decoded, (std::u32string{0x20AC, 0x0081, 0x0178, 0x00A0, 0x0009, 0x00FF}));
}

}  // namespace
}  // namespace azuz
