#include "CRegistUsb.h"

#include <cstdio>

#include "UsbPrinters.h"

namespace azuz {

namespace {

std::string Slice(const std::string& s, std::size_t pos, std::size_t n) {
  return pos < s.size() ? s.substr(pos, n) : std::string();
}

}  // namespace

void CRegistUsb::EnumerateDevices() {
  const std::vector<UsbPrinterNode> nodes = ListUsbPrinterNodes();
  VisitInBatches(nodes.size(), [this, &nodes](std::size_t i) {
    const UsbPrinterNode& node = nodes[i];
    if (!CanOpenReadWrite(node.deviceNode)) {
      return false;
    }
    std::string path = UsbInterfacePath(node, kUsbDeviceClass);
    for (char& c : path) {
      if (c >= 'a' && c <= 'z') {
        c = static_cast<char>(c - 'a' + 'A');
      }
    }
    if (UsbDeviceEntry* entry = Append(path)) {
      entry->deviceNode = node.deviceNode;
      entry->serial = node.instance;
    }
    return true;  // another vendor's device still counts as opened
  });
}

void CRegistUsb::AddDevice(const std::string& path) {
  Append(path);
}

UsbDeviceEntry* CRegistUsb::Append(const std::string& path) {
  if (path.size() < 16 || path.compare(8, 8, kVendorTag) != 0) {
    return nullptr;
  }
  auto entry = std::make_unique<UsbDeviceEntry>();
  entry->devicePath = path;
  entry->vendorId = Slice(path, 12, 4);
  entry->productId = Slice(path, 21, 4);
  entry->ordinal = 1;
  for (const auto& other : devices) {
    if (other->productId == entry->productId) {
      ++entry->ordinal;
    }
  }
  char portName[16];
  std::snprintf(portName, sizeof portName, "USB%03d:", GetCount() + 1);
  entry->usbPortName = portName;
  devices.push_back(std::move(entry));
  return devices.back().get();
}

std::string CRegistUsb::GetDevicePath(std::int32_t index) const {
  const UsbDeviceEntry* entry = Entry(index);
  return entry != nullptr ? entry->devicePath : std::string();
}

const UsbDeviceEntry* CRegistUsb::Entry(std::int32_t index) const {
  return index >= 0 && index < GetCount() ? devices[static_cast<std::size_t>(index)].get()
                                          : nullptr;
}

void CRegistUsb::RemoveAll() {
  devices.clear();
}

}  // namespace azuz
