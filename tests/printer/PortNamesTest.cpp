#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "CPortMng.h"
#include "CommSettings.h"
#include "PortNames.h"

namespace azuz {
namespace {

TEST(PortNames, TransportComesFromTheNameAlone) {
  EXPECT_EQ(TransportForPortName("COM1"), kTransportSerial);
  EXPECT_EQ(TransportForPortName("\\\\.\\COM12"), kTransportSerial);
  EXPECT_EQ(TransportForPortName("/dev/ttyUSB0"), kTransportSerial);
  EXPECT_EQ(TransportForPortName("/dev/ttyS3"), kTransportSerial);
  EXPECT_EQ(TransportForPortName("LPT1"), kTransportParallel);
  EXPECT_EQ(TransportForPortName("/dev/lp0"), kTransportParallel);
  EXPECT_EQ(TransportForPortName("/dev/parport0"), kTransportParallel);
  // The Windows prefixes are case-sensitive: these are USB device paths.
  EXPECT_EQ(TransportForPortName("com1"), kTransportUsb);
  EXPECT_EQ(TransportForPortName("USB001"), kTransportUsb);
  EXPECT_EQ(TransportForPortName("/dev/usb/lp0"), kTransportUsb);
  EXPECT_EQ(TransportForPortName(""), kTransportUsb);
}

TEST(PortNames, DefaultNodes) {
  EXPECT_EQ(DefaultPortNode("COM1"), "/dev/ttyS0");
  EXPECT_EQ(DefaultPortNode("\\\\.\\COM12"), "/dev/ttyS11");
  EXPECT_EQ(DefaultPortNode("LPT2"), "/dev/lp1");
  EXPECT_EQ(DefaultPortNode("/dev/ttyUSB0"), "/dev/ttyUSB0");
  // No number, zero, trailing text: no node rather than a file named like the port.
  EXPECT_EQ(DefaultPortNode("COM"), "");
  EXPECT_EQ(DefaultPortNode("COM0"), "");
  EXPECT_EQ(DefaultPortNode("COM1:"), "");
  EXPECT_EQ(DefaultPortNode("LPTx"), "");
}

TEST(PortNames, AnInstalledResolverDecidesTheNode) {
  SetPortNodeResolver([](const std::string& name) {
    return name == "COM3" ? std::string("/dev/ttyUSB0") : DefaultPortNode(name);
  });
  EXPECT_EQ(ResolvePortNode("COM3"), "/dev/ttyUSB0");
  EXPECT_EQ(ResolvePortNode("COM4"), "/dev/ttyS3");
  SetPortNodeResolver({});
  EXPECT_EQ(ResolvePortNode("COM3"), "/dev/ttyS2");
}

TEST(PortManager, SelectsAndConfiguresTheTransport) {
  CPortMng manager;
  CommSettings settings;
  settings.portName = "\\\\.\\COM12";
  EXPECT_TRUE(manager.SelectPort(settings));
  EXPECT_EQ(manager.TransportType(), kTransportSerial);
  settings.portName = "LPT1";
  EXPECT_TRUE(manager.SelectPort(settings));
  EXPECT_EQ(manager.TransportType(), kTransportParallel);
  settings.portName = "";
  EXPECT_FALSE(manager.SelectPort(settings));  // USB with no path
  EXPECT_EQ(manager.TransportType(), kTransportUsb);
  EXPECT_FALSE(manager.OpenPort());
  std::uint8_t byte = 0;
  EXPECT_EQ(manager.WritePort(&byte, 1), 0u);
  EXPECT_EQ(manager.ReadPort(&byte), 0u);
}

// A transfer's open runs on its worker while the window's Cancel wakes the port from its own
// thread: the transport being replaced meanwhile must never be touched half-made or freed.
TEST(PortManager, ACancelFromAnotherThreadMeetsTransportsBeingReplaced) {
  CPortMng manager;
  std::atomic<bool> done{false};
  std::thread canceller([&] {
    while (!done) {
      manager.CancelIo();
    }
  });
  CommSettings settings;
  int opened = 0;
  for (int i = 0; i < 3000; ++i) {
    settings.portName = i % 3 == 0 ? "COM200" : i % 3 == 1 ? "/dev/lp199" : "/dev/usb/lp199";
    manager.SelectPort(settings);
    opened += manager.OpenPort() ? 1 : 0;
    manager.ClosePort();
  }
  done = true;
  canceller.join();
  EXPECT_EQ(opened, 0);  // none of the nodes exists
  EXPECT_EQ(manager.TransportType(), kTransportUsb);
}

TEST(PortManager, MissingDeviceFailsWithAReason) {
  CPortMng manager;
  CommSettings settings;
  settings.portName = "/dev/usb/lp-azuz-absent";
  manager.SelectPort(settings);
  EXPECT_FALSE(manager.OpenPort());
  EXPECT_NE(manager.LastError().find("/dev/usb/lp-azuz-absent"), std::string::npos);
  settings.portName = "COM0";  // no node at all
  manager.SelectPort(settings);
  EXPECT_FALSE(manager.OpenPort());
}

}  // namespace
}  // namespace azuz
