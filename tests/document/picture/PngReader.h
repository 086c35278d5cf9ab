#pragma once

#include <png.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace azuz::test {

// An 8-bit PNG read as RGBA. `hasAlpha` tells whether the file itself has an alpha channel.
struct PngPicture {
  int width = 0;
  int height = 0;
  bool hasAlpha = false;
  std::vector<std::uint8_t> rgba;  // 4 bytes a pixel, rows top first

  const std::uint8_t* At(int x, int y) const {
    return rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
  }
};

inline std::optional<PngPicture> ReadPng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    return std::nullopt;
  }
  PngPicture png;
  png.width = static_cast<int>(image.width);
  png.height = static_cast<int>(image.height);
  png.hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  image.format = PNG_FORMAT_RGBA;
  png.rgba.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, png.rgba.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    return std::nullopt;
  }
  return png;
}

}  // namespace azuz::test
