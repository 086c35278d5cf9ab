#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace azuz::test {

// A loopback listener that never accepts, its queue filled: a further connect is never answered,
// as with a printer that hangs. `full` says whether the queue did fill.
class SilentListener {
 public:
  SilentListener() {
    listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(listener, reinterpret_cast<sockaddr*>(&address), size);
    listen(listener, 0);
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
    port = ntohs(address.sin_port);
    for (int i = 0; i < 8 && !Hangs(address); ++i) {
    }
  }
  ~SilentListener() {
    for (int fd : clients) {
      close(fd);
    }
    close(listener);
  }
  SilentListener(const SilentListener&) = delete;
  SilentListener& operator=(const SilentListener&) = delete;

  int port = 0;
  bool full = false;

 private:
  // Another client; true once one gets no answer within 300 ms.
  bool Hangs(const sockaddr_in& address) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    clients.push_back(fd);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
      return false;
    }
    pollfd wait{fd, POLLOUT, 0};
    full = poll(&wait, 1, 300) == 0;
    return full;
  }
  int listener = -1;
  std::vector<int> clients;
};

}  // namespace azuz::test
