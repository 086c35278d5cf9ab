#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "CPortUsb.h"

namespace azuz {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A node that, like usblp, shows itself writable only once the device has taken what it was
// given: a FIFO of one page, which poll() calls full while any byte of it is unread. The printer
// side reads one piece every `pause`, and may stop taking pieces after `takes` of them.
class SlowPrinterNode {
 public:
  explicit SlowPrinterNode(std::chrono::milliseconds readPause, std::size_t pieceLimit = 1000)
      : pause(readPause), takes(pieceLimit) {
    char dir[] = "/tmp/azuz-usb-XXXXXX";
    EXPECT_NE(mkdtemp(dir), nullptr);
    folder = dir;
    path = folder + "/lp0";
    EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
    reader = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    EXPECT_GE(reader, 0);
    EXPECT_EQ(fcntl(reader, F_SETPIPE_SZ, 4096), 4096);
    thread = std::thread([this] { Run(); });
  }
  ~SlowPrinterNode() {
    stop = true;
    thread.join();
    close(reader);
    unlink(path.c_str());
    rmdir(folder.c_str());
  }
  SlowPrinterNode(const SlowPrinterNode&) = delete;
  SlowPrinterNode& operator=(const SlowPrinterNode&) = delete;

  std::vector<std::uint8_t> Taken() {
    std::lock_guard lock(mutex);
    return taken;
  }

  std::string path;

 private:
  void Run() {
    std::size_t pieces = 0;
    while (!stop) {
      std::this_thread::sleep_for(pause);
      if (pieces >= takes) {
        continue;
      }
      // Held across the read, so that what the writer sees taken is recorded when it looks.
      std::lock_guard lock(mutex);
      std::uint8_t buffer[4096];
      const ssize_t n = read(reader, buffer, sizeof buffer);
      if (n > 0) {
        taken.insert(taken.end(), buffer, buffer + n);
        ++pieces;
      }
    }
  }

  std::chrono::milliseconds pause;
  std::size_t takes;
  std::string folder;
  int reader = -1;
  std::atomic<bool> stop{false};
  std::thread thread;
  std::mutex mutex;
  std::vector<std::uint8_t> taken;
};

std::vector<std::uint8_t> Pattern(std::size_t n) {
  std::vector<std::uint8_t> data(n);
  for (std::size_t i = 0; i < n; ++i) {
    data[i] = static_cast<std::uint8_t>(i * 13 + 5);
  }
  return data;
}

TEST(UsbPortDelivery, SuccessComesOnlyOnceTheDeviceHasTakenTheLastPiece) {
  SlowPrinterNode printer(150ms);
  CommSettings settings;
  settings.portName = printer.path;
  CPortUsb port;
  ASSERT_TRUE(port.Configure(settings));
  ASSERT_TRUE(port.Open()) << port.LastError();
  const std::vector<std::uint8_t> data = Pattern(10000);
  ASSERT_EQ(port.Write(data.data(), data.size()), data.size()) << port.LastError();
  EXPECT_EQ(printer.Taken(), data);  // all of it, the last piece included, before the return
  port.Close();
}

TEST(UsbPortDelivery, ALastPieceTheDeviceNeverTakesFailsTheWrite) {
  SlowPrinterNode printer(50ms, 2);
  CommSettings settings;
  settings.portName = printer.path;
  settings.writeTotalTimeoutMultiplier = 0;
  settings.writeTotalTimeoutConstant = 400;
  CPortUsb port;
  ASSERT_TRUE(port.Configure(settings));
  ASSERT_TRUE(port.Open()) << port.LastError();
  const std::vector<std::uint8_t> data = Pattern(10000);
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(port.Write(data.data(), data.size()), 0u);
  EXPECT_LT(Clock::now() - start, 1500ms);
  EXPECT_NE(port.LastError().find("last piece"), std::string::npos) << port.LastError();
  EXPECT_EQ(printer.Taken().size(), 8192u);

  // And a cancel ends the wait for it.
  std::thread canceller([&] {
    std::this_thread::sleep_for(100ms);
    port.CancelIo();
  });
  settings.writeTotalTimeoutConstant = 5000;
  port.Close();
  ASSERT_TRUE(port.Configure(settings));
  ASSERT_TRUE(port.Open());
  const Clock::time_point cancelStart = Clock::now();
  EXPECT_EQ(port.Write(data.data(), 100), 0u);
  EXPECT_LT(Clock::now() - cancelStart, 500ms);
  canceller.join();
  port.Close();
}

}  // namespace
}  // namespace azuz
