#include <gtest/gtest.h>

#include "CORVELIXImageToolDoc.h"
#include "RunAzuz.h"
#include "TestData.h"
#include "WatermarkFile.h"
#include "document/picture/PictureTestBytes.h"
#include "document/picture/PngReader.h"

namespace azuz {
namespace {

TEST(AzuzPicture, RowsNoCodeReachedAreWrittenWhite) {
  test::TempDir dir;
  // Bottom-up RLE8: the bottom row red, every other row never reached.
  test::BmpParts parts{.width = 300, .height = 200, .bitsPerPixel = 8, .compression = 1};
  parts.palette = {0xFF0000};
  parts.pixels = {255, 0, 45, 0, 0, 1};
  test::WriteFile(dir / "sparse.bmp", test::MakeBmp(parts));

  const auto result = test::RunAzuz("picture sparse.bmp --png out.png", dir.Path().string());
  ASSERT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(result.out, "300 x 200\n");
  const auto png = test::ReadPng(dir / "out.png");
  ASSERT_TRUE(png.has_value());
  ASSERT_EQ(png->width, 300);
  ASSERT_EQ(png->height, 200);
  const std::uint8_t* bottom = png->At(299, 199);
  EXPECT_EQ((std::vector<int>{bottom[0], bottom[1], bottom[2]}), (std::vector<int>{255, 0, 0}));
  const std::uint8_t* above = png->At(0, 198);
  EXPECT_EQ((std::vector<int>{above[0], above[1], above[2]}), (std::vector<int>{255, 255, 255}));
}

TEST(AzuzPicture, AFolderIsNoPictureAndInfoSaysWhyAnObjectHasNone) {
  test::TempDir dir;
  std::filesystem::create_directory(dir / "folder.bmp");
  const auto result = test::RunAzuz("picture folder.bmp", dir.Path().string());
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.out.find("no picture: folder.bmp is a folder, not a picture file"),
            std::string::npos)
      << result.out;

  CORVELIXImageToolDoc doc;
  DrawObject* bitmap = doc.FindOrCreateObject(-1);
  bitmap->kind = static_cast<std::int32_t>(ObjectKind::Bitmap);
  bitmap->picturePath = "missing.bmp";
  doc.AppendAtTail(bitmap);
  ASSERT_TRUE(SaveWatermarkFile(dir / "d.bwi", doc));
  const auto info = test::RunAzuz("info d.bwi", dir.Path().string());
  EXPECT_EQ(info.status, 0) << info.out;
  EXPECT_NE(info.out.find("no picture (cannot open missing.bmp: No such file or directory)"),
            std::string::npos)
      << info.out;
}

}  // namespace
}  // namespace azuz
