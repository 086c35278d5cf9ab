#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "CEventEx.h"
#include "CommSettings.h"

namespace azuz {

// A USB printer device (the usblp node, /dev/usb/lpN). usblp writes never time out by
// themselves, so every 4096-byte piece waits in poll() under a deadline and a cancel event.
class CPortUsb {
 public:
  static constexpr std::size_t kPieceSize = 4096;

  CPortUsb() = default;
  virtual ~CPortUsb();
  CPortUsb(const CPortUsb&) = delete;
  CPortUsb& operator=(const CPortUsb&) = delete;

  // Copies words 6-12 and the device path; fails on an empty path.
  bool Configure(const CommSettings& settings);
  bool Open();
  // length when every piece went out, else 0.
  std::size_t Write(const std::uint8_t* data, std::size_t length);
  // One read of at most 255 bytes, waiting at most about a second.
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
