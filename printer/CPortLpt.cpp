#include "CPortLpt.h"

#include <linux/lp.h>
#include <sys/ioctl.h>
#include <sys/time.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "DeviceIo.h"
#include "PortNames.h"

namespace azuz {

namespace {

constexpr std::chrono::milliseconds kRetryStep{10};
constexpr std::chrono::milliseconds kDefaultReadWait{1000};
constexpr char kRawPortPrefix[] = "/dev/parport";

// /dev/parportN is the raw port of ppdev: it takes no write() and needs claiming and a handshake
// of its own. The printer on it is /dev/lpN.
std::string RawPortText(const std::string& node) {
  const std::string number = node.substr(sizeof kRawPortPrefix - 1);
  return node + " is the raw parallel port and takes no print data; use the printer device " +
         (number.empty() ? std::string("/dev/lpN") : "/dev/lp" + number) + " on it";
}

}  // namespace

bool CPortLpt::Configure(const CommSettings& newSettings) {
  settings = newSettings;
  if (newSettings.portName.empty() || !IsParallelPortName(newSettings.portName)) {
    settings.portName.clear();
    return false;
  }
  return true;
}

bool CPortLpt::Open() {
  if (handle >= 0) {
    return isOpen;
  }
  const std::string node = ResolvePortNode(settings.portName);
  if (node.rfind(kRawPortPrefix, 0) == 0) {
    lastError = RawPortText(node);
    return false;
  }
  handle = OpenDeviceNode(node, &lastError);
  if (handle < 0) {
    return false;
  }
  // Report a printer error instead of retrying inside the driver; the driver's own time-out
  // follows the write constant. Neither result matters: the deadline below bounds every write.
  ioctl(handle, LPABORT, 1);
  timeval driverTimeout{static_cast<time_t>(settings.writeTotalTimeoutConstant / 1000),
                        static_cast<suseconds_t>(settings.writeTotalTimeoutConstant % 1000 * 1000)};
  ioctl(handle, LPSETTIMEOUT_OLD, &driverTimeout);
  tcflush(handle, TCIOFLUSH);
  cancelled.Reset();
  isOpen = true;
  return true;
}

std::size_t CPortLpt::Write(const std::uint8_t* data, std::size_t length) {
  if (!isOpen || data == nullptr || length == 0) {
    return 0;
  }
  const auto deadline =
      IoClock::now() +
      std::chrono::milliseconds(std::uint64_t{settings.writeTotalTimeoutMultiplier} * length +
                                settings.writeTotalTimeoutConstant);
  std::size_t done = 0;
  while (done < length) {
    const ssize_t n = write(handle, data + done, length - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
      lastError = ErrnoText("write", ResolvePortNode(settings.portName), errno);
      break;
    }
    if (IoClock::now() >= deadline) {
      lastError = "write: the printer took no data before the write time-out";
      break;
    }
    if (!PauseUnlessCancelled(cancelled.Fd(), IoClock::now() + kRetryStep)) {
      lastError = "write: cancelled";
      break;
    }
  }
  return done;
}

std::size_t CPortLpt::Read(std::uint8_t* buffer) {
  if (!isOpen || buffer == nullptr) {
    return 0;
  }
  const std::uint64_t total =
      std::uint64_t{settings.readTotalTimeoutMultiplier} * 255 + settings.readTotalTimeoutConstant;
  const auto deadline =
      IoClock::now() + (total > 0 ? std::chrono::milliseconds(total) : kDefaultReadWait);
  for (;;) {
    const ssize_t n = read(handle, buffer, 255);
    if (n > 0) {
      return static_cast<std::size_t>(n);
    }
    if ((n < 0 && errno != EAGAIN && errno != EINTR) || IoClock::now() >= deadline ||
        !PauseUnlessCancelled(cancelled.Fd(), IoClock::now() + kRetryStep)) {
      return 0;
    }
  }
}

}  // namespace azuz
