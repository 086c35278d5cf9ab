#include <gtest/gtest.h>

#include "BmpDecoder.h"
#include "PictureTestBytes.h"

namespace azuz {
namespace {

using test::BmpParts;
using test::Bytes;
using test::MakeBmp;
using test::PaddedRows;

constexpr std::uint32_t kWhite = 0xFFFFFFFF;

std::uint32_t Opaque(std::uint32_t rgb) {
  return 0xFF000000u | rgb;
}

// The picture's pixels, top row first, or an empty list when it did not decode.
std::vector<std::uint32_t> Decoded(const Bytes& bytes, std::string* why = nullptr) {
  const std::optional<Picture> picture = DecodeBmp(bytes, why);
  std::vector<std::uint32_t> dots;
  for (int y = 0; picture && y < picture->height; ++y) {
    for (int x = 0; x < picture->width; ++x) {
      dots.push_back(picture->At(x, y));
    }
  }
  return dots;
}

TEST(BmpRows, BottomUpAndTopDownGiveTheSamePicture) {
  const Bytes top = {0, 0, 255, 0, 255, 0};         // red, green
  const Bytes bottom = {255, 0, 0, 255, 255, 255};  // blue, white
  BmpParts parts{.width = 2, .height = 2, .bitsPerPixel = 24};
  parts.pixels = PaddedRows({bottom, top});
  const std::vector<std::uint32_t> expected = {Opaque(0xFF0000), Opaque(0x00FF00), Opaque(0x0000FF),
                                               kWhite};
  EXPECT_EQ(Decoded(MakeBmp(parts)), expected);

  parts.height = -2;
  parts.pixels = PaddedRows({top, bottom});
  const std::optional<Picture> topDown = DecodeBmp(MakeBmp(parts));
  ASSERT_TRUE(topDown.has_value());
  EXPECT_EQ(topDown->height, 2);
  EXPECT_EQ(topDown->pixels, expected);
}

TEST(BmpRows, OneBitRowsCrossBytesAndSkipTheirPadding) {
  BmpParts parts{.width = 9, .height = 2, .bitsPerPixel = 1};
  parts.palette = {0x000000, 0xFFFFFF};
  parts.pixels = PaddedRows({{0xFF, 0x80}, {0b10101010, 0x80}});
  const std::vector<std::uint32_t> pixels = Decoded(MakeBmp(parts));
  ASSERT_EQ(pixels.size(), 18u);
  for (int x = 0; x < 9; ++x) {
    EXPECT_EQ(pixels[static_cast<std::size_t>(x)], x % 2 == 0 ? kWhite : Opaque(0)) << x;
    EXPECT_EQ(pixels[static_cast<std::size_t>(9 + x)], kWhite) << x;
  }
}

TEST(BmpPalette, IndicesPastAShortPaletteAreBlack) {
  BmpParts parts{.width = 3, .height = 1, .bitsPerPixel = 8, .coloursUsed = 2};
  parts.palette = {0xFF0000, 0x00FF00};
  parts.pixels = PaddedRows({{0, 1, 5}});
  EXPECT_EQ(Decoded(MakeBmp(parts)),
            (std::vector<std::uint32_t>{Opaque(0xFF0000), Opaque(0x00FF00), Opaque(0)}));
}

TEST(BmpPalette, CoreHeaderUsesThreeBytesAnEntryAndTheRoomBeforeThePixels) {
  BmpParts parts{.headerSize = 12, .width = 3, .height = 1, .bitsPerPixel = 8};
  parts.palette = {0x102030, 0x405060};  // two entries though 8 bits would allow 256
  parts.pixels = PaddedRows({{1, 0, 2}});
  EXPECT_EQ(Decoded(MakeBmp(parts)),
            (std::vector<std::uint32_t>{Opaque(0x405060), Opaque(0x102030), Opaque(0)}));
}

TEST(BmpPalette, AbsurdColourCountIsRefused) {
  BmpParts parts{.width = 1, .height = 1, .bitsPerPixel = 8, .coloursUsed = 0x12345678};
  parts.palette = {0xFF0000};
  parts.pixels = PaddedRows({{0}});
  std::string why;
  EXPECT_TRUE(Decoded(MakeBmp(parts), &why).empty());
  EXPECT_NE(why.find("palette"), std::string::npos) << why;
}

TEST(BmpBitFields, Rgb565ExpandsEachChannelToFullRange) {
  BmpParts parts{.width = 3, .height = 1, .bitsPerPixel = 16, .compression = 3};
  parts.masks = {0xF800, 0x07E0, 0x001F};
  parts.pixels = PaddedRows({{0x00, 0xF8, 0xE0, 0x07, 0x10, 0x04}});
  // A channel repeats its bits downwards: 6-bit 32 is 130, 5-bit 16 is 132.
  EXPECT_EQ(Decoded(MakeBmp(parts)),
            (std::vector<std::uint32_t>{Opaque(0xFF0000), Opaque(0x00FF00), Opaque(0x008284)}));
}

TEST(BmpBitFields, NarrowChannelsRepeatTheirTopBitsRatherThanRound) {
  BmpParts parts{.width = 4, .height = 1, .bitsPerPixel = 16, .compression = 3};
  parts.masks = {0xF800, 0x07E0, 0x001F};
  // Red 3 (rounding would give 25), green 3, blue 1; red 31, blue 30; green 62; 1, 1, 2.
  const auto pixel = [](unsigned r, unsigned g, unsigned b) { return r << 11 | g << 5 | b; };
  Bytes row;
  for (const unsigned p : {pixel(3, 3, 1), pixel(31, 0, 30), pixel(0, 62, 0), pixel(1, 1, 2)}) {
    row.push_back(static_cast<std::uint8_t>(p));
    row.push_back(static_cast<std::uint8_t>(p >> 8));
  }
  parts.pixels = PaddedRows({row});
  EXPECT_EQ(Decoded(MakeBmp(parts)),
            (std::vector<std::uint32_t>{Opaque(24 << 16 | 12 << 8 | 8), Opaque(255 << 16 | 247),
                                        Opaque(251 << 8), Opaque(8 << 16 | 4 << 8 | 16)}));
}

TEST(BmpBitFields, SixteenBitsWithoutMasksAre555) {
  BmpParts parts{.width = 2, .height = 1, .bitsPerPixel = 16};
  parts.pixels = PaddedRows({{0x00, 0x7C, 0x10, 0x80}});  // red 31; blue 16 with the top bit set
  EXPECT_EQ(Decoded(MakeBmp(parts)),
            (std::vector<std::uint32_t>{Opaque(0xFF0000), Opaque(0x000084)}));
}

TEST(BmpBitFields, MasksInAV5HeaderAndTheirAlphaIsNotBlended) {
  BmpParts parts{.headerSize = 124, .width = 2, .height = 1, .bitsPerPixel = 32, .compression = 3};
  parts.masks = {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF};  // alpha in the low byte
  parts.pixels = PaddedRows({{0x00, 0x11, 0x22, 0x33, 0xFF, 0x44, 0x55, 0x66}});
  EXPECT_EQ(Decoded(MakeBmp(parts)),
            (std::vector<std::uint32_t>{Opaque(0x112233), Opaque(0x445566)}));
}

TEST(BmpBitFields, ThirtyTwoBitRgbIgnoresTheFourthByte) {
  BmpParts parts{.width = 1, .height = 1, .bitsPerPixel = 32};
  parts.pixels = {10, 20, 30, 0x80};
  EXPECT_EQ(Decoded(MakeBmp(parts)), (std::vector<std::uint32_t>{Opaque(0x1E140A)}));
}

TEST(BmpBitFields, NonContiguousOrOversizedMasksAreRefused) {
  BmpParts parts{.width = 1, .height = 1, .bitsPerPixel = 16, .compression = 3};
  parts.pixels = {0, 0, 0, 0};
  parts.masks = {0xF00F, 0x07E0, 0x001F};
  EXPECT_TRUE(Decoded(MakeBmp(parts)).empty());
  parts.masks = {0x1F0000, 0x07E0, 0x001F};
  EXPECT_TRUE(Decoded(MakeBmp(parts)).empty());
}

TEST(BmpRle, Rle8DeltaAndEndOfLineLeaveSkippedPixelsWhite) {
  BmpParts parts{.width = 4, .height = 3, .bitsPerPixel = 8, .compression = 1};
  parts.palette = {0x112233, 0xFF0000, 0x00FF00};
  parts.pixels = {
      2, 1,              // bottom row: two pixels of colour 1
      0, 2, 1, 1,        // delta: one right, one up
      1, 2,              // one pixel of colour 2
      0, 0,              // end of line: top row
      0, 3, 2, 0, 2, 0,  // absolute run of three, padded to 16 bits
      0, 1,              // end of bitmap
  };
  const std::uint32_t c0 = Opaque(0x112233), c1 = Opaque(0xFF0000), c2 = Opaque(0x00FF00);
  EXPECT_EQ(Decoded(MakeBmp(parts)), (std::vector<std::uint32_t>{c2, c0, c2, kWhite,          //
                                                                 kWhite, kWhite, kWhite, c2,  //
                                                                 c1, c1, kWhite, kWhite}));
}

TEST(BmpRle, Rle4AlternatesNibblesAndPadsOddAbsoluteRuns) {
  BmpParts parts{.width = 5, .height = 2, .bitsPerPixel = 4, .compression = 2};
  parts.palette = {0x000000, 0x111111, 0x222222, 0x333333, 0x444444, 0x555555};
  parts.pixels = {5, 0x12, 0, 0, 0, 5, 0x12, 0x34, 0x50, 0, 0, 1};
  auto grey = [](std::uint32_t i) { return Opaque(0x111111 * i); };
  EXPECT_EQ(Decoded(MakeBmp(parts)),
            (std::vector<std::uint32_t>{grey(1), grey(2), grey(3), grey(4), grey(5), grey(1),
                                        grey(2), grey(1), grey(2), grey(1)}));
}

TEST(BmpRle, RunsPastTheRowOrPictureAreClipped) {
  BmpParts parts{.width = 2, .height = 2, .bitsPerPixel = 8, .compression = 1};
  parts.palette = {0x000000, 0x123456};
  // A 255-pixel run, a delta far beyond the picture, an absolute run past the row's end.
  parts.pixels = {255, 0, 0, 2, 200, 0, 0, 4, 1, 1, 1, 1, 0, 0, 2, 1, 0, 1};
  EXPECT_EQ(Decoded(MakeBmp(parts)),
            (std::vector<std::uint32_t>{Opaque(0x123456), Opaque(0x123456), Opaque(0), Opaque(0)}));
}

TEST(BmpRle, DataEndingBeforeThePictureIsFilledIsDamage) {
  BmpParts parts{.width = 2, .height = 2, .bitsPerPixel = 8, .compression = 1};
  parts.palette = {0x000000};
  parts.pixels = {2, 0, 0, 0};  // one row, then nothing
  EXPECT_TRUE(Decoded(MakeBmp(parts)).empty());
  parts.pixels = {2, 0, 0, 0, 2, 0, 0, 0};  // both rows, ending on an end of line: complete
  EXPECT_EQ(Decoded(MakeBmp(parts)).size(), 4u);
}

TEST(BmpRle, RowsNoCodeReachesAreNotStored) {
  // The largest allowed picture, ended at once: nothing at all is stored.
  BmpParts empty{.width = 16384, .height = 4096, .bitsPerPixel = 8, .compression = 1};
  empty.palette = {0x000000};
  empty.pixels = {0, 1};
  const std::optional<Picture> blank = DecodeBmp(MakeBmp(empty));
  ASSERT_TRUE(blank.has_value());
  EXPECT_TRUE(blank->Consistent());
  EXPECT_EQ(blank->StoredPixels(), 0);
  EXPECT_EQ(blank->At(16383, 0), kWhite);
  EXPECT_EQ(blank->At(0, 4095), kWhite);

  // Bottom-up: the bottom row, then a delta over two rows to the second from the top.
  BmpParts parts{.width = 3, .height = 5, .bitsPerPixel = 8, .compression = 1};
  parts.palette = {0x000000, 0xFF0000, 0x00FF00};
  parts.pixels = {3, 1, 0, 0, 0, 2, 1, 2, 1, 2, 0, 1};
  const std::optional<Picture> sparse = DecodeBmp(MakeBmp(parts));
  ASSERT_TRUE(sparse.has_value());
  EXPECT_TRUE(sparse->Consistent());
  EXPECT_EQ(sparse->StoredPixels(), 6);
  const std::uint32_t r = Opaque(0xFF0000), g = Opaque(0x00FF00);
  EXPECT_EQ(Decoded(MakeBmp(parts)), (std::vector<std::uint32_t>{kWhite, kWhite, kWhite,  //
                                                                 kWhite, g, kWhite,       //
                                                                 kWhite, kWhite, kWhite,  //
                                                                 kWhite, kWhite, kWhite,  //
                                                                 r, r, r}));
}

TEST(BmpRle, TheRowsItReachesMustFitTheBudget) {
  BmpParts parts{.width = 4, .height = 100, .bitsPerPixel = 8, .compression = 1};
  parts.palette = {0x000000};
  parts.pixels = {1, 0, 0, 0, 1, 0, 0, 1};  // one dot in each of the two bottom rows
  std::string why;
  EXPECT_FALSE(DecodeBmp(MakeBmp(parts), &why, 7).has_value());
  EXPECT_NE(why.find("needs 8 decoded pixels"), std::string::npos) << why;
  EXPECT_TRUE(DecodeBmp(MakeBmp(parts), &why, 8).has_value());

  BmpParts rows{.width = 4, .height = 2, .bitsPerPixel = 24};
  rows.pixels = PaddedRows({Bytes(12, 0), Bytes(12, 0)});
  EXPECT_FALSE(DecodeBmp(MakeBmp(rows), &why, 7).has_value());
  EXPECT_TRUE(DecodeBmp(MakeBmp(rows), &why, 8).has_value());
}

TEST(BmpRefusal, DamagedOrOversizedFilesGiveNoPicture) {
  BmpParts good{.width = 1, .height = 2, .bitsPerPixel = 24};
  good.pixels = {1, 2, 3, 0, 4, 5, 6};  // the last row's padding may be missing
  const Bytes bytes = MakeBmp(good);
  EXPECT_EQ(Decoded(bytes).size(), 2u);

  std::string why;
  EXPECT_TRUE(Decoded(Bytes(bytes.begin(), bytes.end() - 1), &why).empty());
  EXPECT_NE(why.find("cut short"), std::string::npos) << why;
  EXPECT_TRUE(Decoded({}).empty());
  EXPECT_TRUE(Decoded(Bytes(bytes.begin(), bytes.begin() + 20)).empty());

  Bytes array = bytes;
  array[1] = 'A';
  EXPECT_TRUE(Decoded(array).empty());

  for (const auto& [width, height] : std::vector<std::pair<int, int>>{
           {20000, 1}, {1, 20000}, {16384, 4097}, {-1, 1}, {0, 1}, {1, 0}}) {
    BmpParts huge{.width = width, .height = height, .bitsPerPixel = 24};
    huge.pixels = {1, 2, 3, 0};
    EXPECT_TRUE(Decoded(MakeBmp(huge), &why).empty()) << width << "x" << height;
  }
  BmpParts deep{.width = 1, .height = 1, .bitsPerPixel = 64};
  deep.pixels = Bytes(8, 0);
  EXPECT_TRUE(Decoded(MakeBmp(deep)).empty());
}

}  // namespace
}  // namespace azuz
