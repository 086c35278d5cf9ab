#include "DeviceIo.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace azuz {

namespace {

int MillisecondsUntil(IoClock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - IoClock::now());
  if (left.count() <= 0) {
    return 0;
  }
  return left.count() > 60'000 ? 60'000 : static_cast<int>(left.count());
}

bool InGroup(gid_t group) {
  if (getegid() == group) {
    return true;
  }
  const int count = getgroups(0, nullptr);
  std::vector<gid_t> groups(count > 0 ? static_cast<std::size_t>(count) : 0);
  const int got = count > 0 ? getgroups(count, groups.data()) : 0;
  for (int i = 0; i < got; ++i) {
    if (groups[static_cast<std::size_t>(i)] == group) {
      return true;
    }
  }
  return false;
}

// The remedy for a refused node comes from the node itself (the links under /dev/serial lead
// to it): its group, and whether the user is already in that group.
std::string PermissionHint(const std::string& node) {
  struct stat st {};
  if (node.empty() || stat(node.c_str(), &st) != 0) {
    return {};
  }
  if (st.st_gid == 0 || (st.st_mode & S_IRWXG) == 0) {
    return " (only its owner may use the node; a udev rule must give it a group)";
  }
  const group* entry = getgrgid(st.st_gid);
  const std::string name = entry != nullptr ? entry->gr_name : std::to_string(st.st_gid);
  if (InGroup(st.st_gid)) {
    return " (the user is in group " + name +
           ", yet the node does not allow it read and write access)";
  }
  return " (the node belongs to group " + name + ": add the user to group " + name +
         " and log in again)";
}

}  // namespace

std::string ErrnoText(const std::string& what, const std::string& node, int error) {
  std::string text = what + (node.empty() ? "" : " " + node) + ": " + std::strerror(error);
  if (error == EACCES || error == EPERM) {
    text += PermissionHint(node);
  } else if (error == EIO || error == ENXIO || error == ENODEV) {
    text +=
        " (no hardware answers behind this node: is the printer or adapter connected and"
        " switched on?)";
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
