#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace azuz {

// Writes 0xFFRRGGBB pixels (rows top first, `stride` pixels apart) as an 8-bit RGB PNG.
bool WriteRgbPng(const std::string& path, const std::uint32_t* pixels, int width, int height,
                 std::size_t stride, std::string* error = nullptr);

// The same, taking each row from `rowAt`; a row it gives as nullptr is white.
bool WriteRgbPng(const std::string& path, int width, int height,
                 const std::function<const std::uint32_t*(int y)>& rowAt,
                 std::string* error = nullptr);

}  // namespace azuz
