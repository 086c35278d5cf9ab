#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include <sys/socket.h>

#include "CEventEx.h"
#include "DeviceIo.h"

namespace azuz {

// The TCP/IP connection to a network printer. Non-blocking underneath: connect, send and receive
// wait in poll() next to a cancel event, so another thread can always end them (Cancel).
class CASock {
 public:
  CASock() = default;
  ~CASock();
  CASock(const CASock&) = delete;
  CASock& operator=(const CASock&) = delete;

  // Makes a fresh IPv4 stream socket (closing any previous one) and clears a past cancel.
  bool Create();
  // Connects to `address` at `port` within connectTimeout. The address is taken as dotted IPv4
  // first, blanks inside its parts ignored (the settings dialog writes "%3d.%3d.%3d.%3d"), and
  // looked up as a host name otherwise. On failure the socket is closed.
  bool Connect(const std::string& address, int port);
  // Sends the whole block, waiting while the printer doesn't take data. Returns the count sent,
  // or -1 after an error or a cancel.
  long Send(const std::uint8_t* data, std::size_t length);
  // One receive of at most `capacity` bytes, waiting at most `timeout`: the count, 0 when nothing
  // came (or the printer closed), -1 on an error or a cancel.
  int Receive(std::uint8_t* buffer, std::size_t capacity, std::chrono::milliseconds timeout);
  // Waits `pause`; false when cancelled first.
  bool Pause(std::chrono::milliseconds pause);
  // From any thread: ends a connect, send, receive or pause under way and every later one until
  // the next Create, by shutting the connection down.
  void Cancel();
  void Close();

  bool IsOpen() const { return fd >= 0; }
  // Since the last Create, Cancel was called: a failure since then is the user's doing.
  bool WasCancelled() const { return cancelled.IsSet(); }
  const std::string& LastError() const { return lastError; }

  // The connect bound; tests shorten it.
  std::chrono::milliseconds connectTimeout{10'000};

 private:
  bool ResolveAddress(const std::string& address, int port, IoClock::time_point deadline,
                      sockaddr_storage& target, unsigned& targetLength);
  bool Fail(const std::string& text);

  int fd = -1;
  std::mutex fdMutex;  // Cancel and Close may come from another thread than Send
  CEventEx cancelled;
  std::string lastError;
};

}  // namespace azuz
