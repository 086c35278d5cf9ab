#pragma once

#include <cstdint>

namespace azuz {

// portKind of the connection state: how the printer is reached when useDriver isn't set.
inline constexpr std::int32_t kPortKindSerial = 0;
inline constexpr std::int32_t kPortKindParallel = 1;
inline constexpr std::int32_t kPortKindUsb = 2;
inline constexpr std::int32_t kPortKindTcpIp = 3;
inline constexpr std::int32_t kPortKindTcp = kPortKindTcpIp;

}  // namespace azuz
