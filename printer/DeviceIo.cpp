#include "DeviceIo.h"

#include <fcntl.h>
#include <poll.h>

#include <cerrno>
#include <cstring>

namespace azuz {

namespace {

int MillisecondsUntil(IoClock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - IoClock::now());
  if (left.count() <= 0) {
    return 0;
  }
  return left.count() > 60'000 ? 60'000 : static_cast<int>(left.count());
}

}  // namespace

std::string ErrnoText(const std::string& what, const std::string& node, int error) {
  std::string text = what + (node.empty() ? "" : " " + node) + ": " + std::strerror(error);
  if (error == EACCES || error == EPERM) {
    const bool serial = node.rfind("/dev/tty", 0) == 0;
    text += serial ? " (add the user to group dialout)" : " (add the user to group lp)";
  } else if (error == EBUSY) {
    text += " (another program holds the port)";
  }
  return text;
}

int OpenDeviceNode(const std::string& node, std::string* error) {
  if (node.empty()) {
    if (error) {
      *error = "no device node for this port name";
    }
    return -1;
  }
  const int fd = open(node.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0 && error) {
    *error = ErrnoText("open", node, errno);
  }
  return fd;
}

IoWait WaitForDevice(int fd, short events, int cancelFd, IoClock::time_point deadline) {
  for (;;) {
    pollfd p[2] = {{fd, events, 0}, {cancelFd, POLLIN, 0}};
    const int r = poll(p, cancelFd >= 0 ? 2 : 1, MillisecondsUntil(deadline));
    if (r < 0) {
      if (errno == EINTR) {
        continue;
      }
      return IoWait::Failed;
    }
    if (cancelFd >= 0 && (p[1].revents & POLLIN)) {
      return IoWait::Cancelled;
    }
    if (p[0].revents != 0) {
      return IoWait::Ready;
    }
    if (IoClock::now() >= deadline) {
      return IoWait::TimedOut;
    }
  }
}

bool PauseUnlessCancelled(int cancelFd, IoClock::time_point deadline) {
  for (;;) {
    pollfd p{cancelFd, POLLIN, 0};
    const int r = poll(&p, cancelFd >= 0 ? 1 : 0, MillisecondsUntil(deadline));
    if (r > 0) {
      return false;
    }
    if (r == 0 && IoClock::now() >= deadline) {
      return true;
    }
  }
}

}  // namespace azuz
