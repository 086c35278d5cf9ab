#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace azuz {

// Interface classes the synthesised device paths end in.
inline constexpr char kUsbDeviceClass[] = "{A5DCBF10-6530-11D2-901F-00C04FB951ED}";
inline constexpr char kUsbPrintClass[] = "{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}";

// One usblp node (/dev/usb/lpN) with what its USB device says of itself.
struct UsbPrinterNode {
  std::string deviceNode;  // /dev/usb/lp0
  std::string vendorId;    // four hex digits, upper case
  std::string productId;
  std::string instance;  // the device's serial, else its sysfs name (1-1.2)
};

// Every usblp node udev knows, in udev's order; empty when udev cannot be asked.
std::vector<UsbPrinterNode> ListUsbPrinterNodes();

// \\?\USB#VID_vvvv&PID_pppp#instance#class, in the case the parts have.
std::string UsbInterfacePath(const UsbPrinterNode& node, const char* interfaceClass);

// Whether the node opens for reading and writing; opening is only a test. On failure `reason`,
// when given, says why (the errno and its remedy).
bool CanOpenReadWrite(const std::string& node, std::string* reason = nullptr);

// Visits indices 0..count-1 in batches: 0-7, then each batch doubling the covered end (8-15,
// 16-31, ...). The walk ends after the first batch during which any visit returned true, the
// way the Windows enumeration stopped once it had found an openable device.
void VisitInBatches(std::size_t count, const std::function<bool(std::size_t)>& visit);

// The usblp node a USB port name stands for: a literal /dev/... path as it is, else the node of
// the present device whose synthesised path (either class, any case) equals the name. Empty
// when no present device matches.
std::string UsbDeviceNodeForPath(const std::string& path);

}  // namespace azuz
