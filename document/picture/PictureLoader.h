#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>

#include "Picture.h"

namespace azuz {

// Reads a whole open file (and closes it) and decodes it as a picture. `why`, when given,
// receives the reason there is no picture.
std::optional<Picture> LoadPictureFile(std::FILE* file, std::string* why = nullptr);

// Decodes BMP, JPEG or GIF (recognised by content, not by name); anything else is no picture.
std::optional<Picture> DecodePicture(std::span<const std::uint8_t> bytes,
                                     std::string* why = nullptr);

}  // namespace azuz
