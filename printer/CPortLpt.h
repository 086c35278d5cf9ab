#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "CEventEx.h"
#include "CommSettings.h"

namespace azuz {

// A parallel port (/dev/lpN). The lp driver offers no poll(), so writes and reads retry in short
// steps under a user-space deadline from the time-out words, and a cancel event ends them.
class CPortLpt {
 public:
  CPortLpt() = default;
  virtual ~CPortLpt();
  CPortLpt(const CPortLpt&) = delete;
  CPortLpt& operator=(const CPortLpt&) = delete;

  // Copies words 6-12 and the name; fails on an empty name or one that isn't a parallel port.
  bool Configure(const CommSettings& settings);
  bool Open();
  // Bytes written before the deadline (writeTotalTimeoutMultiplier x length + constant).
  std::size_t Write(const std::uint8_t* data, std::size_t length);
  // One read of at most 255 bytes within the read time-outs (about a second when they are 0).
  std::size_t Read(std::uint8_t* buffer);
  void Close();
  void CancelIo() { cancelled.Set(); }

  bool IsOpen() const { return isOpen; }
  const std::string& LastError() const { return lastError; }

 private:
  int handle = -1;
  std::string portName;
  CommSettings timeouts;  // words 6-12 only
  bool isOpen = false;
  CEventEx cancelled;
  std::string lastError;
};

}  // namespace azuz
