#pragma once

#include <string>

namespace azuz {

// The device node a port name stands for: COMn, \\.\COMn and LPTn through the store's name map
// (PortNodeMap), a USB device path through udev (UsbDeviceNodeForPath), anything else as the
// port layer's default mapping says.
std::string ConnectionPortNode(const std::string& portName, const std::string& registryPath);

}  // namespace azuz
