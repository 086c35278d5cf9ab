#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "CEventEx.h"

namespace azuz::test {

// A TCP printer stand-in on 127.0.0.1: accepts one connection at a time and records every byte
// with the time it arrived. It can stop reading (a printer that takes no more data) or drop the
// connection after a number of bytes.
class LoopbackListener {
 public:
  struct Arrival {
    std::chrono::steady_clock::time_point at;
    std::size_t size;
  };

  // `receiveBuffer` > 0 makes the accepted sockets' receive window small.
  explicit LoopbackListener(int receiveBuffer = 0, int backlog = 4) {
    fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (receiveBuffer > 0) {
      setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where);
    listen(fd, backlog);
    socklen_t size = sizeof where;
    getsockname(fd, reinterpret_cast<sockaddr*>(&where), &size);
    port = ntohs(where.sin_port);
    thread = std::thread([this] { Serve(); });
  }
  ~LoopbackListener() {
    stop.Set();
    thread.join();
    close(fd);
  }

  int Port() const { return port; }
  void SetReading(bool on) { reading = on; }
  void DropAfter(std::size_t bytes) { dropAfter = bytes; }

  std::vector<std::uint8_t> Received() {
    std::lock_guard lock(mutex);
    return received;
  }
  std::vector<Arrival> Arrivals() {
    std::lock_guard lock(mutex);
    return arrivals;
  }
  // Waits until `bytes` have arrived; false on time-out.
  bool WaitForBytes(std::size_t bytes, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [&] { return received.size() >= bytes; });
  }
  // Waits until the sender has closed its end (or the listener dropped it).
  bool WaitClosed(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, timeout, [&] { return closedConnections > 0; });
  }

 private:
  void Serve() {
    for (;;) {
      pollfd p[2] = {{fd, POLLIN, 0}, {stop.Fd(), POLLIN, 0}};
      poll(p, 2, -1);
      if (p[1].revents) {
        return;
      }
      const int connection = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
      if (connection >= 0) {
        ServeConnection(connection);
      }
    }
  }

  void ServeConnection(int connection) {
    std::uint8_t buffer[65536];
    for (;;) {
      pollfd p[2] = {{connection, static_cast<short>(reading ? POLLIN : 0), 0},
                     {stop.Fd(), POLLIN, 0}};
      poll(p, 2, reading ? -1 : 10);
      if (p[1].revents) {
        break;
      }
      if (!reading || !(p[0].revents & (POLLIN | POLLHUP | POLLERR))) {
        continue;
      }
      const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
      if (n <= 0) {
        break;
      }
      std::lock_guard lock(mutex);
      received.insert(received.end(), buffer, buffer + n);
      arrivals.push_back({std::chrono::steady_clock::now(), static_cast<std::size_t>(n)});
      changed.notify_all();
      if (received.size() >= dropAfter) {
        const linger reset{1, 0};  // close with a reset, as a printer that is switched off
        setsockopt(connection, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        break;
      }
    }
    close(connection);
    std::lock_guard lock(mutex);
    ++closedConnections;
    changed.notify_all();
  }

  int fd = -1;
  int port = 0;
  std::atomic<bool> reading{true};
  std::atomic<std::size_t> dropAfter{SIZE_MAX};
  CEventEx stop;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::uint8_t> received;
  std::vector<Arrival> arrivals;
  int closedConnections = 0;
  std::thread thread;
};

}  // namespace azuz::test
