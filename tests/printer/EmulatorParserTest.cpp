#include <gtest/gtest.h>

#include <random>

#include "EmulatorParser.h"
#include "PrinterCommands.h"

namespace azuz {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A 576 x 330 image with a diagonal, as the rasterizer packs it.
WatermarkImage DiagonalImage() {
  WatermarkImage image(9 + 72 * 330, 0);
  const Bytes header = {0x00, 0x08, 0x57, 0x44, 0x01, 0x40, 0x02, 0x4A, 0x01};
  std::copy(header.begin(), header.end(), image.begin());
  for (int y = 0; y < 330; ++y) {
    image[9 + y * 72 + y / 8] |= static_cast<std::uint8_t>(0x80 >> (y % 8));
  }
  return image;
}

struct ParserRun {
  EmulatorState state;
  std::vector<EmulatorEvent> events;
  Bytes answers;

  // Feeds `stream` in pieces of random sizes (seeded), then ends it.
  void Feed(const Bytes& stream, unsigned seed) {
    EmulatorParser parser(state);
    parser.onEvent = [this](const EmulatorEvent& e) { events.push_back(e); };
    parser.onAnswer = [this](const std::uint8_t* data, std::size_t n) {
      answers.insert(answers.end(), data, data + n);
    };
    std::mt19937 random(seed);
    std::size_t offset = 0;
    while (offset < stream.size()) {
      const std::size_t piece =
          std::min<std::size_t>(stream.size() - offset, 1 + random() % (seed == 0 ? 1 : 700));
      parser.Feed(stream.data() + offset, piece);
      offset += piece;
    }
    parser.EndOfStream();
  }
  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    for (const EmulatorEvent& e : events) {
      lines.push_back(e.text);
    }
    return lines;
  }
};

Bytes Join(std::initializer_list<PrinterCommand> commands) {
  Bytes all;
  for (const PrinterCommand& c : commands) {
    all.insert(all.end(), c.bytes.begin(), c.bytes.end());
  }
  return all;
}

TEST(EmulatorParser, EveryCommandInAnyPieces) {
  const WatermarkImage image = DiagonalImage();
  const Bytes stream =
      Join({WatermarkSwitchCommand(true), DownloadCommand(image), PermanentSwitchCommand(true),
            WatermarkSwitchCommand(false), TestPageCommand(), WatermarkSwitchCommand(true)});
  std::vector<std::string> first;
  for (unsigned seed : {0u, 1u, 2u, 3u}) {
    ParserRun run;
    run.Feed(stream, seed);
    const auto log = run.Log();
    ASSERT_EQ(log.size(), 6u + 42 + 1) << seed;
    EXPECT_EQ(log[0], "watermark on");
    EXPECT_EQ(log[1], "download 576 x 330 dots (23769 image bytes)");
    EXPECT_EQ(run.events[1].image, image);
    EXPECT_EQ(log[2], "user-setting mode entered (answered 37 20 00)");
    EXPECT_EQ(log[3], "memory switch 6 = 00100000 (permanent watermark on)");
    EXPECT_EQ(log[4], "user-setting mode left");
    EXPECT_EQ(log[5], "watermark off");
    EXPECT_EQ(log[6], "text \"Watermark Test Start.....\"");
    EXPECT_EQ(run.events[7].line, std::string(40, '-'));
    EXPECT_EQ(run.events[8].line, "ABCDEFGHIJ       123456789");
    EXPECT_EQ(run.events[47].line, "ABCDEFGHIJ       123456789");
    EXPECT_EQ(log.back(), "watermark on");
    EXPECT_EQ(run.answers, (Bytes{0x37, 0x20, 0x00}));
    EXPECT_TRUE(run.state.watermarkOn);
    EXPECT_TRUE(run.state.PermanentWatermark());
    EXPECT_FALSE(run.state.userSettingMode);
    EXPECT_EQ(run.state.downloads, 1);
    if (first.empty()) {
      first = log;
    }
    EXPECT_EQ(log, first) << seed;
  }
}

TEST(EmulatorParser, OffAndDownloadShareTheirFirstFourBytes) {
  ParserRun run;
  // Off, then bytes that begin like an image header but aren't one, then an ending off.
  run.Feed({0x08, 0x57, 0x45, 0x00, 0x00, 0x41, '\n', 0x08, 0x57, 0x45, 0x00}, 1);
  EXPECT_EQ(run.Log(), (std::vector<std::string>{"watermark off", "text \"A\"", "watermark off"}));

  ParserRun permanentOff;
  permanentOff.state.memorySwitch6 = "11111111";
  permanentOff.Feed(PermanentSwitchCommand(false).bytes, 1);
  EXPECT_EQ(permanentOff.state.memorySwitch6, "11011111");  // '2' keeps the other positions
  EXPECT_FALSE(permanentOff.state.PermanentWatermark());
}

TEST(EmulatorParser, OversizedAndUnfinishedDownloadsAreBounded) {
  ParserRun huge;
  // 65528 x 65535 dots would be half a gigabyte: refused, its rows skipped without keeping them.
  Bytes stream = {0x08, 0x57, 0x45, 0x00, 0x00, 0x08, 0x57, 0x44, 0x01, 0xF8, 0xFF, 0xFF, 0xFF};
  stream.resize(stream.size() + 100000, 0xFF);
  huge.Feed(stream, 3);
  EXPECT_EQ(huge.Log(),
            (std::vector<std::string>{
                "download of 65528 x 65535 dots refused: beyond the emulator's bounds"}));
  EXPECT_EQ(huge.state.downloads, 0);

  ParserRun cut;
  Bytes partial = DownloadCommand(DiagonalImage()).bytes;
  partial.resize(1000);
  cut.Feed(partial, 2);
  EXPECT_EQ(cut.Log(), (std::vector<std::string>{"download incomplete: 987 of 23760 row bytes"}));
}

TEST(EmulatorParser, UserSettingCommandsOutsideTheModeOrTooLongAreIgnored) {
  ParserRun outside;
  outside.Feed({0x1D, 0x28, 0x45, 0x0A, 0x00, 0x03, 0x06, '1', '1', '1', '1', '1', '1', '1', '1'},
               1);
  EXPECT_EQ(
      outside.Log(),
      (std::vector<std::string>{"memory switch setting ignored outside the user-setting mode"}));
  EXPECT_EQ(outside.state.memorySwitch6, "00000000");

  ParserRun longOne;
  Bytes stream = {0x1D, 0x28, 0x45, 0xFF, 0xFF};
  stream.resize(stream.size() + 65535, '1');
  stream.push_back('\n');
  longOne.Feed(stream, 5);
  EXPECT_EQ(longOne.Log(),
            (std::vector<std::string>{"user-setting function 49 with 65535 parameter bytes ignored",
                                      "text \"\""}));
}

TEST(EmulatorParser, StrayBytesAreCountedNotFatal) {
  ParserRun run;
  run.Feed({0x01, 0x02, 0x1B, 0x08, 0x57, 0x02, 0x1D, 0x00, 'O', 'K', '\n'}, 1);
  EXPECT_EQ(run.Log(), (std::vector<std::string>{"7 unrecognised bytes", "text \"OK\""}));
  EXPECT_FALSE(run.state.watermarkOn);
}

}  // namespace
}  // namespace azuz
