#include "PictureLoader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "BmpDecoder.h"
#include "GifDecoder.h"
#include "JpegDecoder.h"

namespace azuz {

namespace {
// No picture file of interest comes near this; a larger one is refused before it is read.
constexpr long kMaxPictureFileBytes = 512L * 1024 * 1024;
}  // namespace

std::optional<Picture> LoadPictureFile(std::FILE* file, std::string* why) {
  auto fail = [&](const std::string& reason) -> std::optional<Picture> {
    if (why != nullptr) {
      *why = reason;
    }
    std::fclose(file);
    return std::nullopt;
  };
  if (std::fseek(file, 0, SEEK_END) != 0) {
    return fail(std::string("cannot seek: ") + std::strerror(errno));
  }
  const long length = std::ftell(file);
  if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
    return fail(std::string("cannot find the file's length: ") + std::strerror(errno));
  }
  if (length > kMaxPictureFileBytes) {
    return fail("file too large for a picture");
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  bytes.resize(got);
  return DecodePicture(bytes, why);
}

std::optional<Picture> DecodePicture(std::span<const std::uint8_t> bytes, std::string* why) {
  auto starts = [&](std::initializer_list<std::uint8_t> magic) {
    return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
  };
  if (starts({'B', 'M'}) || starts({'B', 'A'})) {
    return DecodeBmp(bytes, why);
  }
  if (starts({0xFF, 0xD8})) {
    return DecodeJpeg(bytes, why);
  }
  if (starts({'G', 'I', 'F', '8'})) {
    return DecodeGif(bytes, why);
  }
  if (why != nullptr) {
    *why = bytes.empty() ? "empty file" : "not a BMP, JPEG or GIF picture";
  }
  return std::nullopt;
}

}  // namespace azuz
