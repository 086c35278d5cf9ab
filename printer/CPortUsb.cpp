#include "CPortUsb.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "DeviceIo.h"
#include "PortNames.h"

namespace azuz {

namespace {

constexpr std::chrono::milliseconds kReadWait{1000};

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
  }
  return length;
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
