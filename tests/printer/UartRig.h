#pragma once

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <umockdev.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace azuz::test {

// A serial port with a line behind it, on a umockdev testbed: what the program writes goes into
// a transmit queue of the size a UART driver keeps (TIOCOUTQ reports its fill, TCFLSH empties
// it), and a line thread sends it on at the line speed, one character at a time, unless an Xoff
// holds the line. Modem lines are scripted.
class UartRig {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::size_t kQueueSize = 4096;

  explicit UartRig(std::chrono::microseconds characterTime = std::chrono::microseconds(1042),
                   const std::string& name = "ttyS9")
      : node("/dev/" + name), character(characterTime) {
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
    g_signal_connect(handler, "handle-write", G_CALLBACK(OnWrite), this);
    if (!umockdev_testbed_attach_ioctl(testbed, node.c_str(), handler, &error)) {
      ADD_FAILURE() << error->message;
    }
    line = std::thread([this] { RunLine(); });
  }
  ~UartRig() {
    stop = true;
    line.join();
    if (handler) {
      umockdev_testbed_detach_ioctl(testbed, node.c_str(), nullptr);
      g_object_unref(handler);
    }
    g_object_unref(testbed);
  }
  UartRig(const UartRig&) = delete;
  UartRig& operator=(const UartRig&) = delete;

  // Sets the lines the printer drives; returns the time of the change.
  Clock::time_point SetLines(int lines) {
    const Clock::time_point now = Clock::now();
    modemLines = lines;
    return now;
  }
  int Lines() const { return modemLines; }
  void HoldLine(bool held) { xoff = held; }

  std::size_t Queued() {
    std::lock_guard lock(mutex);
    return queue.size();
  }
  std::size_t Flushes() const { return flushes; }
  std::size_t ModemWaits() const { return modemWaits; }
  // The bytes that have left on the line, and how many of them left after `when`.
  std::vector<std::uint8_t> Sent() {
    std::lock_guard lock(mutex);
    return sent;
  }
  std::size_t SentAfter(Clock::time_point when) {
    std::lock_guard lock(mutex);
    return static_cast<std::size_t>(std::count_if(
        sentAt.begin(), sentAt.end(), [when](Clock::time_point t) { return t > when; }));
  }

  const std::string node;

 private:
  void RunLine() {
    Clock::time_point next = Clock::now();
    while (!stop) {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      const Clock::time_point now = Clock::now();
      std::lock_guard lock(mutex);
      if (queue.empty() || xoff) {
        next = now;
        continue;
      }
      while (now >= next + character && !queue.empty()) {
        next += character;
        sent.push_back(queue.front());
        sentAt.push_back(next);
        queue.pop_front();
      }
    }
  }

  static gboolean OnWrite(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    auto* rig = static_cast<UartRig*>(self);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    std::size_t taken = 0;
    {
      std::lock_guard lock(rig->mutex);
      taken = std::min(kQueueSize - rig->queue.size(), static_cast<std::size_t>(arg->data_len));
      rig->queue.insert(rig->queue.end(), arg->data, arg->data + taken);
    }
    if (taken == 0) {
      umockdev_ioctl_client_complete(client, -1, EAGAIN);
    } else {
      umockdev_ioctl_client_complete(client, static_cast<glong>(taken), 0);
    }
    return TRUE;
  }

  static gboolean OnIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
    auto* rig = static_cast<UartRig*>(self);
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    if (request == TCFLSH) {
      unsigned long which = 0;
      std::memcpy(&which, arg->data,
                  std::min(sizeof which, static_cast<std::size_t>(std::max(arg->data_len, 0))));
      if (which == TCOFLUSH || which == TCIOFLUSH) {
        std::lock_guard lock(rig->mutex);
        rig->queue.clear();
        ++rig->flushes;
      }
      umockdev_ioctl_client_complete(client, 0, 0);
      return TRUE;
    }
    if (request == TIOCMIWAIT) {
      // Refused, as a pseudo-terminal does: umockdev answers one request of a descriptor at a
      // time, so a wait held open here would hold the writer's TIOCMGET as well.
      ++rig->modemWaits;
      umockdev_ioctl_client_complete(client, -1, EINVAL);
      return TRUE;
    }
    if (request != TIOCMGET && request != TIOCMBIS && request != TIOCMBIC && request != TIOCOUTQ) {
      int error = 0;
      const int result = umockdev_ioctl_client_execute(client, &error, nullptr);
      umockdev_ioctl_client_complete(client, result, error);
      return TRUE;
    }
    UMockdevIoctlData* value = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), nullptr);
    if (value == nullptr) {
      umockdev_ioctl_client_complete(client, -1, EFAULT);
      return TRUE;
    }
    int* bits = reinterpret_cast<int*>(value->data);
    if (request == TIOCOUTQ) {
      *bits = static_cast<int>(rig->Queued());
    } else if (request == TIOCMGET) {
      *bits = rig->modemLines;
    } else if (request == TIOCMBIS) {
      rig->modemLines |= *bits;
    } else {
      rig->modemLines &= ~*bits;
    }
    umockdev_ioctl_client_complete(client, 0, 0);
    return TRUE;
  }

  UMockdevTestbed* testbed = nullptr;
  UMockdevIoctlBase* handler = nullptr;
  const std::chrono::microseconds character;
  std::atomic<int> modemLines{0};
  std::atomic<bool> xoff{false};
  std::atomic<bool> stop{false};
  std::atomic<std::size_t> flushes{0};
  std::atomic<std::size_t> modemWaits{0};
  std::mutex mutex;
  std::deque<std::uint8_t> queue;
  std::vector<std::uint8_t> sent;
  std::vector<Clock::time_point> sentAt;
  std::thread line;
};

}  // namespace azuz::test
