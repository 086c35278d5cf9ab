#include <gtest/gtest.h>

#include <numeric>
#include <thread>

#include "CapturedMessages.h"
#include "Connection.h"
#include "LoopbackListener.h"
#include "PrinterCommands.h"

namespace azuz {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::CapturedMessages;
using test::LoopbackListener;

CommSettings TcpSettings(const std::string& address, int port) {
  CommSettings settings;
  settings.portName = address;
  settings.baudRate = port;
  return settings;
}

std::vector<std::uint8_t> Pattern(std::size_t length) {
  std::vector<std::uint8_t> data(length);
  for (std::size_t i = 0; i < length; ++i) {
    data[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  }
  return data;
}

// Arrivals closer together than `gap` are one burst; returns the bursts' sizes and start times.
std::vector<std::pair<std::size_t, Clock::time_point>> Bursts(
    const std::vector<LoopbackListener::Arrival>& arrivals, Clock::duration gap) {
  std::vector<std::pair<std::size_t, Clock::time_point>> bursts;
  for (const auto& a : arrivals) {
    if (bursts.empty() || a.at - bursts.back().second > gap) {
      bursts.push_back({a.size, a.at});
    } else {
      bursts.back().first += a.size;
    }
  }
  return bursts;
}

TEST(TcpConnection, CommandsArriveByteForByte) {
  LoopbackListener listener;
  CapturedMessages messages;
  const PrinterCommand commands[] = {WatermarkSwitchCommand(true), WatermarkSwitchCommand(false),
                                     PermanentSwitchCommand(true), TestPageCommand()};
  std::vector<std::uint8_t> expected;
  ASSERT_TRUE(OpenConnection(kPortKindTcpIp, TcpSettings("127.0.0.1", listener.Port()), false));
  for (const PrinterCommand& command : commands) {
    ASSERT_TRUE(WriteConnection(command.bytes.data(), command.bytes.size()));
    expected.insert(expected.end(), command.bytes.begin(), command.bytes.end());
  }
  CloseConnection();
  ASSERT_TRUE(listener.WaitClosed(5s));
  EXPECT_EQ(listener.Received(), expected);
  EXPECT_TRUE(messages.Texts().empty());
}

TEST(TcpConnection, LongBlocksGoIn1024BytePiecesHalfASecondApart) {
  LoopbackListener listener;
  const std::vector<std::uint8_t> data = Pattern(2500);
  ASSERT_TRUE(OpenConnection(kPortKindTcpIp, TcpSettings("127.0.0.1", listener.Port()), false));
  const Clock::time_point start = Clock::now();
  ASSERT_TRUE(WriteConnection(data.data(), data.size()));
  const Clock::duration took = Clock::now() - start;
  ASSERT_TRUE(listener.WaitForBytes(2500, 2s));
  CloseConnection();

  EXPECT_EQ(listener.Received(), data);
  const auto bursts = Bursts(listener.Arrivals(), 250ms);
  ASSERT_EQ(bursts.size(), 3u);
  EXPECT_EQ(bursts[0].first, 1024u);
  EXPECT_EQ(bursts[1].first, 1024u);
  EXPECT_EQ(bursts[2].first, 452u);
  for (int i = 1; i < 3; ++i) {
    const auto apart = bursts[i].second - bursts[i - 1].second;
    EXPECT_GE(apart, 480ms) << i;
    EXPECT_LE(apart, 650ms) << i;
    std::printf("piece %d arrived %.1f ms after piece %d\n", i + 1,
                std::chrono::duration<double, std::milli>(apart).count(), i);
  }
  EXPECT_GE(took, 1000ms);  // two pauses, none after the last piece
  EXPECT_LT(took, 1300ms);
}

TEST(TcpConnection, ExactlyOnePieceHasNoPause) {
  LoopbackListener listener;
  const std::vector<std::uint8_t> data = Pattern(1024);
  ASSERT_TRUE(OpenConnection(kPortKindTcpIp, TcpSettings("127.0.0.1", listener.Port()), false));
  const Clock::time_point start = Clock::now();
  ASSERT_TRUE(WriteConnection(data.data(), data.size()));
  EXPECT_LT(Clock::now() - start, 200ms);
  ASSERT_TRUE(listener.WaitForBytes(1024, 2s));
  CloseConnection();
  EXPECT_EQ(listener.Received(), data);
}

TEST(TcpConnection, BlanksInsideADottedAddressAreIgnored) {
  LoopbackListener listener;
  CapturedMessages messages;
  // The settings dialog formats the address with "%3d.%3d.%3d.%3d".
  ASSERT_TRUE(
      OpenConnection(kPortKindTcpIp, TcpSettings("127.  0.  0.  1", listener.Port()), false));
  const std::uint8_t on[] = {0x08, 0x57, 0x45, 0x01};
  ASSERT_TRUE(WriteConnection(on, sizeof on));
  CloseConnection();
  ASSERT_TRUE(listener.WaitForBytes(4, 2s));
  EXPECT_TRUE(messages.Texts().empty());
}

TEST(TcpConnection, RefusedConnectShowsTheConnectMessage) {
  int freePort = 0;
  {
    LoopbackListener closedSoon;
    freePort = closedSoon.Port();
  }
  CapturedMessages messages;
  EXPECT_FALSE(OpenConnection(kPortKindTcpIp, TcpSettings("127.0.0.1", freePort), false));
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0],
            "Error : Failed to connected \r\nPlease, check IP port configuration in printer "
            "control pannel \"PORT\"");
  EXPECT_NE(messages.Details()[0].find("refused"), std::string::npos) << messages.Details()[0];
  EXPECT_FALSE(ConnectionSocket().IsOpen());
  const std::uint8_t byte = 0;
  EXPECT_FALSE(WriteConnection(&byte, 1));
}

TEST(TcpConnection, AnUnansweredConnectEndsWithinItsBound) {
  EXPECT_EQ(CASock().connectTimeout, 10s);
  // A listener that never accepts and whose queue is full drops further handshakes: the
  // connect gets no answer.
  const int full = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof where;
  ASSERT_EQ(bind(full, reinterpret_cast<sockaddr*>(&where), sizeof where), 0);
  ASSERT_EQ(listen(full, 0), 0);
  getsockname(full, reinterpret_cast<sockaddr*>(&where), &size);
  const int port = ntohs(where.sin_port);
  std::vector<CASock> fillers(3);
  for (CASock& filler : fillers) {
    filler.connectTimeout = 300ms;
    filler.Create();
    filler.Connect("127.0.0.1", port);
  }
  CASock sock;
  sock.connectTimeout = 400ms;
  ASSERT_TRUE(sock.Create());
  const Clock::time_point start = Clock::now();
  const bool connected = sock.Connect("127.0.0.1", port);
  const Clock::duration took = Clock::now() - start;
  close(full);
  if (connected) {
    GTEST_SKIP() << "this kernel completed a handshake beyond the accept queue";
  }
  EXPECT_GE(took, 380ms);
  EXPECT_LT(took, 900ms);
  EXPECT_NE(sock.LastError().find("no answer"), std::string::npos) << sock.LastError();
  EXPECT_FALSE(sock.IsOpen());
}

TEST(TcpConnection, AnswerReadIsBounded) {
  LoopbackListener listener;
  ASSERT_TRUE(OpenConnection(kPortKindTcpIp, TcpSettings("127.0.0.1", listener.Port()), false));
  std::uint8_t answer[kAnswerCapacity] = {};
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(ReadConnectionAnswer(answer), 0u);
  const Clock::duration took = Clock::now() - start;
  EXPECT_GE(took, 950ms);
  EXPECT_LT(took, 1500ms);
  CloseConnection();
}

TEST(TcpConnection, CancelEndsAPauseAndTheWrite) {
  LoopbackListener listener;
  const std::vector<std::uint8_t> data = Pattern(5000);
  ASSERT_TRUE(OpenConnection(kPortKindTcpIp, TcpSettings("127.0.0.1", listener.Port()), false));
  std::thread canceller([] {
    std::this_thread::sleep_for(200ms);
    CancelConnectionIo();
  });
  const Clock::time_point start = Clock::now();
  EXPECT_FALSE(WriteConnection(data.data(), data.size()));
  const Clock::duration took = Clock::now() - start;
  canceller.join();
  EXPECT_LT(took, 400ms);
  CloseConnection();
  ASSERT_TRUE(listener.WaitClosed(2s));
  EXPECT_EQ(listener.Received().size(), 1024u);
}

}  // namespace
}  // namespace azuz
