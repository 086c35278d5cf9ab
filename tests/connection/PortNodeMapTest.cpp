#include <gtest/gtest.h>

#include "PortNames.h"
#include "PortNodeMap.h"
#include "PortNodeResolver.h"
#include "RegistryFixture.h"

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

TEST_F(PortNodeMapTest, ThePortLayerOpensThroughTheStore) {
  Load("\"COM3\"=\"/dev/ttyUSB0\"\r\n");
  InstallPortNodeResolver(dir / "ports.reg");
  EXPECT_EQ(ResolvePortNode("COM3"), "/dev/ttyUSB0");
  EXPECT_EQ(ResolvePortNode("\\\\.\\COM3"), "/dev/ttyUSB0");
  EXPECT_EQ(ResolvePortNode("LPT3"), "/dev/lp2");
  EXPECT_EQ(ResolvePortNode("/dev/ttyACM1"), "/dev/ttyACM1");
  SetPortNodeResolver({});
  EXPECT_EQ(ResolvePortNode("COM3"), "/dev/ttyS2");
}

}  // namespace
}  // namespace azuz
