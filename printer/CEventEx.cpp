#include "CEventEx.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <stdexcept>

namespace azuz {

CEventEx::CEventEx() : fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
  if (fd < 0) {
    throw std::runtime_error("eventfd failed");
  }
}

CEventEx::~CEventEx() {
  close(fd);
}

void CEventEx::Set() {
  const std::uint64_t one = 1;
  // A full counter (never reached in practice) leaves the event set, which is what Set means.
  [[maybe_unused]] ssize_t ignored = write(fd, &one, sizeof one);
}

void CEventEx::Reset() {
  std::uint64_t value = 0;
  [[maybe_unused]] ssize_t ignored = read(fd, &value, sizeof value);
}

bool CEventEx::IsSet() const {
  return Wait(0);
}

bool CEventEx::Wait(int timeoutMs) const {
  pollfd p{fd, POLLIN, 0};
  for (;;) {
    const int r = poll(&p, 1, timeoutMs);
    if (r >= 0) {
      return r > 0;
    }
    if (errno != EINTR) {
      return false;
    }
  }
}

}  // namespace azuz
