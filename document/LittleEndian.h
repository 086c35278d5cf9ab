#pragma once

#include <cstdint>

namespace azuz {

inline std::uint16_t ReadLe16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t ReadLe32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}
inline std::int32_t ReadLe32s(const std::uint8_t* p) {
  return static_cast<std::int32_t>(ReadLe32(p));
}
inline std::uint64_t ReadLe64(const std::uint8_t* p) {
  return std::uint64_t{ReadLe32(p)} | (std::uint64_t{ReadLe32(p + 4)} << 32);
}
inline void WriteLe16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void WriteLe32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) {
    p[i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
}

}  // namespace azuz
