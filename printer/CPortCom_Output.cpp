// The write side of the serial transport: DTR/DSR flow and what the close does with output
// still queued in the kernel.
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "CPortCom.h"
#include "SerialLine.h"

namespace azuz {

namespace {

constexpr std::size_t kMinDsrQueue = 16;
constexpr std::int64_t kDsrQueueMicroseconds = 10'000;
// While DSR is low the line is looked at again this often even when the kernel can wait on
// it: a change between the look and the wait would otherwise go unseen.
constexpr std::chrono::milliseconds kDsrRecheck{100};
constexpr std::chrono::milliseconds kDsrPoll{10};
constexpr std::chrono::milliseconds kOtherFlowWait{100};
// What a completed transfer's close waits beyond the time the queued bytes take.
constexpr std::chrono::milliseconds kDrainMargin{200};
constexpr std::chrono::milliseconds kDrainStep{5};

}  // namespace

std::int64_t CPortCom::CharacterMicroseconds() const {
  const int dataBits = std::clamp(settings.dataBits & 0xFF, 5, 8);
  const int bits = 1 + dataBits + ((settings.parity & 0xFF) != 0 ? 1 : 0) +
                   ((settings.stopBits & 0xFF) != 0 ? 2 : 1);
  const std::int64_t rate = settings.baudRate > 0 ? settings.baudRate : 9600;
  return std::max<std::int64_t>(1, std::int64_t{bits} * 1'000'000 / rate);
}

std::size_t CPortCom::DsrQueueLimit() const {
  return std::max<std::size_t>(
      kMinDsrQueue, static_cast<std::size_t>(kDsrQueueMicroseconds / CharacterMicroseconds()));
}

bool CPortCom::DsrFlow() const {
  return !settings.noFlowControl && settings.flowControl == 0 && settings.hardwareHandshake == 0;
}

bool CPortCom::DsrLow() const {
  int lines = 0;
  return ReadModemLines(handle, lines) && (lines & TIOCM_DSR) == 0;
}

std::size_t CPortCom::QueuedOutput() const {
  int queued = 0;
  if (ioctl(handle, TIOCOUTQ, &queued) != 0 || queued < 0) {
    return 0;
  }
  return static_cast<std::size_t>(queued);
}

// False when cancelled. Returns at the deadline or once the line may have changed.
bool CPortCom::WaitForDsr(IoClock::time_point deadline) {
  const bool kernelWaits = dsrWatch.Waits();
  const auto until = std::min(deadline, IoClock::now() + (kernelWaits ? kDsrRecheck : kDsrPoll));
  const IoWait wait =
      WaitForDevice(kernelWaits ? dsrWatch.ChangedFd() : -1, POLLIN, cancelled.Fd(), until);
  dsrWatch.Take();
  return wait != IoWait::Cancelled;
}

std::size_t CPortCom::Write(const std::uint8_t* data, std::size_t length) {
  if (!isOpen || data == nullptr || length == 0) {
    return 0;
  }
  const auto deadline = IoClock::now() + std::chrono::milliseconds(
                                             std::uint64_t{kWriteTotalTimeoutMultiplier} * length +
                                             kWriteTotalTimeoutConstant);
  const bool dsrFlow = DsrFlow();
  const std::size_t limit = DsrQueueLimit();
  const auto refill =
      std::chrono::microseconds(CharacterMicroseconds() * static_cast<std::int64_t>(limit / 2));
  std::size_t done = 0;
  while (done < length) {
    if (IoClock::now() >= deadline) {
      lastError = "write: time-out with " + std::to_string(length - done) + " bytes left";
      break;
    }
    std::size_t room = length - done;
    if (dsrFlow) {
      if (DsrLow()) {
        if (!WaitForDsr(deadline)) {
          lastError = "write: cancelled";
          break;
        }
        continue;
      }
      // Whatever the kernel holds goes out whatever DSR does next: keep it to a few characters.
      const std::size_t queued = QueuedOutput();
      room = std::min(room, queued < limit ? limit - queued : 0);
    }
    if (room > 0) {
      const ssize_t n = write(handle, data + done, room);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
      } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
        lastError = ErrnoText("write", "", errno);
        break;
      }
    }
    IoWait wait = IoWait::Ready;
    if (dsrFlow) {
      if (done < length) {
        wait = PauseUnlessCancelled(cancelled.Fd(), std::min(deadline, IoClock::now() + refill))
                   ? IoWait::Ready
                   : IoWait::Cancelled;
      }
    } else if (room > 0 && done < length) {
      wait = WaitForDevice(handle, POLLOUT, cancelled.Fd(),
                           std::min(deadline, IoClock::now() + kOtherFlowWait));
    }
    if (wait == IoWait::Cancelled) {
      lastError = "write: cancelled";
      break;
    }
  }
  writeFailed = writeFailed || done < length;
  return done;
}

// Output a cancelled or failed transfer left is thrown away: the printer would only get half a
// command, and the kernel's close would wait for it (up to 30 s while an Xoff or CTS holds it).
// A completed transfer's last bytes may still be on their way: wait for them, bounded by the
// time they take at the line speed, and discard what a held line keeps back after that.
void CPortCom::SettleOutput() {
  if (!writeFailed && !cancelled.IsSet()) {
    const std::size_t queued = QueuedOutput();
    const auto bound =
        IoClock::now() + kDrainMargin +
        std::chrono::microseconds(CharacterMicroseconds() * 2 * static_cast<std::int64_t>(queued));
    while (QueuedOutput() > 0 && IoClock::now() < bound) {
      if (!PauseUnlessCancelled(cancelled.Fd(), IoClock::now() + kDrainStep)) {
        break;
      }
    }
    if (queued > 0 && QueuedOutput() == 0) {
      // The last character may still be in the transmitter's shift register.
      std::this_thread::sleep_for(std::chrono::microseconds(CharacterMicroseconds() * 2));
    }
  }
  ioctl(handle, TCFLSH, TCOFLUSH);
}

}  // namespace azuz
