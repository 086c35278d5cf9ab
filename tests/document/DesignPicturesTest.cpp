// The pictures of a design: shared decodes, one pixel budget, and files that are not pictures.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <future>
#include <sstream>

#include "Archive.h"
#include "CORVELIXImageToolDoc.h"
#include "ChildProcess.h"
#include "DesignPictures.h"
#include "PictureLoader.h"
#include "TestData.h"
#include "picture/PictureTestBytes.h"

namespace azuz {
namespace {

using test::Bytes;

// A design whose records are Bitmap objects naming `paths`, then one line.
std::string DesignNaming(const std::vector<std::string>& paths) {
  std::stringbuf buffer;
  ArchiveWriter writer(buffer);
  writer.WriteString("ORVELIX Watermark");
  writer.WriteI32(100);
  writer.WriteI32(static_cast<std::int32_t>(paths.size() + 1));
  writer.WriteI32(50);
  for (const std::string& path : paths) {
    for (const std::int32_t field : {0, 0, 0, 100, 100}) {
      writer.WriteI32(field);
    }
    writer.WriteString(path);
  }
  for (const std::int32_t field : {2, 1, 2, 3, 4, 1, 0, -1}) {
    writer.WriteI32(field);
  }
  return buffer.str();
}

bool Read(const std::string& bytes, CORVELIXImageToolDoc& doc, std::string* error = nullptr) {
  std::stringbuf buffer(bytes);
  ArchiveReader reader(buffer);
  return doc.Serialize(reader, error);
}

// An RLE8 picture of the largest allowed size whose codes end at once: 1,080 bytes in all.
Bytes HugeEmptyRle() {
  test::BmpParts parts{.width = 16384, .height = 4096, .bitsPerPixel = 8, .compression = 1};
  parts.palette.assign(256, 0x808080);
  parts.pixels = {0, 1};
  return test::MakeBmp(parts);
}

// An RLE8 picture with one dot in every row: a few bytes a row, every row stored.
Bytes EveryRowReached(int width, int height) {
  test::BmpParts parts{.width = width, .height = height, .bitsPerPixel = 8, .compression = 1};
  parts.palette = {0x000000};
  for (int row = 0; row < height; ++row) {
    parts.pixels.insert(parts.pixels.end(), {1, 0, 0, 0});
  }
  parts.pixels.insert(parts.pixels.end(), {0, 1});
  return test::MakeBmp(parts);
}

Bytes SmallBmp(int width, int height) {
  test::BmpParts parts{.width = width, .height = height, .bitsPerPixel = 24};
  parts.pixels.assign(static_cast<std::size_t>((width * 3 + 3) / 4 * 4 * height), 0x40);
  return test::MakeBmp(parts);
}

class DesignPicturesTest : public ::testing::Test {
 protected:
  test::TempDir dir;

  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = dir / name;
    test::WriteFile(path, bytes);
    return path;
  }
};

TEST_F(DesignPicturesTest, APathNamedByManyRecordsIsDecodedOnceAndShared) {
  const std::string huge = Write("claims.bmp", HugeEmptyRle());
  ASSERT_EQ(std::filesystem::file_size(huge), 1080u);
  const std::string small = Write("small.bmp", SmallBmp(5, 3));
  CORVELIXImageToolDoc doc;
  ASSERT_TRUE(Read(DesignNaming({huge, small, huge, small, huge}), doc));
  ASSERT_EQ(doc.ObjectCount(), 6u);
  const Picture* shared = doc.objects[0]->picture.get();
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->width, 16384);
  EXPECT_EQ(doc.objects[2]->picture.get(), shared);
  EXPECT_EQ(doc.objects[4]->picture.get(), shared);
  EXPECT_EQ(doc.objects[3]->picture.get(), doc.objects[1]->picture.get());
  // Nothing of the huge picture is held: its codes reach no row.
  EXPECT_EQ(doc.PicturePixelsInUse(), 15);
  // Each record keeps its own stored rectangle.
  EXPECT_EQ(doc.objects[2]->right, 100);
}

TEST_F(DesignPicturesTest, APathIsReadOnceWhateverHappensToTheFileAfterwards) {
  const std::string path = dir / "later.bmp";
  DesignPictures pictures;
  std::string why;
  EXPECT_EQ(pictures.Load(path, &why), nullptr);
  EXPECT_NE(why.find("No such file"), std::string::npos) << why;
  test::WriteFile(path, EveryRowReached(2, 2));
  EXPECT_EQ(pictures.Load(path, &why), nullptr);  // the same answer, not a second look

  const std::string other = Write("other.bmp", EveryRowReached(3, 1));
  const auto first = pictures.Load(other);
  ASSERT_NE(first, nullptr);
  test::WriteFile(other, EveryRowReached(7, 7));
  EXPECT_EQ(pictures.Load(other), first);
  EXPECT_EQ(pictures.PixelsInUse(), 3);
}

TEST_F(DesignPicturesTest, ThePictureThatWouldPassTheBudgetIsRefusedAndTheRestStays) {
  // Two different large pictures of 36.9 M pixels each cannot both be held (64 Mi in all).
  const std::string first = Write("first.bmp", EveryRowReached(8192, 4500));
  const std::string second = Write("second.bmp", EveryRowReached(8192, 4500));
  const std::string small = Write("small.bmp", SmallBmp(40, 20));
  CORVELIXImageToolDoc doc;
  std::string error;
  ASSERT_TRUE(Read(DesignNaming({first, first, second, small}), doc, &error)) << error;
  ASSERT_EQ(doc.ObjectCount(), 5u);
  EXPECT_NE(doc.objects[0]->picture, nullptr);
  EXPECT_EQ(doc.objects[1]->picture, doc.objects[0]->picture);
  const DrawObject& refused = *doc.objects[2];
  EXPECT_EQ(refused.picture, nullptr);
  EXPECT_EQ(refused.picturePath, second);  // kept, so that saving again keeps the reference
  EXPECT_NE(refused.pictureError.find("needs 36864000 decoded pixels"), std::string::npos)
      << refused.pictureError;
  EXPECT_NE(doc.objects[3]->picture, nullptr);  // a small one still fits
  EXPECT_TRUE(doc.objects[4]->Is(ObjectKind::Line));
  EXPECT_EQ(doc.PicturePixelsInUse(), 8192 * 4500 + 40 * 20);

  // A picture added to the design later counts against what the others hold.
  DrawObject* added = doc.FindOrCreateObject(-1);
  EXPECT_FALSE(doc.LoadObjectPicture(*added, second));
  doc.DestroyObject(added);
  // Once no object holds the first picture any more, the second one fits.
  EXPECT_TRUE(doc.LoadObjectPicture(*doc.objects[1], small));
  EXPECT_TRUE(doc.LoadObjectPicture(*doc.objects[0], second));
}

TEST_F(DesignPicturesTest, OnlyRegularFilesAreOpenedAndNothingWaits) {
  const std::string fifo = dir / "pipe.bmp";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string folder = dir / "folder.bmp";
  std::filesystem::create_directory(folder);
  for (const std::string& path : {fifo, folder, std::string("/dev/null")}) {
    SCOPED_TRACE(path);
    auto attempt = std::async(std::launch::async, [path] {
      DrawObject object;
      std::string why;
      const bool loaded = object.SetPictureFromFile(path, &why);
      return std::make_pair(loaded, why);
    });
    if (attempt.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
      ADD_FAILURE() << "the open waits";
      // Release an open blocked on the FIFO, so that the test can end.
      if (std::FILE* writer = std::fopen(fifo.c_str(), "wb")) {
        std::fclose(writer);
      }
    }
    const auto [loaded, why] = attempt.get();
    EXPECT_FALSE(loaded);
    EXPECT_NE(why.find("not a picture file"), std::string::npos) << why;
  }
}

TEST_F(DesignPicturesTest, APictureTheUserMayNotReadIsNoPictureAndTheRestStays) {
  const std::string secret = Write("secret.bmp", SmallBmp(4, 4));
  ASSERT_EQ(chmod(secret.c_str(), 0), 0);
  const std::string open = Write("open.bmp", SmallBmp(2, 2));
  test::HandToUnprivileged(dir.Path());
  test::AsUnprivileged([&] {
    CORVELIXImageToolDoc doc;
    ASSERT_TRUE(Read(DesignNaming({secret, open}), doc));
    ASSERT_EQ(doc.ObjectCount(), 3u);
    EXPECT_EQ(doc.objects[0]->picture, nullptr);
    EXPECT_EQ(doc.objects[0]->picturePath, secret);
    EXPECT_NE(doc.objects[0]->pictureError.find("Permission denied"), std::string::npos)
        << doc.objects[0]->pictureError;
    EXPECT_NE(doc.objects[1]->picture, nullptr);
  });
}

}  // namespace
}  // namespace azuz
