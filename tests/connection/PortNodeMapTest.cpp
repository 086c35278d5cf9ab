#include <gtest/gtest.h>

#include "PortNodeMap.h"
#include "PrinterCommands.h"
#include "RegistryFixture.h"
#include "TransferRequestFor.h"

namespace azuz {
namespace {

class PortNodeMapTest : public ::testing::Test {
 protected:
  PortNodeMap Load(const std::string& values) {
    const std::string path = test::WriteRegFile(
        dir, "ports.reg", "[HKEY_LOCAL_MACHINE\\Software\\Vurodadud Azuz\\Ports]\r\n" + values,
        test::RegEncoding::Utf16);
    return PortNodeMap(CRegistry(RegRoot::LocalMachine, path));
  }
  test::TempDir dir;
};

TEST_F(PortNodeMapTest, DefaultNamesFollowTheNumberingFromOne) {
  const PortNodeMap map = Load("");
  EXPECT_EQ(map.NodeForPortName("COM1"), "/dev/ttyS0");
  EXPECT_EQ(map.NodeForPortName("\\\\.\\COM12"), "/dev/ttyS11");
  EXPECT_EQ(map.NodeForPortName("COM2:"), "/dev/ttyS1");
  EXPECT_EQ(map.NodeForPortName("LPT2"), "/dev/lp1");
  for (const char* notAPort : {"com1", "COM0", "COM", "COM1x", "COM-1", "\\\\.\\LPT1", "LPT01",
                               "COM99999999999999999999", "USB001", ""}) {
    EXPECT_EQ(map.NodeForPortName(notAPort), "") << notAPort;
  }
}

TEST_F(PortNodeMapTest, TheStoreRemapsNamesBothWays) {
  const PortNodeMap map = Load(
      "\"com3\"=\"/dev/ttyUSB0\"\r\n\"LPT1\"=\"/dev/usb/lp0\"\r\n\"COM4\"=dword:00000001\r\n"
      "\"Printer\"=\"/dev/ttyACM0\"\r\n");
  EXPECT_EQ(map.NodeForPortName("COM3"), "/dev/ttyUSB0");
  EXPECT_EQ(map.NodeForPortName("LPT1"), "/dev/usb/lp0");
  EXPECT_EQ(map.NodeForPortName("COM4"), "/dev/ttyS3");  // not a string: not a mapping
  EXPECT_EQ(map.PortNameForNode("/dev/ttyUSB0"), "COM3");
  EXPECT_EQ(map.PortNameForNode("/dev/ttyS1"), "COM2");
  EXPECT_EQ(map.PortNameForNode("/dev/lp1"), "LPT2");
  // COM3 now means another node, so ttyS2 keeps its own name; so does an unmapped node.
  EXPECT_EQ(map.PortNameForNode("/dev/ttyS2"), "/dev/ttyS2");
  EXPECT_EQ(map.PortNameForNode("/dev/lp0"), "/dev/lp0");
  EXPECT_EQ(map.PortNameForNode("/dev/ttyACM0"), "/dev/ttyACM0");
  EXPECT_EQ(map.PortNameForNode("/dev/ttyS01"), "/dev/ttyS01");
}

TEST_F(PortNodeMapTest, ATransferOpensThroughTheStoreAndCarriesTheState) {
  Load("\"COM3\"=\"/dev/ttyUSB0\"\r\n");
  const std::string store = dir / "ports.reg";
  const PrinterCommand command = WatermarkSwitchCommand(true);
  ConnectionState state;
  state.settings.portName = "COM3";
  state.settings.baudRate = 38400;
  TransferRequest request = MakeTransferRequest(state, command, store);
  EXPECT_EQ(request.portNode, "/dev/ttyUSB0");
  EXPECT_EQ(request.settings, state.settings);  // the name stays what the user chose
  EXPECT_EQ(request.data, command.bytes.data());
  EXPECT_EQ(request.length, command.bytes.size());
  EXPECT_EQ(request.caption, command.caption);
  // A port of its own: no queue is parked.
  EXPECT_FALSE(request.releaseSpoolerPort);
  EXPECT_FALSE(request.releasePorts);

  state.settings.portName = "\\\\.\\COM3";
  state.releaseSpoolerPort = 1;
  request = MakeTransferRequest(state, command, store);
  EXPECT_EQ(request.portNode, "/dev/ttyUSB0");
  EXPECT_TRUE(request.releaseSpoolerPort);
  EXPECT_TRUE(request.releasePorts && request.restorePorts);

  state.portKind = kPortKindParallel;
  state.settings.portName = "LPT3";
  EXPECT_EQ(MakeTransferRequest(state, command, store).portNode, "/dev/lp2");
  state.settings.portName = "/dev/ttyACM1";
  EXPECT_EQ(MakeTransferRequest(state, command, store).portNode, "/dev/ttyACM1");
  // Neither a network printer nor a spooler queue has a node to open.
  state.portKind = kPortKindTcpIp;
  state.settings.portName = "COM3";
  EXPECT_EQ(MakeTransferRequest(state, command, store).portNode, "");
  state.portKind = kPortKindSerial;
  state.useDriver = 1;
  EXPECT_EQ(MakeTransferRequest(state, command, store).portNode, "");
}

}  // namespace
}  // namespace azuz
