#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "CapturedMessages.h"
#include "Connection.h"
#include "PrinterCommands.h"
#include "PrinterEmulator.h"
#include "TestData.h"
#include "TransferSession.h"

namespace azuz {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// The emulator serving on a free loopback port, on its own thread.
class EmulatorOnLoopback {
 public:
  explicit EmulatorOnLoopback(const std::string& outDir) {
    emulator.outDir = outDir;
    emulator.log = [this](const std::string& line) {
      std::lock_guard lock(mutex);
      log.push_back(line);
    };
    EXPECT_TRUE(emulator.Listen("127.0.0.1", 0)) << emulator.LastError();
    thread = std::thread([this] { emulator.Run(); });
  }
  ~EmulatorOnLoopback() {
    emulator.Stop();
    thread.join();
  }
  // Waits for a log line containing `text`.
  bool WaitFor(const std::string& text) {
    for (int i = 0; i < 300; ++i) {
      {
        std::lock_guard lock(mutex);
        for (const std::string& line : log) {
          if (line.find(text) != std::string::npos) {
            return true;
          }
        }
      }
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }
  CommSettings Settings() const {
    CommSettings settings;
    settings.portName = "127.0.0.1";
    settings.baudRate = emulator.Port();
    return settings;
  }

  PrinterEmulator emulator;
  std::mutex mutex;
  std::vector<std::string> log;

 private:
  std::thread thread;
};

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

WatermarkImage FramedImage() {
  WatermarkImage image(9 + 64 * 330, 0);
  const Bytes header = {0x00, 0x08, 0x57, 0x44, 0x01, 0x00, 0x02, 0x4A, 0x01};
  std::copy(header.begin(), header.end(), image.begin());
  for (int x = 0; x < 64; ++x) {
    image[9 + x] = 0xFF;
    image[9 + 329 * 64 + x] = 0xFF;
  }
  return image;
}

TEST(PrinterEmulator, TakesADownloadThroughTheTransferAndWritesItOut) {
  test::TempDir dir;
  EmulatorOnLoopback printer(dir.Path().string());
  test::CapturedMessages messages;
  const WatermarkImage image = FramedImage();
  const PrinterCommand download = DownloadCommand(image);
  TransferRequest request{download.bytes.data(),
                          static_cast<std::uint32_t>(download.bytes.size()),
                          download.caption,
                          download.readReply,
                          kPortKindTcpIp,
                          false,
                          false,
                          printer.Settings(),
                          {},
                          {},
                          {}};
  TransferSession session(request);
  ASSERT_EQ(session.Run(), TransferSession::Result::Ok);
  ASSERT_TRUE(printer.WaitFor("#1 closed"));
  EXPECT_TRUE(printer.WaitFor("#1 download 512 x 330 dots (21129 image bytes)"));
  EXPECT_EQ(ReadFile(dir / "watermark-1.bin"), image);
  EXPECT_GT(ReadFile(dir / "watermark-1.png").size(), 100u);
  EXPECT_EQ(printer.emulator.State().downloads, 1);
  EXPECT_TRUE(messages.Texts().empty());
}

TEST(PrinterEmulator, AnswersTheUserSettingModeAndKeepsItsState) {
  test::TempDir dir;
  EmulatorOnLoopback printer(dir.Path().string());
  ASSERT_TRUE(OpenConnection(kPortKindTcpIp, printer.Settings(), false));
  const PrinterCommand on = PermanentSwitchCommand(true);
  ASSERT_TRUE(WriteConnection(on.bytes.data(), on.bytes.size()));
  std::uint8_t answer[kAnswerCapacity] = {};
  ASSERT_EQ(ReadConnectionAnswer(answer), 3u);
  EXPECT_EQ(Bytes(answer, answer + 3), (Bytes{0x37, 0x20, 0x00}));
  const PrinterCommand page = TestPageCommand();
  ASSERT_TRUE(WriteConnection(page.bytes.data(), page.bytes.size()));
  const PrinterCommand watermarkOn = WatermarkSwitchCommand(true);
  ASSERT_TRUE(WriteConnection(watermarkOn.bytes.data(), watermarkOn.bytes.size()));
  CloseConnection();

  ASSERT_TRUE(printer.WaitFor("#1 closed"));
  const EmulatorState state = printer.emulator.State();
  EXPECT_TRUE(state.PermanentWatermark());
  EXPECT_TRUE(state.watermarkOn);
  const Bytes text = ReadFile(dir / "page-1.txt");
  EXPECT_EQ(std::string(text.begin(), text.begin() + 26), "Watermark Test Start.....\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 42);
  EXPECT_EQ(printer.emulator.StateLine(),
            "state: watermark on, permanent watermark on, memory switch 6 = 00100000, "
            "user-setting mode off, 0 downloads");

  // The off command alone is told from a download when the connection ends.
  ASSERT_TRUE(OpenConnection(kPortKindTcpIp, printer.Settings(), false));
  const PrinterCommand off = WatermarkSwitchCommand(false);
  ASSERT_TRUE(WriteConnection(off.bytes.data(), off.bytes.size()));
  CloseConnection();
  ASSERT_TRUE(printer.WaitFor("#2 closed"));
  EXPECT_TRUE(printer.WaitFor("#2 watermark off"));
  EXPECT_FALSE(printer.emulator.State().watermarkOn);
}

}  // namespace
}  // namespace azuz
