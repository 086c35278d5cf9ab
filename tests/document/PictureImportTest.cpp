#include <gtest/gtest.h>

#include "CORVELIXImageToolDoc.h"
#include "PictureLoader.h"
#include "TestData.h"
#include "picture/PictureTestBytes.h"

namespace azuz {
namespace {

using test::Bytes;

struct Rect {
  std::int32_t l, t, r, b;
  bool operator==(const Rect&) const = default;
};
Rect RectOf(const DrawObject& o) {
  return {o.left, o.top, o.right, o.bottom};
}

Bytes Bmp(int width, int height) {
  test::BmpParts parts{.width = width, .height = height, .bitsPerPixel = 1};
  parts.palette = {0x000000, 0xFFFFFF};
  parts.pixels.assign(static_cast<std::size_t>((width + 31) / 32 * 4 * height), 0x55);
  return test::MakeBmp(parts);
}

Bytes Gif(int width, int height) {
  test::GifParts parts{
      .screenWidth = width, .screenHeight = height, .globalPalette = {0, 0xFFFFFF}};
  parts.frames = {test::GifFrame{.width = width,
                                 .height = height,
                                 .indices = Bytes(static_cast<std::size_t>(width * height), 1)}};
  return test::MakeGif(parts);
}

class PictureImport : public ::testing::Test {
 protected:
  test::TempDir dir;
  CORVELIXImageToolDoc doc;

  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = dir / name;
    test::WriteFile(path, bytes);
    return path;
  }
};

TEST_F(PictureImport, NewObjectTakesThePicturesSizeAndPath) {
  const std::string path = Write("logo.bmp", Bmp(200, 80));
  DrawObject* object = doc.FindOrCreateObject(-1);
  EXPECT_TRUE(object->SetPictureFromFile(path));
  doc.InsertAtHead(object);

  EXPECT_EQ(doc.FindOrCreateObject(0), object);
  EXPECT_TRUE(object->Is(ObjectKind::Bitmap));
  EXPECT_EQ(RectOf(*object), (Rect{0, 0, 200, 80}));
  EXPECT_EQ(object->picturePath, path);
  ASSERT_NE(object->picture, nullptr);
  EXPECT_EQ(object->picture->width, 200);
  EXPECT_EQ(object->picture->height, 80);
}

TEST_F(PictureImport, ExistingObjectKeepsItsCornerAndTakesTheNewSize) {
  DrawObject* object = doc.FindOrCreateObject(-1);
  ASSERT_TRUE(object->SetPictureFromFile(Write("first.bmp", Bmp(10, 10))));
  object->left = 30;
  object->top = 40;
  EXPECT_TRUE(object->SetPictureFromFile(Write("icon.gif", Gif(64, 64))));
  EXPECT_EQ(RectOf(*object), (Rect{30, 40, 94, 104}));
  EXPECT_EQ(object->picturePath, dir / "icon.gif");
}

TEST_F(PictureImport, TextFileNamedJpgGivesAPicturelessBitmapWithTheDefaults) {
  std::string why;
  DrawObject* object = doc.FindOrCreateObject(-1);
  const std::string path = Write("notes.jpg", Bytes{'T', 'h', 'i', 's', ' ', 'i', 's', '\n'});
  EXPECT_FALSE(object->SetPictureFromFile(path, &why));
  doc.InsertAtHead(object);
  EXPECT_TRUE(object->Is(ObjectKind::Bitmap));
  EXPECT_EQ(object->picture, nullptr);
  EXPECT_EQ(RectOf(*object), (Rect{0, 0, 100, 100}));
  EXPECT_EQ(object->picturePath, "");
  EXPECT_FALSE(why.empty());
}

TEST_F(PictureImport, FailedLoadDropsTheOldPictureButKeepsPathAndRectangle) {
  DrawObject* object = doc.FindOrCreateObject(-1);
  const Bytes gif = Gif(5, 6);
  const std::string good = Write("good.gif", gif);
  ASSERT_TRUE(object->SetPictureFromFile(good));
  for (const std::string& bad : {Write("empty.bmp", {}), dir / "missing.gif",
                                 Write("cut.gif", Bytes(gif.begin(), gif.begin() + 30))}) {
    std::string why;
    EXPECT_FALSE(object->SetPictureFromFile(bad, &why)) << bad;
    EXPECT_FALSE(why.empty()) << bad;
    EXPECT_EQ(object->picture, nullptr);
    EXPECT_EQ(object->picturePath, good);
    EXPECT_EQ(RectOf(*object), (Rect{0, 0, 5, 6}));
  }
}

TEST_F(PictureImport, ContentDecidesTheFormatNotTheName) {
  std::string why;
  std::FILE* file = std::fopen(Write("really-a-bmp.gif", Bmp(3, 2)).c_str(), "rb");
  ASSERT_NE(file, nullptr);
  const std::optional<Picture> picture = LoadPictureFile(file, &why);  // closes the file
  ASSERT_TRUE(picture.has_value()) << why;
  EXPECT_EQ(picture->width, 3);

  EXPECT_FALSE(DecodePicture(Bytes{}, &why).has_value());
  EXPECT_EQ(why, "empty file");
}

}  // namespace
}  // namespace azuz
