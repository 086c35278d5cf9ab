#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace azuz {

// One present USB device of the maker.
struct UsbDeviceEntry {
  std::int32_t ordinal = 0;  // 1 + earlier entries of the same product
  std::string devicePath;    // \\?\USB#VID_7C2E&PID_0016#SERIAL#{A5DCBF10-...}, upper case
  std::string usbPortName;   // "USB001:", numbered by position in the list
  std::string productId;     // characters 21-24 of devicePath
  std::string vendorId;      // characters 12-15 of devicePath
  std::string deviceNode;    // the usblp node found with it; empty for an entry added by path
  std::string serial;        // the device's serial as it gave it (case kept); may be empty
};

// The maker's USB printers that are present and can be opened right now.
class CRegistUsb {
 public:
  static constexpr char kVendorTag[] = "VID_7C2E";

  CRegistUsb() = default;
  virtual ~CRegistUsb() = default;
  CRegistUsb(const CRegistUsb&) = delete;
  CRegistUsb& operator=(const CRegistUsb&) = delete;

  // Appends every present, openable usblp device of the maker; callers RemoveAll() first.
  void EnumerateDevices();
  // Appends an entry for an upper-case device path of the maker's vendor id; else nothing.
  void AddDevice(const std::string& path);
  // The devicePath at a 0-based index; empty when there is no such entry.
  std::string GetDevicePath(std::int32_t index) const;
  std::int32_t GetCount() const { return static_cast<std::int32_t>(devices.size()); }
  void RemoveAll();

  const UsbDeviceEntry* Entry(std::int32_t index) const;

 private:
  UsbDeviceEntry* Append(const std::string& path);

  std::vector<std::unique_ptr<UsbDeviceEntry>> devices;  // enumeration order
};

}  // namespace azuz
