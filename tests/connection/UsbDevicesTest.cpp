#include <gtest/gtest.h>

#include <vector>

#include "CRegistUsb.h"
#include "ConnectionSetup.h"
#include "PortLists.h"
#include "PortNodeResolver.h"
#include "UsbPrinters.h"
#include "UsbTestbed.h"

namespace azuz {
namespace {

const std::string kUsbClass = "{A5DCBF10-6530-11D2-901F-00C04FB951ED}";

TEST(CRegistUsb, TwoDevicesOfOneProductGetOrdinalsAndPortNames) {
  AZUZ_REQUIRE_UMOCKDEV();
  test::UsbTestbed bed;
  bed.AddPrinter("7c2e", "0016", "ab12");
  bed.AddPrinter("04b8", "0202", "OTHER");  // another maker's printer: no entry
  bed.AddPrinter("7c2e", "0016", "cd34");
  CRegistUsb usb;
  usb.EnumerateDevices();
  ASSERT_EQ(usb.GetCount(), 2);
  const UsbDeviceEntry* first = usb.Entry(0);
  const UsbDeviceEntry* second = usb.Entry(1);
  EXPECT_EQ(first->devicePath, "\\\\?\\USB#VID_7C2E&PID_0016#AB12#" + kUsbClass);
  EXPECT_EQ(second->devicePath, "\\\\?\\USB#VID_7C2E&PID_0016#CD34#" + kUsbClass);
  EXPECT_EQ(first->ordinal, 1);
  EXPECT_EQ(second->ordinal, 2);
  EXPECT_EQ(first->usbPortName, "USB001:");
  EXPECT_EQ(second->usbPortName, "USB002:");
  EXPECT_EQ(second->productId, "0016");
  EXPECT_EQ(second->vendorId, "7C2E");
  EXPECT_EQ(second->deviceNode, "/dev/usb/lp2");
  EXPECT_EQ(usb.GetDevicePath(1), second->devicePath);
  EXPECT_EQ(usb.GetDevicePath(2), "");
  EXPECT_EQ(usb.GetDevicePath(-1), "");
  // Enumeration appends; callers empty the list first.
  usb.EnumerateDevices();
  EXPECT_EQ(usb.GetCount(), 4);
  EXPECT_EQ(usb.Entry(3)->usbPortName, "USB004:");
  EXPECT_EQ(usb.Entry(3)->ordinal, 4);
  usb.RemoveAll();
  EXPECT_EQ(usb.GetCount(), 0);
}

TEST(CRegistUsb, UnopenableDevicesAreLeftOutAndSerialLessOnesUseTheirName) {
  AZUZ_REQUIRE_UMOCKDEV();
  test::UsbTestbed bed;
  bed.AddPrinter("7c2e", "0016", "busy", false);
  bed.AddPrinter("7c2e", "0017", "");
  CRegistUsb usb;
  usb.EnumerateDevices();
  ASSERT_EQ(usb.GetCount(), 1);
  EXPECT_EQ(usb.GetDevicePath(0), "\\\\?\\USB#VID_7C2E&PID_0017#1-2#" + kUsbClass);
  EXPECT_EQ(usb.Entry(0)->usbPortName, "USB001:");
}

TEST(CRegistUsb, OtherMakersDevicesCountAsOpenedForTheBatchRule) {
  AZUZ_REQUIRE_UMOCKDEV();
  test::UsbTestbed bed;
  for (int i = 0; i < 8; ++i) {
    bed.AddPrinter("04b8", "0202", ("other" + std::to_string(i)).c_str());
  }
  bed.AddPrinter("7c2e", "0016", "late");  // beyond the first batch, which opened devices
  CRegistUsb usb;
  usb.EnumerateDevices();
  EXPECT_EQ(usb.GetCount(), 0);
}

TEST(CRegistUsb, AFirstBatchThatOpensNothingGoesOnToTheNext) {
  AZUZ_REQUIRE_UMOCKDEV();
  test::UsbTestbed bed;
  for (int i = 0; i < 8; ++i) {
    bed.AddPrinter("7c2e", "0016", ("busy" + std::to_string(i)).c_str(), false);
  }
  bed.AddPrinter("7c2e", "0016", "late");
  CRegistUsb usb;
  usb.EnumerateDevices();
  ASSERT_EQ(usb.GetCount(), 1);
  EXPECT_EQ(usb.Entry(0)->serial, "late");
  EXPECT_EQ(usb.Entry(0)->usbPortName, "USB001:");
}

TEST(CRegistUsb, AddDeviceTakesOnlyTheMakersPaths) {
  CRegistUsb usb;
  usb.AddDevice("\\\\?\\USB#VID_04B8&PID_0016#X#" + kUsbClass);
  usb.AddDevice("\\\\?\\USB#");
  usb.AddDevice("");
  EXPECT_EQ(usb.GetCount(), 0);
  usb.AddDevice("\\\\?\\USB#VID_7C2E&PID_0016#X#" + kUsbClass);
  usb.AddDevice("\\\\?\\USB#VID_7C2E&PID_0020#Y#" + kUsbClass);
  usb.AddDevice("\\\\?\\USB#VID_7C2E&PID_0016#Z#" + kUsbClass);
  ASSERT_EQ(usb.GetCount(), 3);
  EXPECT_EQ(usb.Entry(1)->ordinal, 1);
  EXPECT_EQ(usb.Entry(2)->ordinal, 2);
  EXPECT_EQ(usb.Entry(2)->usbPortName, "USB003:");
  // A path cut short after the vendor tag still gives an entry, with what is there.
  usb.AddDevice("\\\\?\\USB#VID_7C2E");
  ASSERT_EQ(usb.GetCount(), 4);
  EXPECT_EQ(usb.Entry(3)->vendorId, "7C2E");
  EXPECT_EQ(usb.Entry(3)->productId, "");
}

TEST(UsbBatches, TheWalkEndsWithTheFirstBatchThatOpenedADevice) {
  std::vector<std::size_t> visited;
  VisitInBatches(40, [&visited](std::size_t i) {
    visited.push_back(i);
    return i == 9;
  });
  ASSERT_EQ(visited.size(), 16u);  // 0-7 found nothing, 8-15 found index 9
  EXPECT_EQ(visited.back(), 15u);
  visited.clear();
  VisitInBatches(40, [&visited](std::size_t i) {
    visited.push_back(i);
    return i == 0;
  });
  EXPECT_EQ(visited.size(), 8u);
  visited.clear();
  VisitInBatches(5, [&visited](std::size_t i) {
    visited.push_back(i);
    return false;
  });
  EXPECT_EQ(visited.size(), 5u);
}

TEST(UsbNodes, DevicePathsMapBackToTheirNodes) {
  AZUZ_REQUIRE_UMOCKDEV();
  test::UsbTestbed bed;
  bed.AddPrinter("7c2e", "0016", "ab12");
  bed.AddPrinter("7c2e", "0016", "Mixed");
  EXPECT_EQ(UsbDeviceNodeForPath("\\\\?\\USB#VID_7C2E&PID_0016#MIXED#" + kUsbClass),
            "/dev/usb/lp1");
  EXPECT_EQ(UsbDeviceNodeForPath("\\\\?\\usb#vid_7c2e&pid_0016#ab12#"
                                 "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"),
            "/dev/usb/lp0");
  EXPECT_EQ(UsbDeviceNodeForPath("/dev/usb/lp7"), "/dev/usb/lp7");
  EXPECT_EQ(UsbDeviceNodeForPath("\\\\?\\USB#VID_7C2E&PID_0016#GONE#" + kUsbClass), "");
  // The port layer opens USB paths through the same mapping once it is installed.
  EXPECT_EQ(ConnectionPortNode("\\\\?\\USB#VID_7C2E&PID_0016#AB12#" + kUsbClass, "/nonexistent"),
            "/dev/usb/lp0");
}

TEST(UsbPrinterList, ListsEveryOpenablePrinterAndReportsTheRest) {
  AZUZ_REQUIRE_UMOCKDEV();
  test::UsbTestbed bed;
  bed.AddPrinter("7c2e", "0016", "ab12");
  bed.AddPrinter("04b8", "0202", "busy", false);
  bed.AddPrinter("04b8", "0202", "other");
  std::vector<std::string> entries{"kept"};
  std::vector<std::string> paths;
  testing::internal::CaptureStdout();
  std::string reason;
  FillUsbPrinterList(entries, paths, stdout, &reason);
  const std::string out = testing::internal::GetCapturedStdout();
  // Why it did not open is kept, so that the user can be told.
  EXPECT_NE(reason.find("open /dev/usb/lp1: Is a directory"), std::string::npos) << reason;
  EXPECT_EQ(entries, (std::vector<std::string>{"kept", "USB01", "USB02"}));
  const std::string printClass = "{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}";
  EXPECT_EQ(paths, (std::vector<std::string>{"\\\\?\\USB#VID_7C2E&PID_0016#ab12#" + printClass,
                                             "\\\\?\\USB#VID_04B8&PID_0202#other#" + printClass}));
  EXPECT_EQ(out, "FAILED to open \\\\?\\USB#VID_04B8&PID_0202#busy#" + printClass + "\n");
}

TEST(UsbResolution, AQueueSerialResolvesToThePresentDevice) {
  AZUZ_REQUIRE_UMOCKDEV();
  test::UsbTestbed bed;
  bed.AddPrinter("7c2e", "0016", "ab12");
  bed.AddPrinter("7c2e", "0016", "cd34");
  ConnectionSetup setup;
  ASSERT_TRUE(setup.ResolveSpoolerQueue("ORVELIX QPT-L710", "usb://ORVELIX/QPT-L710?serial=cd34"));
  EXPECT_EQ(setup.state.portKind, kPortKindUsb);
  EXPECT_EQ(setup.state.settings.portName, "\\\\?\\USB#VID_7C2E&PID_0016#CD34#" + kUsbClass);
  EXPECT_EQ(setup.DeviceNode(), "/dev/usb/lp1");
  // Serials are compared as the device gives them; no match keeps the spooler's port.
  ASSERT_TRUE(setup.ResolveSpoolerQueue("ORVELIX QPT-L710", "usb://ORVELIX/QPT-L710?serial=CD34"));
  EXPECT_EQ(setup.state.settings.portName, "usb://ORVELIX/QPT-L710?serial=CD34");
  EXPECT_EQ(setup.state.portKind, kPortKindUsb);
}

}  // namespace
}  // namespace azuz
