#include <gtest/gtest.h>

#include "SerialLine.h"

namespace azuz {
namespace {

// What the line set-up makes of the settings, starting from a terminal in cooked mode.
bool Line(const CommSettings& settings, termios& t, std::string* error = nullptr) {
  t = termios{};
  t.c_iflag = ICRNL | IXON;
  t.c_oflag = OPOST | ONLCR;
  t.c_lflag = ICANON | ECHO | ISIG;
  t.c_cflag = CS8 | HUPCL;
  return SerialTermios(settings, t, error);
}

TEST(SerialLine, DefaultsAreRaw9600EightNoneOneWithoutTermiosFlow) {
  termios t{};
  ASSERT_TRUE(Line(CommSettings{}, t));
  EXPECT_EQ(cfgetospeed(&t), B9600);
  EXPECT_EQ(cfgetispeed(&t), B9600);
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_FALSE(t.c_cflag & (PARENB | CSTOPB | CRTSCTS));
  EXPECT_TRUE(t.c_cflag & CLOCAL);
  EXPECT_TRUE(t.c_cflag & CREAD);
  // Bytes must pass untouched: no line-feed translation, no echo, no software flow.
  EXPECT_FALSE(t.c_oflag & (OPOST | ONLCR));
  EXPECT_FALSE(t.c_iflag & (ICRNL | IXON | IXOFF | INPCK));
  EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG));
}

TEST(SerialLine, NoFlowControlOverridesEveryHandshakeWord) {
  for (int flowControl : {0, 1}) {
    for (int handshake : {0, 1}) {
      CommSettings settings;
      settings.noFlowControl = true;
      settings.flowControl = flowControl;
      settings.hardwareHandshake = handshake;
      termios t{};
      ASSERT_TRUE(Line(settings, t));
      EXPECT_FALSE(t.c_iflag & (IXON | IXOFF));
      EXPECT_FALSE(t.c_cflag & CRTSCTS);
      EXPECT_EQ(RequiredModemLine(settings), 0);
    }
  }
}

TEST(SerialLine, ParityValues) {
  struct Case {
    int parity;
    tcflag_t flags;
  };
  const Case cases[] = {{0, 0},
                        {1, PARENB | PARODD},
                        {2, PARENB},
                        {3, PARENB | CMSPAR | PARODD},
                        {4, PARENB | CMSPAR}};
  for (const Case& c : cases) {
    CommSettings settings;
    settings.parity = c.parity;
    termios t{};
    ASSERT_TRUE(Line(settings, t)) << c.parity;
    EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), c.flags) << c.parity;
    EXPECT_EQ((t.c_iflag & INPCK) != 0, c.parity != 0) << c.parity;
  }
  CommSettings bad;
  bad.parity = 5;
  termios t{};
  std::string error;
  EXPECT_FALSE(Line(bad, t, &error));
  EXPECT_NE(error.find("parity"), std::string::npos);
}

TEST(SerialLine, SizesStopBitsAndSpeeds) {
  CommSettings settings;
  termios t{};
  settings.dataBits = 5;
  settings.stopBits = 1;  // one and a half: termios has only two
  settings.baudRate = 115200;
  ASSERT_TRUE(Line(settings, t));
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS5));
  EXPECT_TRUE(t.c_cflag & CSTOPB);
  EXPECT_EQ(cfgetospeed(&t), B115200);
  settings.stopBits = 2;
  ASSERT_TRUE(Line(settings, t));
  EXPECT_TRUE(t.c_cflag & CSTOPB);

  for (int bits : {4, 9}) {
    settings = CommSettings{};
    settings.dataBits = bits;
    EXPECT_FALSE(Line(settings, t)) << bits;
  }
  settings = CommSettings{};
  settings.stopBits = 3;
  EXPECT_FALSE(Line(settings, t));
  settings = CommSettings{};
  settings.baudRate = 12345;
  EXPECT_FALSE(Line(settings, t));
}

TEST(SerialLine, FlowControl) {
  CommSettings settings;
  termios t{};
  settings.hardwareHandshake = 1;
  ASSERT_TRUE(Line(settings, t));
  EXPECT_TRUE(t.c_cflag & CRTSCTS);
  EXPECT_FALSE(t.c_iflag & (IXON | IXOFF));

  // Xon/Xoff wins over either hardware handshake.
  settings.flowControl = 1;
  ASSERT_TRUE(Line(settings, t));
  EXPECT_FALSE(t.c_cflag & CRTSCTS);
  EXPECT_TRUE(t.c_iflag & IXON);
  EXPECT_TRUE(t.c_iflag & IXOFF);

  settings.hardwareHandshake = 2;
  std::string error;
  EXPECT_FALSE(Line(settings, t, &error));
  EXPECT_NE(error.find("handshake 2"), std::string::npos);
}

}  // namespace
}  // namespace azuz
