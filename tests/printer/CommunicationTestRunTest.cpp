#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "CapturedMessages.h"
#include "CommunicationTest.h"
#include "CommunicationTestRun.h"
#include "Connection.h"
#include "CupsdTest.h"
#include "LoopbackListener.h"
#include "PortNames.h"

namespace azuz {
namespace {

using namespace std::chrono_literals;

const std::vector<std::uint8_t> kTestBytes(
    reinterpret_cast<const std::uint8_t*>(kCommunicationTestText),
    reinterpret_cast<const std::uint8_t*>(kCommunicationTestText) + kCommunicationTestLength);

// What the worker reported, waited for on the test's thread.
struct Ending {
  std::mutex mutex;
  std::condition_variable changed;
  bool ended = false;
  int result = 99;
  bool delivered = false;
  bool cancelled = false;

  void Watch(CommunicationTestRun& run) {
    run.onEnded = [this](int r, bool d, bool c) {
      const std::lock_guard lock(mutex);
      ended = true;
      result = r;
      delivered = d;
      cancelled = c;
      changed.notify_all();
    };
  }
  bool Wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [this] { return ended; });
  }
};

CommSettings Tcp(const std::string& address, int port) {
  CommSettings settings;
  settings.portName = address;
  settings.baudRate = port;
  return settings;
}

// Descriptors of this process open on `node`.
int OpenDescriptorsOn(const std::string& node) {
  int count = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    std::error_code ignored;
    if (std::filesystem::read_symlink(entry.path(), ignored) == node) {
      ++count;
    }
  }
  return count;
}

TEST(CommunicationTestRun, TheTestTextReachesATcpPrinterAndTheConnectionCloses) {
  test::LoopbackListener printer;
  test::CapturedMessages messages;
  CommunicationTestRun run;
  Ending ending;
  ending.Watch(run);
  ASSERT_TRUE(run.Start(kPortKindTcpIp, Tcp(" 127.  0.  0.  1", printer.Port()), false));
  ASSERT_TRUE(ending.Wait(5s));
  EXPECT_EQ(ending.result, 0);
  EXPECT_TRUE(ending.delivered);
  EXPECT_TRUE(printer.WaitClosed(2s));
  EXPECT_EQ(printer.Received(), kTestBytes);
  EXPECT_TRUE(messages.Texts().empty());
}

TEST(CommunicationTestRun, ARefusedConnectShowsThePortMessageOnly) {
  int port = 0;
  {
    test::LoopbackListener closed;  // a port that was just free
    port = closed.Port();
  }
  test::CapturedMessages messages;
  CommunicationTestRun run;
  Ending ending;
  ending.Watch(run);
  ASSERT_TRUE(run.Start(kPortKindTcpIp, Tcp("127.0.0.1", port), false));
  ASSERT_TRUE(ending.Wait(5s));
  // The direct test has no result of its own: never the spooler's failure text.
  EXPECT_EQ(ending.result, 0);
  EXPECT_FALSE(ending.delivered);
  // The worker shows nothing itself; it hands the port layer's message to the window.
  run.Wait();
  EXPECT_TRUE(messages.Texts().empty());
  const std::vector<ConnectionMessage> left = run.TakeMessages();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].text, kMessageConnectFailed);
  EXPECT_NE(left[0].detail.find("refused"), std::string::npos) << left[0].detail;
  EXPECT_TRUE(run.TakeMessages().empty());
}

TEST(CommunicationTestRun, ACancelEndsAConnectThatGetsNoAnswerWithoutAMessage) {
  // A listener that accepts nothing and whose queue is full: further connects get no answer.
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&where), sizeof where), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  socklen_t size = sizeof where;
  getsockname(listener, reinterpret_cast<sockaddr*>(&where), &size);
  std::vector<int> fillers;
  for (int n = 0; n < 3; ++n) {
    const int filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    connect(filler, reinterpret_cast<sockaddr*>(&where), sizeof where);
    fillers.push_back(filler);
  }
  std::this_thread::sleep_for(100ms);

  test::CapturedMessages messages;
  CommunicationTestRun run;
  Ending ending;
  ending.Watch(run);
  ASSERT_TRUE(run.Start(kPortKindTcpIp, Tcp("127.0.0.1", ntohs(where.sin_port)), false));
  std::this_thread::sleep_for(300ms);
  ASSERT_TRUE(run.Running()) << "the connect was answered; the queue did not fill";
  EXPECT_FALSE(run.Start(kPortKindTcpIp, Tcp("127.0.0.1", 1), false));  // one at a time
  const auto cancelAt = std::chrono::steady_clock::now();
  run.CancelAndWait();
  EXPECT_LT(std::chrono::steady_clock::now() - cancelAt, 1s);
  ASSERT_TRUE(ending.Wait(1s));
  EXPECT_TRUE(ending.cancelled);
  EXPECT_FALSE(ending.delivered);
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_TRUE(run.TakeMessages().empty());
  for (int filler : fillers) {
    close(filler);
  }
  close(listener);
}

TEST(CommunicationTestRun, AFailedWriteStillReleasesThePort) {
  // A parallel port whose writes always fail.
  SetPortNodeResolver([](const std::string&) { return std::string("/dev/full"); });
  test::CapturedMessages messages;
  CommSettings settings;
  settings.portName = "LPT1";
  bool delivered = true;
  EXPECT_EQ(RunCommunicationTest(kPortKindParallel, settings, false, &delivered), 0);
  SetPortNodeResolver(nullptr);
  EXPECT_FALSE(delivered);
  EXPECT_EQ(OpenDescriptorsOn("/dev/full"), 0);
  EXPECT_TRUE(messages.Texts().empty());
}

class CommunicationTestSpooler : public test::CupsdTest {};

TEST_F(CommunicationTestSpooler, DriverModeIsOneRawJobWithTheTestText) {
  ASSERT_TRUE(cupsd.AddQueue("slip", "ORVELIX QPT-L710"));
  CommunicationTestRun run;
  Ending ending;
  ending.Watch(run);
  CommSettings settings;
  settings.portName = "slip";
  ASSERT_TRUE(run.Start(kPortKindSerial, settings, true));
  ASSERT_TRUE(ending.Wait(10s));
  EXPECT_EQ(ending.result, 0);
  ASSERT_TRUE(cupsd.WaitForJobs(1, 10s)) << cupsd.ErrorLog();
  const auto jobs = cupsd.Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].queue, "slip");
  EXPECT_EQ(jobs[0].title, "WaterMark: Communication Test");
  EXPECT_EQ(jobs[0].bytes, kTestBytes);

  settings.portName = "gone";
  ending.ended = false;
  ASSERT_TRUE(run.Start(kPortKindSerial, settings, true));
  ASSERT_TRUE(ending.Wait(10s));
  EXPECT_EQ(ending.result, -1);
  EXPECT_EQ(CommunicationTestFailure(ending.result),
            "Failed to test printing\r\nError Code = -1!!!");
}

TEST_F(CommunicationTestSpooler, StoppingADriverModeTestEndsItAtOnceWhenThePrintServiceStalls) {
  ASSERT_TRUE(cupsd.AddQueue("slip", "ORVELIX QPT-L710"));
  ASSERT_TRUE(cupsd.Freeze());
  CommunicationTestRun run;
  Ending ending;
  ending.Watch(run);
  CommSettings settings;
  settings.portName = "slip";
  ASSERT_TRUE(run.Start(kPortKindSerial, settings, true));
  std::this_thread::sleep_for(500ms);
  ASSERT_TRUE(run.Running()) << "the job did not stall";
  const auto cancelAt = std::chrono::steady_clock::now();
  run.CancelAndWait();
  const auto took = std::chrono::steady_clock::now() - cancelAt;
  std::printf("stopping a stalled spooler test took %.1f ms\n",
              std::chrono::duration<double, std::milli>(took).count());
  EXPECT_LT(took, 500ms);
  EXPECT_TRUE(cupsd.Thaw());
  ASSERT_TRUE(ending.Wait(1s));
  EXPECT_TRUE(ending.cancelled);
  EXPECT_FALSE(ending.delivered);
  EXPECT_TRUE(run.TakeMessages().empty());
}

}  // namespace
}  // namespace azuz
