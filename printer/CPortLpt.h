#pragma once

#include <cstddef>
#include <cstdint>

#include "CommSettings.h"
#include "DevicePort.h"

namespace azuz {

// A parallel port (/dev/lpN). The lp driver offers no poll(), so writes and reads retry in short
// steps under a user-space deadline from the time-out words, and a cancel event ends them. The
// raw port /dev/parportN is refused with a message naming its /dev/lpN.
class CPortLpt : public DevicePort {
 public:
  // Takes the name and words 6-12; fails on an empty name or one that isn't a parallel port.
  bool Configure(const CommSettings& settings);
  bool Open();
  // Bytes written before the deadline (writeTotalTimeoutMultiplier x length + constant).
  std::size_t Write(const std::uint8_t* data, std::size_t length);
  // One read of at most 255 bytes within the read time-outs (about a second when they are 0).
  std::size_t Read(std::uint8_t* buffer);
};

}  // namespace azuz
