#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <thread>

#include "CapturedMessages.h"
#include "Connection.h"
#include "LoopbackListener.h"
#include "SilentListener.h"
#include "TransferSession.h"

namespace azuz {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::CapturedMessages;
using test::LoopbackListener;

std::vector<std::uint8_t> Pattern(std::size_t length) {
  std::vector<std::uint8_t> data(length);
  for (std::size_t i = 0; i < length; ++i) {
    data[i] = static_cast<std::uint8_t>(i % 253);
  }
  return data;
}

TransferRequest TcpRequest(const std::vector<std::uint8_t>& data, int port) {
  TransferRequest request;
  request.data = data.data();
  request.length = static_cast<std::uint32_t>(data.size());
  request.caption = "Download Watermark image";
  request.portKind = kPortKindTcpIp;
  request.settings.portName = "127.0.0.1";
  request.settings.baudRate = port;
  return request;
}

// The worker's progress reports, taken on the worker thread.
struct ProgressLog {
  std::mutex mutex;
  std::vector<std::pair<int, std::uint32_t>> steps;
  Clock::time_point last;

  void Attach(TransferSession& session) {
    session.onProgress = [this](int position, std::uint32_t sent) {
      std::lock_guard lock(mutex);
      steps.push_back({position, sent});
      last = Clock::now();
    };
  }
  std::vector<std::pair<int, std::uint32_t>> Steps() {
    std::lock_guard lock(mutex);
    return steps;
  }
};

// Loopback buffers swallow megabytes; a small send buffer on the transfer's own socket makes a
// printer that stops reading block the sender after a few kilobytes, as a real one does.
bool ShrinkSendBufferOfConnectionTo(int port) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    const int fd = std::stoi(entry.path().filename().string());
    sockaddr_in peer{};
    sockaddr_in self{};
    socklen_t size = sizeof peer;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) != 0 ||
        peer.sin_family != AF_INET || ntohs(peer.sin_port) != port) {
      continue;
    }
    size = sizeof self;
    getsockname(fd, reinterpret_cast<sockaddr*>(&self), &size);
    if (ntohs(self.sin_port) == port) {
      continue;  // the listener's end
    }
    const int bytes = 4096;
    return setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes) == 0;
  }
  return false;
}

TEST(TransferChunks, AboutAHundredOfAtLeastAHundredBytes) {
  EXPECT_EQ(TransferSession::ChunkSize(23773), 237u);
  EXPECT_EQ(TransferSession::ChunkSize(4028), 100u);
  EXPECT_EQ(TransferSession::ChunkSize(10099), 100u);
  EXPECT_EQ(TransferSession::ChunkSize(32), 100u);
  EXPECT_EQ(TransferSession::ChunkSize(1000000), 10000u);
}

struct ChunkCase {
  std::uint32_t length;
  std::uint32_t chunk;
  int chunks;
};

class TransferChunking : public ::testing::TestWithParam<ChunkCase> {};

TEST_P(TransferChunking, EveryChunkReportsProgressAndTheBlockArrivesWhole) {
  const ChunkCase c = GetParam();
  LoopbackListener listener;
  CapturedMessages messages;
  const std::vector<std::uint8_t> data = Pattern(c.length);
  TransferSession session(TcpRequest(data, listener.Port()));
  ProgressLog progress;
  progress.Attach(session);

  EXPECT_EQ(session.Run(), TransferSession::Result::Ok);
  const Clock::time_point ended = Clock::now();

  const auto steps = progress.Steps();
  ASSERT_EQ(steps.size(), static_cast<std::size_t>(c.chunks) + 1);
  for (int i = 0; i < c.chunks; ++i) {
    EXPECT_EQ(steps[i].first, i + 1);
    EXPECT_EQ(steps[i].second, std::min<std::uint32_t>((i + 1) * c.chunk, c.length)) << i;
  }
  EXPECT_EQ(steps.back(), std::make_pair(100, c.length));
  EXPECT_EQ(session.ButtonCaption(), "Completed");
  EXPECT_TRUE(session.Completed());
  // The connection closes in the finishing step, about a second after the last chunk.
  ASSERT_TRUE(listener.WaitClosed(1s));
  EXPECT_GE(ended - progress.last, 950ms);
  EXPECT_LT(ended - progress.last, 1300ms);
  EXPECT_EQ(listener.Received(), data);
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_TRUE(session.TakeMessages().empty());
}

INSTANTIATE_TEST_SUITE_P(Blocks, TransferChunking,
                         ::testing::Values(ChunkCase{23773, 237, 101},  // 100 x 237 + 73
                                           ChunkCase{4028, 100, 41},    // 40 x 100 + 28
                                           ChunkCase{10099, 100, 101},  // positions pass 100
                                           ChunkCase{4, 100, 1}));

TEST(TransferSession, CancelEndsQuicklyWhenThePrinterStopsReading) {
  LoopbackListener listener(4096);
  listener.SetReading(false);
  const std::vector<std::uint8_t> data = Pattern(102400);  // chunks of 1024: no TCP pauses
  TransferSession session(TcpRequest(data, listener.Port()));
  ProgressLog progress;
  progress.Attach(session);
  ASSERT_TRUE(session.Start());
  for (int i = 0; i < 200 && !session.Opened(); ++i) {
    std::this_thread::sleep_for(5ms);  // the connect runs on the worker
  }
  ASSERT_TRUE(ShrinkSendBufferOfConnectionTo(listener.Port()));

  // Wait until the worker is stuck in a send: no progress for 300 ms.
  int stalledAt = -1;
  for (int i = 0; i < 100 && stalledAt < 0; ++i) {
    const int before = session.Position();
    std::this_thread::sleep_for(300ms);
    if (session.Position() == before && before > 0) {
      stalledAt = before;
    }
  }
  ASSERT_GT(stalledAt, 0) << "the transfer never blocked";
  ASSERT_LT(stalledAt, 100);

  const Clock::time_point start = Clock::now();
  EXPECT_EQ(session.Cancel(), TransferSession::Result::Cancel);
  const Clock::duration took = Clock::now() - start;
  EXPECT_LT(took, 500ms);
  std::printf("cancel of a blocked send took %.1f ms at chunk %d\n",
              std::chrono::duration<double, std::milli>(took).count(), stalledAt);
  EXPECT_FALSE(session.Completed());
  EXPECT_FALSE(ConnectionSocket().IsOpen());  // a cancelled transfer closes what it opened
}

TEST(TransferSession, ADroppedConnectionFailsTheTransferAndClosesIt) {
  LoopbackListener listener;
  listener.DropAfter(2000);
  CapturedMessages messages;
  const std::vector<std::uint8_t> data = Pattern(23773);
  TransferSession session(TcpRequest(data, listener.Port()));
  ASSERT_TRUE(session.Start());
  ASSERT_TRUE(session.WaitWorker(5s));
  EXPECT_FALSE(session.Completed());
  // The worker shows nothing itself: the failure waits in the session for the window.
  EXPECT_TRUE(messages.Texts().empty());
  const std::vector<ConnectionMessage> left = session.TakeMessages();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].text, "Error : Data transfer is failed!");
  EXPECT_FALSE(left[0].detail.empty());
  EXPECT_LT(session.Position(), 100);

  session.Finish();
  EXPECT_FALSE(session.Ended());  // the window waits for the user
  EXPECT_EQ(session.ButtonCaption(), "Close");
  EXPECT_FALSE(ConnectionSocket().IsOpen());
  EXPECT_EQ(session.Cancel(), TransferSession::Result::Cancel);
}

TEST(TransferSession, AFailedOpenEndsTheSessionWithItsMessageAndGivesPortsBack) {
  CapturedMessages messages;
  const std::vector<std::uint8_t> data = Pattern(4);
  TransferRequest request;
  request.data = data.data();
  request.length = 4;
  request.portKind = kPortKindSerial;
  request.releaseSpoolerPort = true;
  request.settings.portName = "COM200";  // /dev/ttyS199: not present
  std::mutex mutex;
  std::vector<std::string> calls;
  std::vector<ConnectionMessage> left;
  {
    TransferSession session(request);
    session.releasePorts = [&](const std::string& node) {
      std::lock_guard lock(mutex);
      calls.push_back("release " + node);
    };
    session.restorePorts = [&](const std::string& node) {
      std::lock_guard lock(mutex);
      calls.push_back("restore " + node);
    };
    std::atomic<int> opened{-1};
    session.onOpened = [&](bool ok) { opened = ok ? 1 : 0; };
    ASSERT_TRUE(session.Start());  // the open runs on the worker
    ASSERT_TRUE(session.WaitEnded(5s));
    EXPECT_EQ(opened, 0);
    EXPECT_FALSE(session.Opened());
    left = session.TakeMessages();
    EXPECT_EQ(session.Cancel(), TransferSession::Result::Cancel);
  }
  EXPECT_EQ(calls, (std::vector<std::string>{"release /dev/ttyS199", "restore /dev/ttyS199"}));
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].text, "Error : Can't open port!");
  EXPECT_NE(left[0].detail.find("/dev/ttyS199"), std::string::npos) << left[0].detail;
  EXPECT_TRUE(messages.Texts().empty());
}

TEST(TransferSession, StartNeverWaitsForTheConnectAndCancelEndsItAtOnce) {
  test::SilentListener silent;
  ASSERT_TRUE(silent.full) << "the listener's queue never filled";
  CapturedMessages messages;
  const std::vector<std::uint8_t> data = Pattern(4);
  TransferSession session(TcpRequest(data, silent.port));
  const Clock::time_point start = Clock::now();
  ASSERT_TRUE(session.Start());
  EXPECT_LT(Clock::now() - start, 100ms);
  std::this_thread::sleep_for(500ms);
  EXPECT_FALSE(session.WaitWorker(0ms)) << "the connect did not hang";

  const Clock::time_point cancelAt = Clock::now();
  EXPECT_EQ(session.Cancel(), TransferSession::Result::Cancel);
  const Clock::duration took = Clock::now() - cancelAt;
  EXPECT_LT(took, 500ms);
  std::printf("cancel of a hanging connect took %.1f ms\n",
              std::chrono::duration<double, std::milli>(took).count());
  ASSERT_TRUE(session.WaitEnded(1s));
  EXPECT_FALSE(session.Opened());
  EXPECT_TRUE(session.TakeMessages().empty());  // the user's own cancel says nothing
  EXPECT_FALSE(ConnectionSocket().IsOpen());
  EXPECT_TRUE(messages.Texts().empty());
}

TEST(TransferSession, ACancelNeverWaitsForTheSpoolerAndTheQueuesStillComeBack) {
  LoopbackListener listener;
  const std::vector<std::uint8_t> data = Pattern(4);
  TransferRequest request = TcpRequest(data, listener.Port());
  request.releaseSpoolerPort = true;
  std::atomic<int> restored{0};
  std::atomic<bool> openedAfterCancel{false};
  {
    TransferSession session(request);
    // A spooler that takes its time over moving the queues.
    session.releasePorts = [](const std::string&) { std::this_thread::sleep_for(1500ms); };
    session.restorePorts = [&](const std::string&) { ++restored; };
    session.onOpened = [&](bool) { openedAfterCancel = true; };
    ASSERT_TRUE(session.Start());
    std::this_thread::sleep_for(100ms);
    const Clock::time_point cancelAt = Clock::now();
    EXPECT_EQ(session.Cancel(), TransferSession::Result::Cancel);
    EXPECT_LT(Clock::now() - cancelAt, 100ms);
  }
  // The session is gone; its worker finishes the move, never opens, and gives the queues back.
  EXPECT_EQ(restored, 0);
  ASSERT_TRUE(TransferSession::WaitForAllSessions(5s));
  EXPECT_EQ(restored, 1);
  EXPECT_FALSE(openedAfterCancel);
  EXPECT_FALSE(listener.WaitClosed(200ms));  // no connection was ever made
}

TEST(TransferSession, NothingToSendNeverOpens) {
  CapturedMessages messages;
  TransferRequest request;
  request.settings.portName = "COM200";
  TransferSession session(request);
  EXPECT_EQ(session.Run(), TransferSession::Result::Cancel);
  EXPECT_TRUE(messages.Texts().empty());
}

TEST(TransferSession, CancelAfterTheLastChunkStillEndsOk) {
  LoopbackListener listener;
  const std::vector<std::uint8_t> data = Pattern(4);
  TransferRequest request = TcpRequest(data, listener.Port());
  request.releaseSpoolerPort = true;
  int restored = 0;
  TransferSession session(request);
  session.restorePorts = [&](const std::string& node) {
    EXPECT_EQ(node, "127.0.0.1");
    ++restored;
  };
  ASSERT_TRUE(session.Start());
  ASSERT_TRUE(session.WaitWorker(2s));
  EXPECT_EQ(session.Cancel(), TransferSession::Result::Ok);
  EXPECT_EQ(session.ButtonCaption(), "Cancel");
  EXPECT_TRUE(listener.WaitClosed(2s));
  ASSERT_TRUE(session.WaitEnded(2s));
  EXPECT_EQ(restored, 1);
}

}  // namespace
}  // namespace azuz
