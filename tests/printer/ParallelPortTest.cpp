#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "CPortLpt.h"
#include "PortNames.h"

namespace azuz {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// LPT2 stands for a FIFO of one page in a temporary folder: it takes bytes while there is
// room and then, like a printer that is busy, no more until its other side reads. The lp
// ioctls fail on it, which the transport ignores, as it does on a port without them.
class ParallelPort : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/azuz-lpt-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    folder = dir;
    node = folder + "/lp1";
    ASSERT_EQ(mkfifo(node.c_str(), 0600), 0);
    printer = open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(printer, 0);
    ASSERT_EQ(fcntl(printer, F_SETPIPE_SZ, 4096), 4096);
    const std::string mapped = node;
    SetPortNodeResolver([mapped](const std::string& name) {
      return name == "LPT2" ? mapped : DefaultPortNode(name);
    });
  }
  void TearDown() override {
    SetPortNodeResolver({});
    close(printer);
    unlink(node.c_str());
    rmdir(folder.c_str());
  }

  static CommSettings Settings(std::uint32_t multiplier, std::uint32_t constant) {
    CommSettings settings;
    settings.portName = "LPT2";
    settings.writeTotalTimeoutMultiplier = multiplier;
    settings.writeTotalTimeoutConstant = constant;
    return settings;
  }

  std::string folder;
  std::string node;
  int printer = -1;
};

TEST_F(ParallelPort, EveryByteArrivesInOrderWhileThePrinterKeepsUp) {
  CPortLpt port;
  ASSERT_TRUE(port.Configure(Settings(10, 1000)));
  ASSERT_TRUE(port.Open()) << port.LastError();
  std::vector<std::uint8_t> data(20000);
  for (std::size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<std::uint8_t>(i * 31);
  }
  std::vector<std::uint8_t> got;
  std::thread reader([&] {
    std::uint8_t buffer[4096];
    for (int i = 0; i < 500 && got.size() < data.size(); ++i) {
      std::this_thread::sleep_for(5ms);
      const ssize_t n = read(printer, buffer, sizeof buffer);
      got.insert(got.end(), buffer, buffer + std::max<ssize_t>(n, 0));
    }
  });
  EXPECT_EQ(port.Write(data.data(), data.size()), data.size()) << port.LastError();
  reader.join();
  EXPECT_EQ(got, data);
  port.Close();
}

TEST_F(ParallelPort, ABusyPrinterEndsTheWriteAtTheDeadlineAndCancelEndsItSooner) {
  CPortLpt port;
  ASSERT_TRUE(port.Configure(Settings(0, 300)));
  ASSERT_TRUE(port.Open()) << port.LastError();
  const std::vector<std::uint8_t> data(10000, 0x55);
  Clock::time_point start = Clock::now();
  EXPECT_EQ(port.Write(data.data(), data.size()), 4096u);  // what the printer had room for
  auto took = Clock::now() - start;
  EXPECT_GE(took, 290ms);
  EXPECT_LT(took, 500ms);
  EXPECT_NE(port.LastError().find("time-out"), std::string::npos) << port.LastError();
  port.Close();

  ASSERT_TRUE(port.Configure(Settings(10, 10000)));
  ASSERT_TRUE(port.Open());
  std::thread canceller([&] {
    std::this_thread::sleep_for(100ms);
    port.CancelIo();
  });
  start = Clock::now();
  EXPECT_EQ(port.Write(data.data(), data.size()), 0u);  // still full from before
  took = Clock::now() - start;
  EXPECT_LT(took, 300ms);
  EXPECT_NE(port.LastError().find("cancelled"), std::string::npos);
  canceller.join();
  port.Close();
}

TEST_F(ParallelPort, ReadsAreBoundedByTheReadTimeOutsOrASecond) {
  CPortLpt port;
  CommSettings settings = Settings(10, 1000);
  ASSERT_TRUE(port.Configure(settings));
  ASSERT_TRUE(port.Open());
  std::uint8_t answer[255] = {};
  Clock::time_point start = Clock::now();
  EXPECT_EQ(port.Read(answer), 0u);  // no answer: about a second, never for ever
  auto took = Clock::now() - start;
  EXPECT_GE(took, 990ms);
  EXPECT_LT(took, 1300ms);

  const char reply[] = "OK";
  ASSERT_EQ(write(printer, reply, 2), 2);
  start = Clock::now();
  ASSERT_EQ(port.Read(answer), 2u);
  EXPECT_LT(Clock::now() - start, 100ms);
  EXPECT_EQ(answer[0], 'O');
  port.Close();

  settings.readTotalTimeoutMultiplier = 1;
  settings.readTotalTimeoutConstant = 45;  // 255 x 1 + 45 = 300 ms
  ASSERT_TRUE(port.Configure(settings));
  ASSERT_TRUE(port.Open());
  start = Clock::now();
  EXPECT_EQ(port.Read(answer), 0u);
  took = Clock::now() - start;
  EXPECT_GE(took, 290ms);
  EXPECT_LT(took, 500ms);
  port.Close();
}

TEST(ParallelRawPort, ParportIsRefusedNamingTheLpDevice) {
  for (const char* name : {"/dev/parport0", "/dev/parport3"}) {
    CommSettings settings;
    settings.portName = name;
    CPortLpt port;
    ASSERT_TRUE(port.Configure(settings));
    EXPECT_FALSE(port.Open());
    const std::string expected = std::string("/dev/lp") + (name + 12);
    EXPECT_NE(port.LastError().find(expected), std::string::npos) << port.LastError();
  }
}

}  // namespace
}  // namespace azuz
