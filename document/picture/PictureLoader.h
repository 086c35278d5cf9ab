#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>

#include "Picture.h"

namespace azuz {

// Opens a picture file for reading without ever waiting on it: a FIFO, a device or a directory
// is refused at once, as is anything else that is not a regular file. nullptr with `why` set.
std::FILE* OpenPictureFile(const std::string& path, std::string* why = nullptr);

// Reads a whole open file (and closes it) and decodes it as a picture of at most `pixelBudget`
// decoded pixels. `why`, when given, receives the reason there is no picture.
std::optional<Picture> LoadPictureFile(std::FILE* file, std::string* why = nullptr,
                                       std::int64_t pixelBudget = kDesignPicturePixels);

// Decodes BMP, JPEG or GIF (recognised by content, not by name); anything else is no picture.
std::optional<Picture> DecodePicture(std::span<const std::uint8_t> bytes,
                                     std::string* why = nullptr,
                                     std::int64_t pixelBudget = kDesignPicturePixels);

}  // namespace azuz
