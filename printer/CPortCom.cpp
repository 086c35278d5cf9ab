#include "CPortCom.h"

#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "DeviceIo.h"
#include "PortHolders.h"
#include "PortNames.h"
#include "SerialLine.h"

namespace azuz {

namespace {

constexpr std::chrono::milliseconds kOpenSettle{200};
constexpr std::chrono::milliseconds kAnswerWait{1000};
constexpr int kReaderPollMs = 10;

// Exclusive use outlives the descriptor on a terminal whose other side stays open (a
// pseudo-terminal, a serial server's node): give it up, or no other user could open the port
// again until that side closes.
void Release(int handle) {
  ioctl(handle, TIOCNXCL);
  close(handle);
}

std::string InUseText(const std::string& node) {
  const std::string holders = DescribePortHolders(node);
  return "open " + node + ": the port is in use" +
         (holders.empty() ? std::string(" by another program") : " by " + holders);
}

}  // namespace

CPortCom::~CPortCom() {
  Close();
}

bool CPortCom::Configure(const CommSettings& newSettings) {
  settings = newSettings;
  if (newSettings.portName.empty()) {
    settings.portName.clear();
    return false;
  }
  return true;
}

bool CPortCom::Open() {
  Close();
  const std::string node = ResolvePortNode(settings.portName);
  handle = OpenDeviceNode(node, &lastError);
  if (handle < 0) {
    if (errno == EBUSY) {
      lastError = InUseText(node);
    }
    return false;
  }
  // TIOCEXCL stops other users' opens; the flock is what other serial programs look for, and
  // it holds against root as well.
  if (flock(handle, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(handle);
    handle = -1;
    lastError = error == EWOULDBLOCK ? InUseText(node) : ErrnoText("lock", node, error);
    return false;
  }
  ioctl(handle, TIOCEXCL);
  std::this_thread::sleep_for(kOpenSettle);

  int lines = 0;
  const int required = RequiredModemLine(settings);
  bool ok = ApplySerialLine(handle, settings, &lastError);
  if (ok && required != 0 && !ReadModemLines(handle, lines)) {
    ok = false;
    lastError = ErrnoText("read the modem lines of", node, errno);
  }
  if (ok && required != 0 && (lines & required) == 0) {
    ok = false;
    lastError = node + (settings.hardwareHandshake == 0 ? ": DSR" : ": CTS") +
                " is off (printer not ready or not connected)";
  }
  if (!ok) {
    Release(handle);
    handle = -1;
    return false;
  }
  tcflush(handle, TCIOFLUSH);
  if (DsrFlow()) {
    dsrWatch.Start(handle, TIOCM_DSR);
  }
  writeFailed = false;

  receiveBuffer.assign(std::min<std::size_t>(settings.receiveBufferSize, kMaxReceiveBuffer), 0);
  count = 0;
  isOpen = true;
  stopEvent.Reset();
  cancelled.Reset();
  reader = std::jthread([this] { ReaderThread(); });
  return true;
}

void CPortCom::ReaderThread() {
  std::uint8_t chunk[kReaderChunk];
  for (;;) {
    pollfd p[2] = {{handle, POLLIN, 0}, {stopEvent.Fd(), POLLIN, 0}};
    if (poll(p, 2, kReaderPollMs) < 0 && errno != EINTR) {
      stopEvent.Wait(kReaderPollMs);
    }
    if (p[1].revents & POLLIN) {
      return;
    }
    if (p[0].revents & POLLIN) {
      const ssize_t n = read(handle, chunk, sizeof chunk);
      if (n > 0) {
        std::lock_guard lock(receiveLock);
        // A full buffer drops the surplus: callers read at most 255 bytes of answer.
        const std::size_t room = receiveBuffer.size() - count;
        const std::size_t taken = std::min(room, static_cast<std::size_t>(n));
        if (taken > 0) {
          std::memcpy(receiveBuffer.data() + count, chunk, taken);
          count += taken;
        }
        continue;
      }
    }
    if (p[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
      // A vanished device reports this at once; don't spin on it.
      if (stopEvent.Wait(kReaderPollMs)) {
        return;
      }
    }
  }
}

std::size_t CPortCom::Waiting() {
  std::lock_guard lock(receiveLock);
  return count;
}

std::size_t CPortCom::Read(std::uint8_t* buffer) {
  if (!isOpen || buffer == nullptr) {
    return 0;
  }
  if (Waiting() < kAnswerSize) {
    PauseUnlessCancelled(cancelled.Fd(), IoClock::now() + kAnswerWait);
  }
  std::lock_guard lock(receiveLock);
  const std::size_t taken = std::min(kAnswerSize, count);
  if (taken > 0) {
    std::memcpy(buffer, receiveBuffer.data(), taken);
    std::memmove(receiveBuffer.data(), receiveBuffer.data() + taken, count - taken);
    count -= taken;
  }
  return taken;
}

void CPortCom::Close() {
  if (reader.joinable()) {
    stopEvent.Set();
    reader.join();
  }
  dsrWatch.Stop();
  if (handle >= 0) {
    SettleOutput();
    Release(handle);
    handle = -1;
  }
  isOpen = false;
  receiveBuffer.clear();
  receiveBuffer.shrink_to_fit();
  count = 0;
}

}  // namespace azuz
