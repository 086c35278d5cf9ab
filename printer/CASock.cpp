#include "CASock.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace azuz {

namespace {

int MakeSocket(int family) {
  const int fd = socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd >= 0) {
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  }
  return fd;
}

// The address with blanks removed when what remains is dotted IPv4 text, else unchanged.
bool DottedAddress(const std::string& address, in_addr& out) {
  std::string compact;
  for (char c : address) {
    if (c != ' ') {
      compact += c;
    }
  }
  return compact.find('.') != std::string::npos && inet_pton(AF_INET, compact.c_str(), &out) == 1;
}

// An asynchronous name look-up. Its memory stays with the resolver thread when the look-up can't
// be cancelled in time, so a slow DNS server can never write into a finished caller's stack.
struct Lookup {
  std::string host;
  std::string service;
  addrinfo hints{};
  gaicb request{};
};

}  // namespace

CASock::~CASock() {
  Close();
}

bool CASock::Fail(const std::string& text) {
  lastError = text;
  return false;
}

bool CASock::Create() {
  Close();
  cancelled.Reset();
  std::lock_guard lock(fdMutex);
  fd = MakeSocket(AF_INET);
  if (fd < 0) {
    return Fail(ErrnoText("socket", "", errno));
  }
  return true;
}

bool CASock::ResolveAddress(const std::string& address, int port, IoClock::time_point deadline,
                            sockaddr_storage& target, unsigned& targetLength) {
  std::memset(&target, 0, sizeof target);
  in_addr dotted{};
  if (DottedAddress(address, dotted)) {
    auto* v4 = reinterpret_cast<sockaddr_in*>(&target);
    v4->sin_family = AF_INET;
    v4->sin_port = htons(static_cast<std::uint16_t>(port));
    v4->sin_addr = dotted;
    targetLength = sizeof(sockaddr_in);
    return true;
  }
  if (address.empty()) {
    return Fail("no printer address");
  }

  auto lookup = std::make_unique<Lookup>();
  lookup->host = address;
  lookup->service = std::to_string(port);
  lookup->hints.ai_family = AF_UNSPEC;
  lookup->hints.ai_socktype = SOCK_STREAM;
  lookup->request.ar_name = lookup->host.c_str();
  lookup->request.ar_service = lookup->service.c_str();
  lookup->request.ar_request = &lookup->hints;
  gaicb* list[1] = {&lookup->request};
  if (getaddrinfo_a(GAI_NOWAIT, list, 1, nullptr) != 0) {
    return Fail("cannot look up " + address);
  }
  while (gai_error(&lookup->request) == EAI_INPROGRESS) {
    if (cancelled.IsSet() || IoClock::now() >= deadline) {
      if (gai_cancel(&lookup->request) != EAI_CANCELED) {
        static_cast<void>(
            lookup.release());  // the resolver thread still owns it; a few bytes, once
      }
      return Fail(cancelled.IsSet() ? "cancelled" : "name look-up of " + address + " timed out");
    }
    const timespec slice{0, 50'000'000};
    gai_suspend(list, 1, &slice);
  }
  const int status = gai_error(&lookup->request);
  addrinfo* found = lookup->request.ar_result;
  if (status != 0 || found == nullptr) {
    return Fail("cannot look up " + address + ": " + gai_strerror(status));
  }
  std::memcpy(&target, found->ai_addr, found->ai_addrlen);
  targetLength = found->ai_addrlen;
  freeaddrinfo(found);
  return true;
}

bool CASock::Connect(const std::string& address, int port) {
  const IoClock::time_point deadline = IoClock::now() + connectTimeout;
  sockaddr_storage target{};
  unsigned targetLength = 0;
  if (fd < 0 && !Create()) {
    return false;
  }
  // Several printers may share an address: the reason names the port too.
  const std::string peer = address + ":" + std::to_string(port);
  bool ok = ResolveAddress(address, port, deadline, target, targetLength);
  if (ok && target.ss_family != AF_INET) {
    std::lock_guard lock(fdMutex);
    close(fd);
    fd = MakeSocket(target.ss_family);
    ok = fd >= 0 || Fail(ErrnoText("socket", "", errno));
  }
  if (ok && connect(fd, reinterpret_cast<sockaddr*>(&target), targetLength) != 0) {
    if (errno != EINPROGRESS) {
      ok = Fail(ErrnoText("connect to", peer, errno));
    } else {
      switch (WaitForDevice(fd, POLLOUT, cancelled.Fd(), deadline)) {
        case IoWait::Ready: {
          int error = 0;
          socklen_t size = sizeof error;
          getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
          ok = error == 0 || Fail(ErrnoText("connect to", peer, error));
          break;
        }
        case IoWait::TimedOut:
          ok = Fail("connect to " + peer + ": no answer within " +
                    std::to_string(connectTimeout.count()) + " ms");
          break;
        case IoWait::Cancelled:
          ok = Fail("connect to " + peer + ": cancelled");
          break;
        case IoWait::Failed:
          ok = Fail(ErrnoText("connect to", peer, errno));
          break;
      }
    }
  }
  if (!ok) {
    Close();
  }
  return ok;
}

long CASock::Send(const std::uint8_t* data, std::size_t length) {
  std::size_t sent = 0;
  while (sent < length) {
    if (fd < 0 || cancelled.IsSet()) {
      Fail("send: cancelled");
      return -1;
    }
    const ssize_t n = send(fd, data + sent, length - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      const IoWait wait = WaitForDevice(fd, POLLOUT, cancelled.Fd(), IoClock::time_point::max());
      if (wait == IoWait::Cancelled) {
        Fail("send: cancelled");
        return -1;
      }
      continue;
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    Fail(ErrnoText("send", "", n < 0 ? errno : EPIPE));
    return -1;
  }
  return static_cast<long>(sent);
}

int CASock::Receive(std::uint8_t* buffer, std::size_t capacity, std::chrono::milliseconds timeout) {
  if (fd < 0 || buffer == nullptr) {
    return -1;
  }
  switch (WaitForDevice(fd, POLLIN, cancelled.Fd(), IoClock::now() + timeout)) {
    case IoWait::Ready:
      break;
    case IoWait::TimedOut:
      return 0;
    case IoWait::Cancelled:
      Fail("receive: cancelled");
      return -1;
    case IoWait::Failed:
      Fail(ErrnoText("receive", "", errno));
      return -1;
  }
  const ssize_t n = recv(fd, buffer, capacity, 0);
  if (n < 0) {
    Fail(ErrnoText("receive", "", errno));
    return -1;
  }
  return static_cast<int>(n);
}

bool CASock::Pause(std::chrono::milliseconds pause) {
  return PauseUnlessCancelled(cancelled.Fd(), IoClock::now() + pause);
}

void CASock::Cancel() {
  std::lock_guard lock(fdMutex);
  cancelled.Set();
  if (fd >= 0) {
    shutdown(fd, SHUT_RDWR);
  }
}

void CASock::Close() {
  std::lock_guard lock(fdMutex);
  if (fd >= 0) {
    close(fd);
    fd = -1;
  }
}

}  // namespace azuz
