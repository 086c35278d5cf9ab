#pragma once

#include <cstdint>
#include <string>

namespace azuz {

// Writes 0xFFRRGGBB pixels (rows top first, `stride` pixels apart) as an 8-bit RGB PNG.
bool WriteRgbPng(const std::string& path, const std::uint32_t* pixels, int width, int height,
                 std::size_t stride, std::string* error = nullptr);

}  // namespace azuz
