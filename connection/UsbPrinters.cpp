#include "UsbPrinters.h"

#include <fcntl.h>
#include <libudev.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "DeviceIo.h"

namespace azuz {

namespace {

struct UdevDeleter {
  void operator()(udev* u) const { udev_unref(u); }
  void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
  void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

std::string Upper(const char* text) {
  std::string s = text != nullptr ? text : "";
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return s;
}

}  // namespace

std::vector<UsbPrinterNode> ListUsbPrinterNodes() {
  std::vector<UsbPrinterNode> nodes;
  UdevPtr<udev> context(udev_new());
  if (!context) {
    return nodes;
  }
  UdevPtr<udev_enumerate> enumerate(udev_enumerate_new(context.get()));
  if (!enumerate || udev_enumerate_add_match_subsystem(enumerate.get(), "usbmisc") < 0 ||
      udev_enumerate_add_match_sysname(enumerate.get(), "lp*") < 0 ||
      udev_enumerate_scan_devices(enumerate.get()) < 0) {
    return nodes;
  }
  udev_list_entry* entry = nullptr;
  udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
    UdevPtr<udev_device> device(
        udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
    if (!device || udev_device_get_devnode(device.get()) == nullptr) {
      continue;
    }
    // The parent is owned by the child and released with it.
    udev_device* usb =
        udev_device_get_parent_with_subsystem_devtype(device.get(), "usb", "usb_device");
    if (usb == nullptr) {
      continue;
    }
    UsbPrinterNode node;
    node.deviceNode = udev_device_get_devnode(device.get());
    node.vendorId = Upper(udev_device_get_sysattr_value(usb, "idVendor"));
    node.productId = Upper(udev_device_get_sysattr_value(usb, "idProduct"));
    const char* serial = udev_device_get_sysattr_value(usb, "serial");
    node.instance = serial != nullptr && *serial != '\0' ? serial : udev_device_get_sysname(usb);
    nodes.push_back(std::move(node));
  }
  return nodes;
}

std::string UsbInterfacePath(const UsbPrinterNode& node, const char* interfaceClass) {
  return "\\\\?\\USB#VID_" + node.vendorId + "&PID_" + node.productId + "#" + node.instance + "#" +
         interfaceClass;
}

bool CanOpenReadWrite(const std::string& node, std::string* reason) {
  const int fd = ::open(node.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (reason != nullptr) {
      *reason = ErrnoText("open", node, errno);
    }
    return false;
  }
  ::close(fd);
  return true;
}

void VisitInBatches(std::size_t count, const std::function<bool(std::size_t)>& visit) {
  bool opened = false;
  std::size_t begin = 0;
  std::size_t end = 8;
  while (begin < count) {
    for (std::size_t i = begin; i < end && i < count; ++i) {
      opened = visit(i) || opened;
    }
    if (opened) {
      return;
    }
    begin = end;
    end *= 2;
  }
}

std::string UsbDeviceNodeForPath(const std::string& path) {
  if (path.compare(0, 5, "/dev/") == 0) {
    return path;
  }
  for (const UsbPrinterNode& node : ListUsbPrinterNodes()) {
    for (const char* interfaceClass : {kUsbDeviceClass, kUsbPrintClass}) {
      if (strcasecmp(UsbInterfacePath(node, interfaceClass).c_str(), path.c_str()) == 0) {
        return node.deviceNode;
      }
    }
  }
  return {};
}

}  // namespace azuz
