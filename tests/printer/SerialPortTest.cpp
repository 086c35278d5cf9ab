#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "CPortCom.h"
#include "CapturedMessages.h"
#include "Com10Test.h"
#include "Connection.h"
#include "PortNames.h"
#include "PrinterCommands.h"
#include "TransferSession.h"
#include "UmockdevBed.h"

namespace azuz {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::CapturedMessages;
using test::RanUnderUmockdev;
using test::UmockdevSerial;

class SerialPort : public test::Com10Test {
 protected:
  // Everything the printer's end has received within `wait`.
  static std::vector<std::uint8_t> Drain(int master, std::size_t expected,
                                         std::chrono::milliseconds wait) {
    std::vector<std::uint8_t> got;
    const auto deadline = Clock::now() + wait;
    std::uint8_t buffer[4096];
    while (got.size() < expected && Clock::now() < deadline) {
      pollfd p{master, POLLIN, 0};
      if (poll(&p, 1, 5) == 1) {
        const ssize_t n = read(master, buffer, sizeof buffer);
        got.insert(got.end(), buffer, buffer + std::max<ssize_t>(n, 0));
      }
    }
    return got;
  }

  // Whether the port is still held for exclusive use once our side has let it go: then nobody
  // but root could open it again while the printer's side stays open.
  static bool LeftExclusive(const std::string& node) {
    const int fd = open(node.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      ADD_FAILURE() << "cannot reopen " << node << ": " << std::strerror(errno);
      return true;
    }
    int exclusive = 0;
    EXPECT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0) << std::strerror(errno);
    close(fd);
    return exclusive != 0;
  }

  static termios LineSettings(int master) {
    termios t{};
    tcgetattr(master, &t);
    return t;
  }
};

TEST_F(SerialPort, DtrDsrHandshakeNeedsDsr) {
  if (RanUnderUmockdev()) {
    return;
  }
  UmockdevSerial bed;
  CapturedMessages messages;
  bed.modemLines = TIOCM_CTS | TIOCM_CD;  // everything but DSR
  const PrinterCommand on = WatermarkSwitchCommand(true);
  TransferRequest request{on.bytes.data(), 4,  on.caption, false, kPortKindSerial, false, false,
                          Settings(0),     {}, {},         {}};
  TransferSession refused(request);
  ASSERT_TRUE(refused.Start());
  ASSERT_TRUE(refused.WaitEnded(5s));
  EXPECT_FALSE(refused.Opened());
  EXPECT_EQ(refused.Cancel(), TransferSession::Result::Cancel);
  const std::vector<ConnectionMessage> left = refused.TakeMessages();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].text, "Error : Can't open port!");
  EXPECT_NE(left[0].detail.find("DSR"), std::string::npos) << left[0].detail;
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_FALSE(LeftExclusive(bed.node));

  bed.modemLines = TIOCM_DSR | TIOCM_RTS;
  ASSERT_TRUE(OpenConnection(kPortKindSerial, Settings(0), false));
  EXPECT_TRUE(bed.modemLines & TIOCM_DTR);  // DTR raised for the printer
  EXPECT_FALSE(bed.modemLines & TIOCM_RTS);
  EXPECT_FALSE(LineSettings(bed.Master()).c_cflag & CRTSCTS);
  CloseConnection();
  EXPECT_FALSE(LeftExclusive(bed.node));
}

TEST_F(SerialPort, RtsCtsHandshakeLooksOnlyAtCts) {
  if (RanUnderUmockdev()) {
    return;
  }
  UmockdevSerial bed;
  CapturedMessages messages;
  bed.modemLines = TIOCM_DSR;
  EXPECT_FALSE(OpenConnection(kPortKindSerial, Settings(1), false));
  bed.modemLines = TIOCM_CTS | TIOCM_DTR;
  ASSERT_TRUE(OpenConnection(kPortKindSerial, Settings(1), false));
  EXPECT_TRUE(LineSettings(bed.Master()).c_cflag & CRTSCTS);
  EXPECT_TRUE(bed.modemLines & TIOCM_RTS);
  EXPECT_FALSE(bed.modemLines & TIOCM_DTR);
  CloseConnection();
  EXPECT_EQ(messages.Texts().size(), 1u);
}

TEST_F(SerialPort, OtherHandshakeValuesFail) {
  if (RanUnderUmockdev()) {
    return;
  }
  UmockdevSerial bed;
  CapturedMessages messages;
  bed.modemLines = TIOCM_DSR | TIOCM_CTS;
  EXPECT_FALSE(OpenConnection(kPortKindSerial, Settings(2), false));
  EXPECT_FALSE(OpenConnection(kPortKindSerial, Settings(-1), false));
  EXPECT_EQ(messages.Texts().size(), 2u);
  EXPECT_NE(messages.Details()[0].find("handshake 2"), std::string::npos);
}

TEST_F(SerialPort, XonXoffTurnsHardwareFlowOffButTheLineIsStillChecked) {
  if (RanUnderUmockdev()) {
    return;
  }
  UmockdevSerial bed;
  CapturedMessages messages;
  bed.modemLines = TIOCM_DSR | TIOCM_DTR | TIOCM_RTS;
  EXPECT_FALSE(OpenConnection(kPortKindSerial, Settings(1, 1), false));  // CTS is off
  bed.modemLines = TIOCM_CTS | TIOCM_DTR | TIOCM_RTS;
  ASSERT_TRUE(OpenConnection(kPortKindSerial, Settings(1, 1), false));
  const termios t = LineSettings(bed.Master());
  EXPECT_TRUE(t.c_iflag & IXON);
  EXPECT_TRUE(t.c_iflag & IXOFF);
  EXPECT_FALSE(t.c_cflag & CRTSCTS);
  EXPECT_FALSE(bed.modemLines & (TIOCM_DTR | TIOCM_RTS));
  CloseConnection();
}

TEST_F(SerialPort, LineSettingsAndDataPassUnchanged) {
  if (RanUnderUmockdev()) {
    return;
  }
  UmockdevSerial bed;
  bed.modemLines = TIOCM_DSR;
  CommSettings settings = Settings(0);
  settings.baudRate = 19200;
  settings.dataBits = 7;
  settings.parity = 2;
  settings.stopBits = 2;
  // The serial transport has fixed time-outs: these change nothing.
  settings.readIntervalTimeout = 1;
  settings.writeTotalTimeoutMultiplier = 0;
  settings.writeTotalTimeoutConstant = 1;
  ASSERT_TRUE(OpenConnection(kPortKindSerial, settings, false));
  // A pseudo-terminal keeps speed and stop bits (it forces 8 bits without parity).
  const termios t = LineSettings(bed.Master());
  EXPECT_EQ(cfgetospeed(&t), B19200);
  EXPECT_TRUE(t.c_cflag & CSTOPB);

  // Line feeds, zero bytes and all: the test page goes out exactly.
  const PrinterCommand page = TestPageCommand();
  ASSERT_TRUE(WriteConnection(page.bytes.data(), page.bytes.size()));
  EXPECT_EQ(Drain(bed.Master(), page.bytes.size(), 3s), page.bytes);
  CloseConnection();
}

TEST_F(SerialPort, OutputWaitsWhileDsrIsLowAndCancelEndsTheWait) {
  if (RanUnderUmockdev()) {
    return;
  }
  UmockdevSerial bed;
  bed.modemLines = TIOCM_DSR;
  CPortCom port;
  ASSERT_TRUE(port.Configure(Settings(0)));
  ASSERT_TRUE(port.Open());
  bed.modemLines = 0;  // the printer is busy
  const std::uint8_t data[] = {'a', 'b', 'c'};
  std::size_t written = 0;
  std::thread writer([&] { written = port.Write(data, sizeof data); });
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(Drain(bed.Master(), 1, 10ms).empty());
  bed.modemLines = TIOCM_DSR;
  writer.join();
  EXPECT_EQ(written, 3u);
  EXPECT_EQ(Drain(bed.Master(), 3, 1s), std::vector<std::uint8_t>(data, data + 3));

  bed.modemLines = 0;
  std::thread canceller([&] {
    std::this_thread::sleep_for(100ms);
    port.CancelIo();
  });
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(port.Write(data, sizeof data), 0u);
  EXPECT_LT(Clock::now() - start, 500ms);
  canceller.join();
  port.Close();
}

TEST_F(SerialPort, WithoutFlowControlNoLineIsWaitedFor) {
  if (RanUnderUmockdev()) {
    return;
  }
  UmockdevSerial bed;
  bed.modemLines = 0;  // a printer that drives neither DSR nor CTS
  CommSettings settings = Settings(0);
  settings.noFlowControl = true;
  CPortCom port;
  ASSERT_TRUE(port.Configure(settings));
  ASSERT_TRUE(port.Open()) << port.LastError();
  EXPECT_EQ(bed.modemLines & (TIOCM_DTR | TIOCM_RTS), TIOCM_DTR | TIOCM_RTS);
  const std::uint8_t data[] = {'x', 'y', 'z'};
  const Clock::time_point start = Clock::now();
  EXPECT_EQ(port.Write(data, sizeof data), 3u);
  EXPECT_LT(Clock::now() - start, 100ms);
  EXPECT_EQ(Drain(bed.Master(), 3, 1s), std::vector<std::uint8_t>(data, data + 3));
  port.Close();
}

TEST_F(SerialPort, AnswerReadTakes255AtOnceOrWaitsASecond) {
  if (RanUnderUmockdev()) {
    return;
  }
  UmockdevSerial bed;
  bed.modemLines = TIOCM_DSR;
  CPortCom port;
  ASSERT_TRUE(port.Configure(Settings(0)));
  ASSERT_TRUE(port.Open());
  std::uint8_t answer[255];

  std::vector<std::uint8_t> sent(300);
  for (std::size_t i = 0; i < sent.size(); ++i) {
    sent[i] = static_cast<std::uint8_t>(i);
  }
  ASSERT_EQ(write(bed.Master(), sent.data(), sent.size()), 300);
  for (int i = 0; i < 200 && port.Waiting() < 300; ++i) {
    std::this_thread::sleep_for(5ms);
  }
  ASSERT_EQ(port.Waiting(), 300u);
  Clock::time_point start = Clock::now();
  ASSERT_EQ(port.Read(answer), 255u);
  EXPECT_LT(Clock::now() - start, 100ms);
  EXPECT_TRUE(std::equal(answer, answer + 255, sent.begin()));
  EXPECT_EQ(port.Waiting(), 45u);

  start = Clock::now();
  ASSERT_EQ(port.Read(answer), 45u);  // fewer than 255: after the one-second wait
  EXPECT_GE(Clock::now() - start, 990ms);
  EXPECT_LT(Clock::now() - start, 1300ms);
  EXPECT_TRUE(std::equal(answer, answer + 45, sent.begin() + 255));

  start = Clock::now();
  port.Close();
  EXPECT_LT(Clock::now() - start, 100ms);  // the reader ends at once
  EXPECT_EQ(port.Read(answer), 0u);
}

TEST_F(SerialPort, TheReceiveBufferNeverOverflows) {
  if (RanUnderUmockdev()) {
    return;
  }
  UmockdevSerial bed;
  bed.modemLines = TIOCM_DSR;
  CommSettings settings = Settings(0);
  settings.receiveBufferSize = 100;
  CPortCom port;
  ASSERT_TRUE(port.Configure(settings));
  ASSERT_TRUE(port.Open());
  const std::vector<std::uint8_t> sent(300, 0x5A);
  ASSERT_EQ(write(bed.Master(), sent.data(), sent.size()), 300);
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(port.Waiting(), 100u);
  std::uint8_t answer[255] = {};
  EXPECT_EQ(port.Read(answer), 100u);
  port.Close();
}

TEST(UsbPrinterPort, WritesGoIn4096BytePieces) {
  if (RanUnderUmockdev()) {
    return;
  }
  test::UmockdevUsbPrinter printer;
  CapturedMessages messages;
  CommSettings settings;
  settings.portName = "/dev/usb/lp0";
  ASSERT_TRUE(OpenConnection(kPortKindUsb, settings, false));
  std::vector<std::uint8_t> data(10000);
  for (std::size_t i = 0; i < data.size(); ++i) {
    data[i] = static_cast<std::uint8_t>(i * 13);
  }
  ASSERT_TRUE(WriteConnection(data.data(), data.size()));
  CloseConnection();
  EXPECT_EQ(printer.WriteSizes(), (std::vector<std::size_t>{4096, 4096, 1808}));
  EXPECT_EQ(printer.Written(), data);
  EXPECT_TRUE(messages.Texts().empty());
}

}  // namespace
}  // namespace azuz
