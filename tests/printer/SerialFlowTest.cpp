#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "CPortCom.h"
#include "Com10Test.h"
#include "PortNames.h"
#include "UartRig.h"
#include "UmockdevBed.h"

namespace azuz {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::RanUnderUmockdev;
using test::UartRig;

class SerialFlow : public test::Com10Test {
 protected:
  static std::vector<std::uint8_t> Pattern(std::size_t n) {
    std::vector<std::uint8_t> data(n);
    for (std::size_t i = 0; i < n; ++i) {
      data[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    return data;
  }

  static bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds bound) {
    const auto until = Clock::now() + bound;
    while (!done() && Clock::now() < until) {
      std::this_thread::sleep_for(1ms);
    }
    return done();
  }
};

// 9600 bit/s, 8N1: about a millisecond a character. Whatever the port has handed the kernel when
// DSR drops still goes out; that must stay within a few characters.
TEST_F(SerialFlow, DsrLowStopsTheBytesWithinAFewCharactersAndDsrHighResumesThem) {
  if (RanUnderUmockdev()) {
    return;
  }
  UartRig rig;
  rig.SetLines(TIOCM_DSR | TIOCM_CTS);
  CPortCom port;
  ASSERT_TRUE(port.Configure(Settings(0)));
  ASSERT_TRUE(port.Open()) << port.LastError();
  const std::vector<std::uint8_t> data = Pattern(1200);
  std::size_t written = 0;
  std::thread writer([&] { written = port.Write(data.data(), data.size()); });

  const bool started = WaitFor([&] { return rig.Sent().size() >= 200; }, 2s);
  if (!started) {
    port.CancelIo();
    writer.join();
    FAIL() << "nothing on the line: " << rig.Queued() << " queued, " << port.LastError();
  }
  const Clock::time_point low = rig.SetLines(TIOCM_CTS);
  std::this_thread::sleep_for(400ms);
  const std::size_t after = rig.SentAfter(low);
  std::printf("bytes on the line after DSR went low: %zu (kernel queue limit %zu)\n", after,
              port.DsrQueueLimit());
  EXPECT_LE(after, port.DsrQueueLimit() + 2);
  EXPECT_LT(rig.Sent().size(), data.size());
  EXPECT_GT(rig.ModemWaits(), 0u);  // it asked the kernel to wait on the line

  const std::size_t before = rig.Sent().size();
  const Clock::time_point high = rig.SetLines(TIOCM_DSR | TIOCM_CTS);
  ASSERT_TRUE(WaitFor([&] { return rig.Sent().size() > before; }, 1s));
  std::printf("first byte after DSR went high: %.1f ms\n",
              std::chrono::duration<double, std::milli>(Clock::now() - high).count());
  EXPECT_LT(Clock::now() - high, 100ms);
  writer.join();
  EXPECT_EQ(written, data.size());
  port.Close();
  EXPECT_EQ(rig.Sent(), data);  // the close waited for the last characters
}

TEST_F(SerialFlow, CancelWhileDsrIsLowEndsTheWriteAtOnce) {
  if (RanUnderUmockdev()) {
    return;
  }
  UartRig rig;
  rig.SetLines(TIOCM_DSR);
  CPortCom port;
  ASSERT_TRUE(port.Configure(Settings(0)));
  ASSERT_TRUE(port.Open()) << port.LastError();
  rig.SetLines(0);
  const std::vector<std::uint8_t> data = Pattern(100);
  std::thread canceller([&] {
    std::this_thread::sleep_for(200ms);
    port.CancelIo();
  });
  const Clock::time_point start = Clock::now();
  EXPECT_LT(port.Write(data.data(), data.size()), data.size());
  const auto took = Clock::now() - start;
  EXPECT_GE(took, 190ms);
  EXPECT_LT(took, 300ms);
  canceller.join();
  const Clock::time_point closing = Clock::now();
  port.Close();
  EXPECT_LT(Clock::now() - closing, 100ms);
  EXPECT_TRUE(rig.Sent().empty());
}

// An Xoff from the printer holds the queue; the kernel's close would wait for it up to 30 s.
TEST_F(SerialFlow, CancelWithXoffPendingDiscardsTheQueueAndClosesAtOnce) {
  if (RanUnderUmockdev()) {
    return;
  }
  UartRig rig;
  rig.SetLines(TIOCM_CTS);
  CPortCom port;
  ASSERT_TRUE(port.Configure(Settings(1, 1)));
  ASSERT_TRUE(port.Open()) << port.LastError();
  rig.HoldLine(true);
  const std::vector<std::uint8_t> data = Pattern(3000);
  ASSERT_EQ(port.Write(data.data(), data.size()), data.size());
  EXPECT_EQ(rig.Queued(), data.size());
  port.CancelIo();
  const std::size_t flushesBefore = rig.Flushes();
  const Clock::time_point start = Clock::now();
  port.Close();
  const auto took = Clock::now() - start;
  std::printf("close after a cancel with Xoff pending: %.1f ms\n",
              std::chrono::duration<double, std::milli>(took).count());
  EXPECT_LT(took, 100ms);
  EXPECT_GT(rig.Flushes(), flushesBefore);
  EXPECT_EQ(rig.Queued(), 0u);
}

TEST_F(SerialFlow, CloseAfterACompletedWriteWaitsForTheQueueButNoLongerThanItTakes) {
  if (RanUnderUmockdev()) {
    return;
  }
  UartRig rig;
  rig.SetLines(TIOCM_CTS);
  CPortCom port;
  ASSERT_TRUE(port.Configure(Settings(1, 1)));
  ASSERT_TRUE(port.Open()) << port.LastError();
  const std::vector<std::uint8_t> data = Pattern(300);
  ASSERT_EQ(port.Write(data.data(), data.size()), data.size());
  Clock::time_point start = Clock::now();
  port.Close();
  std::printf("close with 300 bytes queued at 9600 bit/s: %.1f ms\n",
              std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  EXPECT_EQ(rig.Sent(), data);  // nothing cut off

  // A line held by an Xoff keeps the queue: the close gives up after the time the bytes take.
  ASSERT_TRUE(port.Open()) << port.LastError();
  rig.HoldLine(true);
  ASSERT_EQ(port.Write(data.data(), 100), 100u);
  start = Clock::now();
  port.Close();
  const auto took = Clock::now() - start;
  std::printf("close with 100 bytes held by Xoff: %.1f ms\n",
              std::chrono::duration<double, std::milli>(took).count());
  EXPECT_LT(took, 200ms + 2 * 100 * 1042us + 100ms);
  EXPECT_EQ(rig.Queued(), 0u);
}

}  // namespace
}  // namespace azuz
