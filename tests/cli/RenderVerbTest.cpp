#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "ChildProcess.h"
#include "RunAzuz.h"
#include "TestData.h"

namespace azuz {
namespace {

std::vector<char> Bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class AzuzRender : public ::testing::Test {
 protected:
  void SetUp() override { AZUZ_REQUIRE_TESTDATA("gdiref"); }
  const std::string corpus = (test::TestDataDir() / "gdiref").string();
  test::TempDir out;
  std::vector<char> Reference(const std::string& name) {
    return Bytes(test::TestDataDir() / "gdiref" / (name + ".bin"));
  }
};

TEST_F(AzuzRender, WritesTheImageBytesAndPreviews) {
  const auto result =
      test::RunAzuz("render pic_fade50.bwi --model QPT-L712 -o '" + out / "i.bin" + "' --png '" +
                        out / "p.png" + "' --canvas '" + out / "c.png" + "'",
                    corpus);
  ASSERT_EQ(result.status, 0) << result.out;
  EXPECT_EQ(Bytes(out / "i.bin"), Reference("pic_fade50"));
  for (const char* png : {"p.png", "c.png"}) {
    const std::vector<char> bytes = Bytes(out / png);
    ASSERT_GT(bytes.size(), 8u) << png;
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG") << png;
  }
}

TEST_F(AzuzRender, PageComesFromTheModelUnlessGiven) {
  ASSERT_EQ(test::RunAzuz("render empty_576.bwi -o '" + out / "a.bin" + "'", corpus).status, 0);
  EXPECT_EQ(Bytes(out / "a.bin").size(), 21129u);
  ASSERT_EQ(
      test::RunAzuz("render page570_rect.bwi --page 570x330 -o '" + out / "b.bin" + "'", corpus)
          .status,
      0);
  EXPECT_EQ(Bytes(out / "b.bin"), Reference("page570_rect"));
  EXPECT_NE(test::RunAzuz("render empty_576.bwi --page 570x330 --model QPT-L712", corpus).status,
            0);
  EXPECT_NE(test::RunAzuz("render empty_576.bwi --page 570", corpus).status, 0);
}

TEST_F(AzuzRender, FadeLevelCanBeOverridden) {
  ASSERT_EQ(test::RunAzuz(
                "render fade_0.bwi --model QPT-L712 --fade 100 -o '" + out / "f.bin" + "'", corpus)
                .status,
            0);
  EXPECT_EQ(Bytes(out / "f.bin"), Reference("fade_100"));
}

TEST_F(AzuzRender, MalformedDesignRendersWhatWasReadAndExitsTwo) {
  const auto result = test::RunAzuz(
      "render truncated_count.bwi --model QPT-L712 -o '" + out / "t.bin" + "'", corpus);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(Bytes(out / "t.bin"), Reference("truncated_count"));
}

TEST_F(AzuzRender, RefusedPageOrMissingDesignWritesNothing) {
  EXPECT_EQ(
      test::RunAzuz("render fade_0.bwi --page 0x330 -o '" + out / "z.bin" + "'", corpus).status, 1);
  EXPECT_EQ(
      test::RunAzuz("render fade_0.bwi --page 70000x2 -o '" + out / "z.bin" + "'", corpus).status,
      1);
  EXPECT_EQ(test::RunAzuz("render no-such.bwi -o '" + out / "z.bin" + "'", corpus).status, 1);
  EXPECT_FALSE(std::filesystem::exists(out / "z.bin"));
}

TEST_F(AzuzRender, AFullDiskIsReportedWithItsReasonAndLeavesNoPartialFile) {
  const std::string disk = out / "disk";
  std::filesystem::create_directory(disk);
  const bool ran = test::WithSmallDisk(disk, 64 * 1024, [&] {
    {
      std::ofstream filler(disk + "/filler", std::ios::binary);
      const std::string block(4096, 'f');
      while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
      }
    }
    for (const char* option : {"-o", "--png"}) {
      const auto result = test::RunAzuz(
          "render pic_fade50.bwi " + std::string(option) + " '" + disk + "/out'", corpus, true);
      EXPECT_EQ(result.status, 1) << option << ": " << result.out;
      EXPECT_NE(result.out.find(std::strerror(ENOSPC)), std::string::npos) << result.out;
    }
    EXPECT_FALSE(std::filesystem::exists(disk + "/out"));
  });
  if (!ran) {
    GTEST_SKIP() << "this kernel gives this user no private mounts";
  }
}

}  // namespace
}  // namespace azuz
