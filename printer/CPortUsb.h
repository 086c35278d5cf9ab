#pragma once

#include <cstddef>
#include <cstdint>

#include "CommSettings.h"
#include "DeviceIo.h"
#include "DevicePort.h"

namespace azuz {

// A USB printer device (the usblp node, /dev/usb/lpN). usblp writes never time out by
// themselves, so every 4096-byte piece waits in poll() under a deadline and a cancel event.
class CPortUsb : public DevicePort {
 public:
  static constexpr std::size_t kPieceSize = 4096;

  // Takes the device path and words 6-12; fails on an empty path.
  bool Configure(const CommSettings& settings);
  bool Open();
  // length when the device has taken every piece, else 0.
  std::size_t Write(const std::uint8_t* data, std::size_t length);
  // One read of at most 255 bytes, waiting at most about a second.
  std::size_t Read(std::uint8_t* buffer);

 private:
  bool Delivered(IoClock::time_point deadline);
};

}  // namespace azuz
