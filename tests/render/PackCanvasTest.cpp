#include <gtest/gtest.h>

#include "DesignRenderer.h"
#include "RenderTestUtil.h"

namespace azuz {
namespace {

using test::PrintedAt;
using test::PrintedCount;

TEST(PackCanvas, EmptyPagesHaveTheHeaderAndBlankRows) {
  struct Page {
    int width;
    std::size_t length;
    std::uint8_t widthLow, widthHigh;
  };
  for (const Page& p :
       {Page{576, 23769, 0x40, 0x02}, Page{512, 21129, 0x00, 0x02}, Page{570, 23769, 0x40, 0x02}}) {
    CORVELIXImageToolDoc doc;
    doc.pageWidth = p.width;
    const auto image = RenderWatermarkImage(doc);
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->size(), p.length) << p.width;
    const std::vector<std::uint8_t> header = {0x00,       0x08,        0x57, 0x44, 0x01,
                                              p.widthLow, p.widthHigh, 0x4A, 0x01};
    EXPECT_EQ(std::vector<std::uint8_t>(image->begin(), image->begin() + 9), header);
    EXPECT_EQ(PrintedCount(*image), 0);
  }
}

TEST(PackCanvas, BitsPastTheLastDotStayZero) {
  Canvas canvas(570, 3, 0xFF000000u);  // every dot black
  const WatermarkImage image = PackCanvas(canvas);
  ASSERT_EQ(image.size(), 9u + 3 * 72);
  for (int y = 0; y < 3; ++y) {
    const std::uint8_t last = image[9 + static_cast<std::size_t>(y) * 72 + 71];
    EXPECT_EQ(last, 0xC0) << "row " << y;  // dots 568 and 569, then six padding bits
    EXPECT_EQ(image[9 + static_cast<std::size_t>(y) * 72], 0xFF);
  }
}

TEST(PackCanvas, OnlyPureWhiteIsBlankAndTheLeftmostDotIsTheTopBit) {
  Canvas canvas(16, 1);
  canvas.SetPixel(0, 0, 0xFFFFFFFEu);   // blue 254
  canvas.SetPixel(9, 0, 0xFFFEFFFFu);   // red 254
  canvas.SetPixel(15, 0, 0x00FFFFFFu);  // white whatever the top byte
  const WatermarkImage image = PackCanvas(canvas);
  EXPECT_EQ(image[9], 0x80);
  EXPECT_EQ(image[10], 0x40);
}

TEST(PageSize, AbsurdPagesAreRefusedWithAReason) {
  EXPECT_TRUE(PageSizeAllowed(576, 330));
  EXPECT_TRUE(PageSizeAllowed(65535, 1024));
  EXPECT_TRUE(PageSizeAllowed(1, 1));
  for (const auto& [w, h] : std::vector<std::pair<std::int64_t, std::int64_t>>{
           {0, 330}, {576, 0}, {-576, 330}, {65536, 1}, {1, 65536}, {8193, 8193}}) {
    std::string why;
    EXPECT_FALSE(PageSizeAllowed(w, h, &why)) << w << "x" << h;
    EXPECT_NE(why.find("refused"), std::string::npos) << why;
  }
}

TEST(PageSize, ARefusedPageRendersNothing) {
  CORVELIXImageToolDoc doc;
  test::AddFront(doc, ObjectKind::Rectangle, 0, 0, 50, 50, test::kBlack, test::kBlack);
  doc.pageWidth = 0;
  std::string why;
  EXPECT_FALSE(RenderWatermarkImage(doc, &why).has_value());
  EXPECT_FALSE(why.empty());
  doc.pageWidth = 576;
  doc.pageHeight = -330;
  EXPECT_FALSE(RenderWatermarkImage(doc).has_value());
}

TEST(RenderWatermarkImage, LeavesTheDocumentAsItWas) {
  CORVELIXImageToolDoc doc;
  doc.pageWidth = 576;
  DrawObject& o =
      test::AddFront(doc, ObjectKind::Line, 100, 100, 10, 10, test::kBlack, kNoColour, -3);
  Canvas canvas(1, 1);
  const auto image = RenderWatermarkImage(doc, nullptr, &canvas);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(canvas.Width(), 576);
  EXPECT_EQ(o.left, 100);
  EXPECT_EQ(o.right, 10);
  EXPECT_EQ(o.penWidth, -3);
  EXPECT_EQ(doc.fadeLevel, 50);
  EXPECT_TRUE(PrintedAt(*image, 576, 55, 55));
}

}  // namespace
}  // namespace azuz
