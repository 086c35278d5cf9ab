#include <gtest/gtest.h>

#include "PrinterCommands.h"

namespace azuz {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A blank printer image as the rasterizer makes it: header, then ceil(W/8) bytes per row.
WatermarkImage BlankImage(int width, int height) {
  const int rowBytes = (width + 7) / 8;
  WatermarkImage image(9 + static_cast<std::size_t>(rowBytes) * height, 0);
  const int fieldWidth = rowBytes * 8;
  const Bytes header = {0x00,
                        0x08,
                        0x57,
                        0x44,
                        0x01,
                        static_cast<std::uint8_t>(fieldWidth),
                        static_cast<std::uint8_t>(fieldWidth >> 8),
                        static_cast<std::uint8_t>(height),
                        static_cast<std::uint8_t>(height >> 8)};
  std::copy(header.begin(), header.end(), image.begin());
  return image;
}

TEST(WatermarkCommands, SwitchesAreFourBytesAndNeedNoReply) {
  const PrinterCommand on = WatermarkSwitchCommand(true);
  const PrinterCommand off = WatermarkSwitchCommand(false);
  EXPECT_EQ(on.bytes, (Bytes{0x08, 0x57, 0x45, 0x01}));
  EXPECT_EQ(off.bytes, (Bytes{0x08, 0x57, 0x45, 0x00}));
  EXPECT_EQ(on.caption, "Set watermark On.");
  EXPECT_EQ(off.caption, "Set watermark Off.");
  EXPECT_FALSE(on.readReply);
  EXPECT_FALSE(off.readReply);
}

TEST(WatermarkCommands, DownloadPutsTheCommandInFrontOfTheWholeImage) {
  WatermarkImage image = BlankImage(576, 330);
  image[9 + 72 * 329 + 71] = 0x01;  // last dot of the last row, to see the tail arrive
  const PrinterCommand download = DownloadCommand(image);
  ASSERT_EQ(download.bytes.size(), 23773u);
  EXPECT_EQ(Bytes(download.bytes.begin(), download.bytes.begin() + 13),
            (Bytes{0x08, 0x57, 0x45, 0x00, 0x00, 0x08, 0x57, 0x44, 0x01, 0x40, 0x02, 0x4A, 0x01}));
  EXPECT_EQ(download.bytes.back(), 0x01);
  EXPECT_TRUE(std::equal(image.begin(), image.end(), download.bytes.begin() + 4));
  EXPECT_EQ(download.caption, "Download Watermark image");
  EXPECT_FALSE(download.readReply);
}

TEST(WatermarkCommands, TestPageLayout) {
  const PrinterCommand page = TestPageCommand();
  const Bytes& b = page.bytes;
  ASSERT_EQ(b.size(), 4028u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 26), "Watermark Test Start.....\n");
  EXPECT_EQ(std::string(b.begin() + 26, b.begin() + 66), std::string(40, '-'));
  EXPECT_EQ(b[66], '\n');
  for (int record = 0; record < 40; ++record) {
    const auto start = b.begin() + 67 + record * 37;
    EXPECT_EQ(std::string(start, start + 27), "ABCDEFGHIJ       123456789\n") << record;
    EXPECT_TRUE(std::all_of(start + 27, start + 37, [](std::uint8_t c) { return c == 0; }))
        << record;
  }
  EXPECT_EQ(b[93], '\n');
  EXPECT_EQ(b[104], 'A');
  EXPECT_TRUE(std::all_of(b.begin() + 1547, b.end(), [](std::uint8_t c) { return c == 0; }));
  EXPECT_EQ(page.caption, "Print test watermark.");
  EXPECT_FALSE(page.readReply);
}

TEST(WatermarkCommands, PermanentSwitchSequences) {
  const PrinterCommand on = PermanentSwitchCommand(true);
  const PrinterCommand off = PermanentSwitchCommand(false);
  const Bytes expectedOn = {0x1D, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E, 0x1D, 0x28, 0x45,
                            0x0A, 0x00, 0x03, 0x06, 0x32, 0x32, 0x31, 0x32, 0x32, 0x32, 0x32,
                            0x32, 0x1D, 0x28, 0x45, 0x04, 0x00, 0x02, 0x4F, 0x55, 0x54};
  EXPECT_EQ(on.bytes, expectedOn);
  ASSERT_EQ(off.bytes.size(), 32u);
  for (std::size_t i = 0; i < 32; ++i) {
    EXPECT_EQ(off.bytes[i], i == 17 ? 0x30 : expectedOn[i]) << i;
  }
  EXPECT_EQ(on.caption, "Set permanent watermark On.");
  EXPECT_EQ(off.caption, "Set permanent watermark Off.");
  EXPECT_TRUE(on.readReply);
  EXPECT_TRUE(off.readReply);
}

TEST(WatermarkCommands, MenuIdsSelectTheCommands) {
  PrinterCommand command;
  ASSERT_TRUE(CommandForId(32795, command));
  EXPECT_EQ(command.bytes.size(), kTestPageLength);
  ASSERT_TRUE(CommandForId(32809, command));
  EXPECT_EQ(command.bytes[3], 0x01);
  ASSERT_TRUE(CommandForId(32810, command));
  EXPECT_EQ(command.bytes[3], 0x00);
  ASSERT_TRUE(CommandForId(32815, command));
  EXPECT_EQ(command.bytes[17], 0x31);
  ASSERT_TRUE(CommandForId(32816, command));
  EXPECT_EQ(command.bytes[17], 0x30);
  EXPECT_FALSE(CommandForId(32794, command));  // the download needs the design's image
  EXPECT_FALSE(CommandForId(32793, command));
}

}  // namespace
}  // namespace azuz
