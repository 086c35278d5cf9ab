#pragma once

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <umockdev.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace azuz::test {

// umockdev works through a preload library. A test that needs it runs itself once more under
// umockdev-wrapper (just that test) and reports the inner run's result: true in the outer run,
// which then has nothing else to do.
inline bool RanUnderUmockdev() {
  if (std::getenv("AZUZ_UMOCKDEV_RUN") != nullptr) {
    return false;
  }
  char self[4096] = {};
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  EXPECT_GT(n, 0);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const char* asan = std::getenv("ASAN_OPTIONS");
  const std::string command = std::string("AZUZ_UMOCKDEV_RUN=1 ASAN_OPTIONS='") +
                              (asan ? asan : "") + ":verify_asan_link_order=0' umockdev-wrapper '" +
                              self + "' --gtest_filter='" + info->test_suite_name() + "." +
                              info->name() + "' 2>&1";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  char line[1024];
  while (pipe && fgets(line, sizeof line, pipe)) {
    output += line;
  }
  const int status = pipe ? pclose(pipe) : -1;
  EXPECT_EQ(status, 0) << "inside umockdev:\n" << output;
  EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
  return true;
}

// A device node in a umockdev testbed, backed by a pseudo-terminal whose other end the test
// holds, with the modem-control ioctls answered from `modemLines`: the lines a real UART would
// report, which a pseudo-terminal can't.
class UmockdevSerial {
 public:
  explicit UmockdevSerial(const std::string& name = "ttyS9") : node("/dev/" + name) {
    testbed = umockdev_testbed_new();
    const std::string record = "P: /devices/platform/serial/tty/" + name + "\nN: " + name +
                               "\nE: SUBSYSTEM=tty\nE: DEVNAME=" + node + "\nA: dev=4:73\n";
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed, record.c_str(), &error)) {
      ADD_FAILURE() << error->message;
      return;
    }
    handler = umockdev_ioctl_base_new();
    g_signal_connect(handler, "handle-ioctl", G_CALLBACK(OnIoctl), this);
    if (!umockdev_testbed_attach_ioctl(testbed, node.c_str(), handler, &error)) {
      ADD_FAILURE() << error->message;
    }
  }
  ~UmockdevSerial() {
    if (handler) {
      umockdev_testbed_detach_ioctl(testbed, node.c_str(), nullptr);
      g_object_unref(handler);
    }
    g_object_unref(testbed);
  }
  UmockdevSerial(const UmockdevSerial&) = delete;
  UmockdevSerial& operator=(const UmockdevSerial&) = delete;

  // The end a printer would be on.
  int Master() { return umockdev_testbed_get_dev_fd(testbed, node.c_str()); }

  const std::string node;
  std::atomic<int> modemLines{0};

 private:
  static gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    auto* bed = static_cast<UmockdevSerial*>(self);
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    if (request != TIOCMGET && request != TIOCMBIS && request != TIOCMBIC) {
      int error = 0;
      const int result = umockdev_ioctl_client_execute(client, &error, nullptr);
      umockdev_ioctl_client_complete(client, result, error);
      return TRUE;
    }
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    UMockdevIoctlData* value = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), nullptr);
    if (value == nullptr) {
      umockdev_ioctl_client_complete(client, -1, EFAULT);
      return TRUE;
    }
    int* bits = reinterpret_cast<int*>(value->data);
    if (request == TIOCMGET) {
      *bits = bed->modemLines;
    } else if (request == TIOCMBIS) {
      bed->modemLines |= *bits;
    } else {
      bed->modemLines &= ~*bits;
    }
    umockdev_ioctl_client_complete(client, 0, 0);
    return TRUE;
  }

  UMockdevTestbed* testbed = nullptr;
  UMockdevIoctlBase* handler = nullptr;
};

// A usblp node in a umockdev testbed that records every write the program makes.
class UmockdevUsbPrinter {
 public:
  UmockdevUsbPrinter() {
    testbed = umockdev_testbed_new();
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(
            testbed,
            "P: /devices/usb1/1-1/1-1:1.0/usbmisc/lp0\nN: usb/lp0\nE: SUBSYSTEM=usbmisc\n"
            "E: DEVNAME=/dev/usb/lp0\nA: dev=180:0\n",
            &error)) {
      ADD_FAILURE() << error->message;
      return;
    }
    handler = umockdev_ioctl_base_new();
    g_signal_connect(handler, "handle-write", G_CALLBACK(OnWrite), this);
    if (!umockdev_testbed_attach_ioctl(testbed, "/dev/usb/lp0", handler, &error)) {
      ADD_FAILURE() << error->message;
    }
  }
  ~UmockdevUsbPrinter() {
    if (handler) {
      umockdev_testbed_detach_ioctl(testbed, "/dev/usb/lp0", nullptr);
      g_object_unref(handler);
    }
    g_object_unref(testbed);
  }
  UmockdevUsbPrinter(const UmockdevUsbPrinter&) = delete;
  UmockdevUsbPrinter& operator=(const UmockdevUsbPrinter&) = delete;

  std::vector<std::size_t> WriteSizes() {
    std::lock_guard lock(mutex);
    return sizes;
  }
  std::vector<std::uint8_t> Written() {
    std::lock_guard lock(mutex);
    return bytes;
  }

 private:
  static gboolean OnWrite(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    auto* printer = static_cast<UmockdevUsbPrinter*>(self);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    const guint8* data = arg->data;
    const gint length = arg->data_len;
    {
      std::lock_guard lock(printer->mutex);
      printer->sizes.push_back(static_cast<std::size_t>(length));
      printer->bytes.insert(printer->bytes.end(), data, data + length);
    }
    umockdev_ioctl_client_complete(client, length, 0);
    return TRUE;
  }

  UMockdevTestbed* testbed = nullptr;
  UMockdevIoctlBase* handler = nullptr;
  std::mutex mutex;
  std::vector<std::size_t> sizes;
  std::vector<std::uint8_t> bytes;
};

}  // namespace azuz::test
