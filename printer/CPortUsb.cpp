#include "CPortUsb.h"

#include <linux/lp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "DeviceIo.h"
#include "PortNames.h"

namespace azuz {

namespace {

constexpr std::chrono::milliseconds kReadWait{1000};

// What the printer's port status says is wrong, if anything; nothing when the node can't tell.
std::string PrinterTrouble(int fd) {
  int status = 0;
  if (ioctl(fd, LPGETSTATUS, &status) != 0) {
    return {};
  }
  if ((status & LP_POUTPA) != 0) {
    return "the printer is out of paper";
  }
  if ((status & LP_PSELECD) == 0) {
    return "the printer is off-line";
  }
  if ((status & LP_PERRORP) == 0) {
    return "the printer reports an error";
  }
  return {};
}

}  // namespace

bool CPortUsb::Configure(const CommSettings& newSettings) {
  settings = newSettings;
  return !settings.portName.empty();
}

bool CPortUsb::Open() {
  if (handle >= 0) {
    return isOpen;
  }
  handle = OpenDeviceNode(ResolvePortNode(settings.portName), &lastError);
  if (handle < 0) {
    return false;
  }
  cancelled.Reset();
  isOpen = true;
  return true;
}

std::size_t CPortUsb::Write(const std::uint8_t* data, std::size_t length) {
  if (!isOpen || data == nullptr || length == 0) {
    return 0;
  }
  std::size_t done = 0;
  while (done < length) {
    const std::size_t piece = std::min(kPieceSize, length - done);
    const auto deadline =
        IoClock::now() +
        std::chrono::milliseconds(std::uint64_t{settings.writeTotalTimeoutMultiplier} * piece +
                                  settings.writeTotalTimeoutConstant);
    std::size_t pieceDone = 0;
    while (pieceDone < piece) {
      const ssize_t n = write(handle, data + done + pieceDone, piece - pieceDone);
      if (n > 0) {
        pieceDone += static_cast<std::size_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) {
        continue;
      }
      if (n < 0 && errno != EAGAIN) {
        lastError = ErrnoText("write", ResolvePortNode(settings.portName), errno);
        return 0;
      }
      const IoWait wait = WaitForDevice(handle, POLLOUT, cancelled.Fd(), deadline);
      if (wait == IoWait::Cancelled || wait == IoWait::TimedOut) {
        lastError = wait == IoWait::Cancelled ? "write: cancelled" : "write: printer busy too long";
        return 0;
      }
    }
    done += piece;
    if (done == length && !Delivered(deadline)) {
      return 0;
    }
  }
  return length;
}

// usblp takes a non-blocking write as soon as it has submitted it and reports the node writable
// again once the device has acknowledged the piece (or has run out of paper). Without this wait
// the close would kill the last piece in flight and its error would go unseen.
bool CPortUsb::Delivered(IoClock::time_point deadline) {
  const IoWait wait = WaitForDevice(handle, POLLOUT, cancelled.Fd(), deadline);
  if (wait != IoWait::Ready) {
    lastError = wait == IoWait::Cancelled
                    ? "write: cancelled"
                    : "write: the printer did not take the last piece before the write time-out";
    return false;
  }
  pollfd p{handle, POLLOUT, 0};
  if (poll(&p, 1, 0) == 1 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
    lastError = "write: the printer went away before it took the last piece";
    return false;
  }
  const std::string trouble = PrinterTrouble(handle);
  if (!trouble.empty()) {
    lastError = "write: " + trouble;
    return false;
  }
  return true;
}

std::size_t CPortUsb::Read(std::uint8_t* buffer) {
  if (!isOpen || buffer == nullptr) {
    return 0;
  }
  if (WaitForDevice(handle, POLLIN, cancelled.Fd(), IoClock::now() + kReadWait) != IoWait::Ready) {
    return 0;
  }
  const ssize_t n = read(handle, buffer, 255);
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

}  // namespace azuz
