#include <gtest/gtest.h>

#include "GifDecoder.h"
#include "PictureTestBytes.h"

namespace azuz {
namespace {

using test::Bytes;
using test::GifFrame;
using test::GifParts;
using test::MakeGif;

constexpr std::uint32_t kWhite = 0xFFFFFFFF;

std::uint32_t Opaque(std::uint32_t rgb) {
  return 0xFF000000u | rgb;
}

const std::vector<std::uint32_t> kFourColours = {0xFF0000, 0x00FF00, 0x0000FF, 0x000000};

TEST(GifFirstImage, TransparentIndexBecomesWhite) {
  GifParts parts{.screenWidth = 3, .globalPalette = kFourColours};
  parts.frames = {GifFrame{.width = 3, .transparent = 1, .indices = {0, 1, 2}}};
  const std::optional<Picture> picture = DecodeGif(MakeGif(parts));
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->pixels,
            (std::vector<std::uint32_t>{Opaque(0xFF0000), kWhite, Opaque(0x0000FF)}));
}

TEST(GifFirstImage, TakesTheFirstImageAtItsOwnSizeAndIgnoresLaterFrames) {
  GifParts parts{.screenWidth = 8, .screenHeight = 8, .globalPalette = kFourColours};
  GifFrame first{.left = 2, .top = 3, .width = 3, .height = 2, .indices = {0, 1, 2, 2, 1, 0}};
  GifFrame later{.width = 8, .height = 8, .transparent = 0, .indices = Bytes(64, 3)};
  parts.frames = {first, later};
  const std::optional<Picture> picture = DecodeGif(MakeGif(parts));
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, 3);
  EXPECT_EQ(picture->height, 2);
  // The later frame's transparent index 0 does not reach the first image.
  EXPECT_EQ(picture->At(0, 0), Opaque(0xFF0000));
  EXPECT_EQ(picture->At(2, 1), Opaque(0xFF0000));
  EXPECT_EQ(picture->At(1, 1), Opaque(0x00FF00));
}

TEST(GifFirstImage, LocalColourTableWinsOverTheGlobalOne) {
  GifParts parts{.screenWidth = 2, .globalPalette = kFourColours};
  parts.frames = {GifFrame{.width = 2, .localPalette = {0x123456, 0x654321}, .indices = {1, 0}}};
  const std::optional<Picture> picture = DecodeGif(MakeGif(parts));
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->pixels, (std::vector<std::uint32_t>{Opaque(0x654321), Opaque(0x123456)}));
}

TEST(GifFirstImage, InterlacedRowsLandInPictureOrder) {
  std::vector<std::uint32_t> greys;
  for (std::uint32_t i = 0; i < 16; ++i) {
    greys.push_back(0x101010 * i);
  }
  GifParts parts{.screenHeight = 10, .globalPalette = greys};
  // Stored order: every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
  parts.frames = {
      GifFrame{.height = 10, .interlaced = true, .indices = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9}}};
  const std::optional<Picture> picture = DecodeGif(MakeGif(parts));
  ASSERT_TRUE(picture.has_value());
  for (int y = 0; y < 10; ++y) {
    EXPECT_EQ(picture->At(0, y), Opaque(0x101010u * static_cast<std::uint32_t>(y))) << y;
  }
}

TEST(GifRefusal, DamagedOrEmptyFilesGiveNoPicture) {
  GifParts parts{.screenWidth = 16, .screenHeight = 4, .globalPalette = kFourColours};
  parts.frames = {GifFrame{.width = 16, .height = 4, .indices = Bytes(64, 2)}};
  const Bytes whole = MakeGif(parts);
  ASSERT_TRUE(DecodeGif(whole).has_value());

  std::string why;
  const Bytes cut(whole.begin(), whole.end() - 12);  // inside the compressed data
  EXPECT_FALSE(DecodeGif(cut, &why).has_value());
  EXPECT_FALSE(why.empty());

  GifParts noImage{.screenWidth = 16, .screenHeight = 4, .globalPalette = kFourColours};
  EXPECT_FALSE(DecodeGif(MakeGif(noImage)).has_value());
  EXPECT_FALSE(DecodeGif(Bytes(whole.begin(), whole.begin() + 10)).has_value());
  EXPECT_FALSE(DecodeGif({}).has_value());

  // Index 3 with a two-colour table: nothing to show for it.
  GifParts outside{.screenWidth = 2, .globalPalette = {0x000000, 0xFFFFFF}};
  outside.frames = {GifFrame{.width = 2, .indices = {1, 3}}};
  EXPECT_FALSE(DecodeGif(MakeGif(outside)).has_value());
  outside.frames[0].transparent = 3;  // unless that index is the transparent one
  EXPECT_TRUE(DecodeGif(MakeGif(outside)).has_value());

  GifParts huge{.screenWidth = 20000, .globalPalette = kFourColours};
  huge.frames = {GifFrame{.width = 20000, .indices = {0}}};
  EXPECT_FALSE(DecodeGif(MakeGif(huge), &why).has_value());
  EXPECT_NE(why.find("refused"), std::string::npos) << why;
}

TEST(GifLzw, AnEndCodeBeforeTheLastPixelIsRefused) {
  GifParts parts{.screenWidth = 4, .screenHeight = 2, .globalPalette = kFourColours};
  parts.frames = {GifFrame{.width = 4, .height = 2, .indices = {0, 1, 2, 3, 0}}};  // 5 of 8
  std::string why;
  EXPECT_FALSE(DecodeGif(MakeGif(parts), &why).has_value());
  EXPECT_NE(why.find("ends before its last pixel"), std::string::npos) << why;
  parts.frames[0].indices = {0, 1, 2, 3, 0, 1, 2, 3, 3, 3};  // codes past the last pixel
  EXPECT_TRUE(DecodeGif(MakeGif(parts), &why).has_value()) << why;
}

TEST(GifLzw, ACodeThatNamesNoTableEntryIsRefused) {
  // Two-bit pixels: codes 4 and 5 are clear and end, 6 the first free entry. Right after a
  // clear and one literal, 7 names an entry that cannot exist yet.
  GifParts parts{.screenWidth = 4, .screenHeight = 2, .globalPalette = kFourColours};
  parts.frames = {GifFrame{.width = 4, .height = 2, .indices = {0, 1, 2, 3, 1, 7, 0, 1}}};
  std::string why;
  EXPECT_FALSE(DecodeGif(MakeGif(parts), &why).has_value());
  EXPECT_NE(why.find("defective"), std::string::npos) << why;
  parts.frames[0].indices[5] = 2;
  EXPECT_TRUE(DecodeGif(MakeGif(parts), &why).has_value()) << why;
}

TEST(GifRefusal, AnImagePastTheBudgetIsRefusedBeforeItsPixels) {
  GifParts parts{.screenWidth = 4, .screenHeight = 2, .globalPalette = kFourColours};
  parts.frames = {GifFrame{.width = 4, .height = 2, .indices = Bytes(8, 1)}};
  std::string why;
  EXPECT_FALSE(DecodeGif(MakeGif(parts), &why, 7).has_value());
  EXPECT_NE(why.find("needs 8 decoded pixels"), std::string::npos) << why;
  EXPECT_TRUE(DecodeGif(MakeGif(parts), &why, 8).has_value());
}

}  // namespace
}  // namespace azuz
