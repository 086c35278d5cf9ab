#include <gtest/gtest.h>

#include "ConnectionSetup.h"
#include "DeviceUri.h"
#include "ModelName.h"
#include "RegistryFixture.h"

namespace azuz {
namespace {

TEST(SerialPortTable, MapsEveryRowAndLeavesUnknownTexts) {
  CommSettings s;
  ReadSerialPortSettings(s, {"230400", "e", "5", "1.5", "x"});
  EXPECT_EQ(s.baudRate, 115200);
  EXPECT_EQ(s.parity, 2);
  EXPECT_EQ(s.dataBits, 7);
  EXPECT_EQ(s.stopBits, 1);
  EXPECT_EQ(s.flowControl, 1);
  // Unknown texts (case counts) leave their fields; an empty flow text means hardware.
  ReadSerialPortSettings(s, {"12345", "N", "9", "3", ""});
  EXPECT_EQ(s.baudRate, 115200);
  EXPECT_EQ(s.parity, 2);
  EXPECT_EQ(s.dataBits, 7);
  EXPECT_EQ(s.stopBits, 1);
  EXPECT_EQ(s.flowControl, 0);
  ReadSerialPortSettings(s, {"110", "m", "8", "2", "X"});
  EXPECT_EQ(s.baudRate, 2400);
  EXPECT_EQ(s.parity, 0);
  EXPECT_EQ(s.dataBits, 8);
  EXPECT_EQ(s.stopBits, 2);
  EXPECT_EQ(s.flowControl, 0);  // "X" is no row
}

TEST(DeviceUris, SerialOptionsBecomeRecordedTexts) {
  std::string node;
  SerialPortFields f;
  ASSERT_TRUE(ParseSerialUri("serial:/dev/ttyS1?baud=19200+bits=7+parity=even+flow=soft", node, f));
  EXPECT_EQ(node, "/dev/ttyS1");
  EXPECT_EQ(f, (SerialPortFields{"19200", "e", "7", "", "x"}));
  ASSERT_TRUE(
      ParseSerialUri("serial:///dev/ttyUSB0?parity=space&stop=2&flow=none&parity=odd", node, f));
  EXPECT_EQ(node, "/dev/ttyUSB0");
  EXPECT_EQ(f, (SerialPortFields{"", "o", "", "2", "n"}));
  EXPECT_FALSE(ParseSerialUri("serial:?baud=9600", node, f));
  EXPECT_FALSE(ParseSerialUri("serial:ttyS0", node, f));
}

TEST(DeviceUris, SocketHostAndPort) {
  std::string host;
  int port = 0;
  bool hasPort = false;
  ASSERT_TRUE(ParseSocketUri("socket://192.168.1.20", host, port, hasPort));
  EXPECT_EQ(host, "192.168.1.20");
  EXPECT_EQ(port, 9100);
  ASSERT_TRUE(ParseSocketUri("socket://till.example:9101/?waiteof=false", host, port, hasPort));
  EXPECT_EQ(host, "till.example");
  EXPECT_EQ(port, 9101);
  ASSERT_TRUE(ParseSocketUri("socket://[fe80::1]:9102", host, port, hasPort));
  EXPECT_EQ(host, "fe80::1");
  EXPECT_EQ(port, 9102);
  for (const char* bad : {"socket://h:99999", "socket://h:0", "socket://h:12ab"}) {
    ASSERT_TRUE(ParseSocketUri(bad, host, port, hasPort)) << bad;
    EXPECT_FALSE(hasPort) << bad;
  }
  EXPECT_FALSE(ParseSocketUri("socket:h", host, port, hasPort));
}

TEST(DeviceUris, UsbSerialIsDecoded) {
  std::string serial;
  ASSERT_TRUE(ParseUsbUriSerial("usb://ORVELIX/QPT-L712?serial=A%2FB%201&interface=1", serial));
  EXPECT_EQ(serial, "A/B 1");
  EXPECT_FALSE(ParseUsbUriSerial("usb://ORVELIX/QPT-L712?interface=1", serial));
  EXPECT_FALSE(ParseUsbUriSerial("usb://ORVELIX/QPT-L712?serial=", serial));
}

class QueueResolution : public ::testing::Test {
 protected:
  void SetUp() override {
    setup.registryPath = test::WriteRegFile(dir, "none.reg", "", test::RegEncoding::Ansi);
  }
  test::TempDir dir;
  ConnectionSetup setup;
};

TEST_F(QueueResolution, SerialQueueGivesThePortAndItsSettings) {
  ASSERT_TRUE(setup.ResolveSpoolerQueue(
      "ORVELIX QPT-L712", "serial:/dev/ttyS1?baud=19200+bits=7+parity=even+flow=soft"));
  const CommSettings& s = setup.state.settings;
  EXPECT_EQ(setup.state.portKind, kPortKindSerial);
  EXPECT_EQ(s.portName, "COM2");
  EXPECT_EQ(s.baudRate, 19200);
  EXPECT_EQ(s.parity, 2);
  EXPECT_EQ(s.dataBits, 7);
  EXPECT_EQ(s.stopBits, 0);
  EXPECT_EQ(s.flowControl, 1);
  EXPECT_EQ(CurrentModelName(), "QPT-L712");
  EXPECT_EQ(setup.DeviceNode(), "/dev/ttyS1");
  EXPECT_FALSE(s.noFlowControl);
}

// A printer that never drives DSR or CTS says so in its URI; the port must not wait for them.
TEST_F(QueueResolution, FlowNoneMeansNoHandshakeWhileAnUnstatedFlowStaysHardware) {
  const CommSettings& s = setup.state.settings;
  ASSERT_TRUE(setup.ResolveSpoolerQueue("ORVELIX QPT-L710", "serial:/dev/ttyS0?flow=none"));
  EXPECT_TRUE(s.noFlowControl);
  EXPECT_EQ(s.flowControl, 0);
  ASSERT_TRUE(setup.ResolveSpoolerQueue("ORVELIX QPT-L710", "serial:/dev/ttyS0?baud=9600"));
  EXPECT_FALSE(s.noFlowControl);
  ASSERT_TRUE(setup.ResolveSpoolerQueue("ORVELIX QPT-L710", "serial:/dev/ttyS0?flow=dtrdsr"));
  EXPECT_FALSE(s.noFlowControl);
  EXPECT_EQ(s.flowControl, 0);
}

TEST_F(QueueResolution, ParallelAndUnnamedNodes) {
  ASSERT_TRUE(setup.ResolveSpoolerQueue("ORVELIX QPT-L710", "parallel:/dev/lp0"));
  EXPECT_EQ(setup.state.portKind, kPortKindParallel);
  EXPECT_EQ(setup.state.settings.portName, "LPT1");
  ASSERT_TRUE(setup.ResolveSpoolerQueue("ORVELIX QPT-L710", "serial:/dev/ttyUSB3?baud=9600"));
  EXPECT_EQ(setup.state.settings.portName, "/dev/ttyUSB3");
  EXPECT_EQ(setup.DeviceNode(), "/dev/ttyUSB3");
}

TEST_F(QueueResolution, SocketQueueGivesAddressAndPort) {
  ASSERT_TRUE(setup.ResolveSpoolerQueue("ORVELIX QPT-L710", "socket://10.1.2.3"));
  EXPECT_EQ(setup.state.portKind, kPortKindTcpIp);
  EXPECT_EQ(setup.state.settings.portName, "10.1.2.3");
  EXPECT_EQ(setup.state.settings.baudRate, 9100);
  EXPECT_EQ(setup.DeviceNode(), "");
  // A port that is no number changes nothing but the kind.
  setup.state.settings.baudRate = 4800;
  ASSERT_TRUE(setup.ResolveSpoolerQueue("ORVELIX QPT-L710", "socket://10.1.2.3:http"));
  EXPECT_EQ(setup.state.settings.portName, "socket://10.1.2.3:http");
  EXPECT_EQ(setup.state.settings.baudRate, 4800);
}

TEST_F(QueueResolution, OtherSchemesFailLeavingTheKind) {
  setup.state.portKind = kPortKindUsb;
  EXPECT_FALSE(setup.ResolveSpoolerQueue("ORVELIX QPT-L712", "file:///dev/null"));
  EXPECT_EQ(setup.state.portKind, kPortKindUsb);
  // The port name and the model name keep what the queue said.
  EXPECT_EQ(setup.state.settings.portName, "file:///dev/null");
  EXPECT_EQ(CurrentModelName(), "QPT-L712");
  EXPECT_FALSE(setup.ResolveSpoolerQueue("ORVELIX", "ipp://server/printers/x"));
  EXPECT_EQ(CurrentModelName(), "");
  EXPECT_FALSE(setup.ResolveSpoolerQueue("ORVELIX QPT-L710", "serial:"));
  EXPECT_EQ(setup.state.portKind, kPortKindUsb);
}

}  // namespace
}  // namespace azuz
