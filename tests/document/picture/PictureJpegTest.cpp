#include <gtest/gtest.h>

#include <fstream>

#include "JpegDecoder.h"
#include "PictureTestBytes.h"
#include "TestData.h"

namespace azuz {
namespace {

using test::Bytes;

// A real JPEG with its frame header's size changed in memory.
Bytes JpegClaiming(const Bytes& jpeg, std::uint16_t width, std::uint16_t height) {
  Bytes out = jpeg;
  for (std::size_t i = 2; i + 9 < out.size() && out[i] == 0xFF;) {
    if (out[i + 1] == 0xC0 || out[i + 1] == 0xC2) {
      out[i + 5] = static_cast<std::uint8_t>(height >> 8);
      out[i + 6] = static_cast<std::uint8_t>(height);
      out[i + 7] = static_cast<std::uint8_t>(width >> 8);
      out[i + 8] = static_cast<std::uint8_t>(width);
      return out;
    }
    i += 2 + static_cast<std::size_t>(out[i + 2] << 8 | out[i + 3]);
  }
  ADD_FAILURE() << "no frame header";
  return out;
}

TEST(JpegDecoding, SizesPastTheLimitsAreRefusedFromTheHeader) {
  AZUZ_REQUIRE_TESTDATA("images/jpeg");
  std::ifstream in(test::TestDataDir() / "images/jpeg/gen_baseline_420_q85.jpg", std::ios::binary);
  const Bytes jpeg{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_TRUE(DecodeJpeg(jpeg).has_value());

  std::string why;
  for (const auto& [w, h] :
       std::vector<std::pair<int, int>>{{20000, 100}, {100, 16385}, {16384, 4097}}) {
    EXPECT_FALSE(
        DecodeJpeg(JpegClaiming(jpeg, static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h)),
                   &why)
            .has_value());
    EXPECT_NE(why.find("refused"), std::string::npos) << why;
  }
  // A claimed size within the limits decodes what data there is; libjpeg fills the rest.
  const std::optional<Picture> larger = DecodeJpeg(JpegClaiming(jpeg, 320, 240));
  ASSERT_TRUE(larger.has_value());
  EXPECT_EQ(larger->width, 320);
  EXPECT_EQ(larger->height, 240);
}

TEST(JpegDecoding, DamagedHeadersGiveNoPictureAndAReason) {
  for (const Bytes& bytes : {Bytes{0xFF, 0xD8}, Bytes{0xFF, 0xD8, 'h', 'e', 'l', 'l', 'o'},
                             Bytes{0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x02}, Bytes{}}) {
    std::string why;
    EXPECT_FALSE(DecodeJpeg(bytes, &why).has_value());
    EXPECT_FALSE(why.empty());
  }
}

TEST(JpegDecoding, WholePictureBuffersGetNoMoreMemoryThanThePictureMay) {
  AZUZ_REQUIRE_TESTDATA("images/jpeg");
  // Progressive 4:4:4: libjpeg keeps 2 bytes of coefficients per pixel and colour for all scans.
  std::ifstream in(test::TestDataDir() / "images/jpeg/go_video-001.q50.444.progressive.jpeg",
                   std::ios::binary);
  const Bytes jpeg{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::string why;
  // 8192 x 8192 is within the size limits, but its coefficients (384 MiB) are not within what
  // the picture itself may take (256 MiB): refused at the start, before anything that large.
  EXPECT_FALSE(DecodeJpeg(JpegClaiming(jpeg, 8192, 8192), &why).has_value());
  EXPECT_FALSE(why.empty());
  const std::optional<Picture> fits = DecodeJpeg(JpegClaiming(jpeg, 2048, 2048), &why);
  ASSERT_TRUE(fits.has_value()) << why;
  EXPECT_EQ(fits->width, 2048);
  // The design's remaining budget bounds both the picture and those buffers.
  EXPECT_FALSE(DecodeJpeg(JpegClaiming(jpeg, 2048, 2048), &why, 2048 * 2047).has_value());
  EXPECT_NE(why.find("decoded pixels"), std::string::npos) << why;
}

}  // namespace
}  // namespace azuz
