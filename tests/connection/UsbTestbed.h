#pragma once

// usblp printers on a umockdev testbed. libudev and open() see the testbed only when the test
// runs under umockdev-wrapper (its preload library); without it the tests that need devices skip.

#include <gtest/gtest.h>
#include <umockdev.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace azuz::test {

class UsbTestbed {
 public:
  UsbTestbed() : bed(umockdev_testbed_new()) {}
  ~UsbTestbed() { g_object_unref(bed); }
  UsbTestbed(const UsbTestbed&) = delete;
  UsbTestbed& operator=(const UsbTestbed&) = delete;

  static bool Preloaded() {
    const char* preload = std::getenv("LD_PRELOAD");
    return preload != nullptr && std::string(preload).find("umockdev") != std::string::npos;
  }

  // A USB device with one printer interface whose node is /dev/usb/lpN (N counts from 0).
  // vendor and product as sysfs writes them (lower-case hex); an empty serial is left out. A
  // device that cannot be opened gets a directory in place of its node.
  std::string AddPrinter(const char* vendor, const char* product, const char* serial,
                         bool openable = true) {
    const std::string number = std::to_string(count++);
    const std::string usbName = "1-" + std::to_string(count);
    gchar* usb = *serial != '\0'
                     ? umockdev_testbed_add_device(bed, "usb", usbName.c_str(), nullptr, "idVendor",
                                                   vendor, "idProduct", product, "serial", serial,
                                                   nullptr, "DEVTYPE", "usb_device", nullptr)
                     : umockdev_testbed_add_device(bed, "usb", usbName.c_str(), nullptr, "idVendor",
                                                   vendor, "idProduct", product, nullptr, "DEVTYPE",
                                                   "usb_device", nullptr);
    gchar* interface = umockdev_testbed_add_device(bed, "usb", (usbName + ":1.0").c_str(), usb,
                                                   nullptr, "DEVTYPE", "usb_interface", nullptr);
    const std::string devName = "usb/lp" + number;
    gchar* lp = umockdev_testbed_add_device(bed, "usbmisc", ("lp" + number).c_str(), interface,
                                            nullptr, "DEVNAME", devName.c_str(), nullptr);
    g_free(lp);
    g_free(interface);
    g_free(usb);
    const std::filesystem::path node =
        std::filesystem::path(umockdev_testbed_get_root_dir(bed)) / "dev" / devName;
    std::filesystem::create_directories(node.parent_path());
    if (openable) {
      std::ofstream(node).put('\0');
    } else {
      std::filesystem::create_directory(node);
    }
    return "/dev/" + devName;
  }

 private:
  UMockdevTestbed* bed;
  int count = 0;
};

#define AZUZ_REQUIRE_UMOCKDEV()                                               \
  do {                                                                        \
    if (!::azuz::test::UsbTestbed::Preloaded()) {                             \
      GTEST_SKIP() << "needs umockdev's preload: run under umockdev-wrapper"; \
    }                                                                         \
  } while (0)

}  // namespace azuz::test
