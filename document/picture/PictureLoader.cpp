#include "PictureLoader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "BmpDecoder.h"
#include "GifDecoder.h"
#include "JpegDecoder.h"

namespace azuz {

namespace {

// No picture file of interest comes near this; a larger one is refused before it is read.
constexpr long kMaxPictureFileBytes = 512L * 1024 * 1024;

std::string Errno(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

// What a non-regular file is, for the reason it is refused.
std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) {
    return "a folder";
  }
  if (S_ISFIFO(mode)) {
    return "a pipe";
  }
  if (S_ISCHR(mode) || S_ISBLK(mode)) {
    return "a device";
  }
  if (S_ISSOCK(mode)) {
    return "a socket";
  }
  return "not a regular file";
}

}  // namespace

std::FILE* OpenPictureFile(const std::string& path, std::string* why) {
  // Every refusal closes first: making its message may throw.
  auto refuse = [why](const std::string& reason) -> std::FILE* {
    if (why != nullptr) {
      *why = reason;
    }
    return nullptr;
  };
  // O_NONBLOCK: opening a FIFO without a writer, or a device, must not wait; O_NOCTTY: a
  // terminal named as a picture must not become this process's terminal.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    return refuse(Errno("cannot open " + path));
  }
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    const int code = errno;
    close(fd);
    errno = code;
    return refuse(Errno("cannot look at " + path));
  }
  if (!S_ISREG(st.st_mode)) {
    close(fd);
    return refuse(path + " is " + KindOf(st.st_mode) + ", not a picture file");
  }
  // A regular file never blocks, so its reads go on as usual.
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* file = fdopen(fd, "rb");
  if (file == nullptr) {
    const int code = errno;
    close(fd);
    errno = code;
    return refuse(Errno("cannot read " + path));
  }
  return file;
}

std::optional<Picture> LoadPictureFile(std::FILE* file, std::string* why,
                                       std::int64_t pixelBudget) {
  // Closed on every way out, an exception's too.
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file, std::fclose);
  auto fail = [&](const std::string& reason) -> std::optional<Picture> {
    if (why != nullptr) {
      *why = reason;
    }
    return std::nullopt;
  };
  struct stat st {};
  if (fstat(fileno(file), &st) != 0) {
    return fail(Errno("cannot look at the file"));
  }
  if (!S_ISREG(st.st_mode)) {
    return fail("the file is " + KindOf(st.st_mode) + ", not a picture file");
  }
  if (st.st_size > kMaxPictureFileBytes) {
    return fail("file too large for a picture");
  }
  if (std::fseek(file, 0, SEEK_SET) != 0) {
    return fail(Errno("cannot read the file"));
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(st.st_size));
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  return DecodePicture(bytes, why, pixelBudget);
}

std::optional<Picture> DecodePicture(std::span<const std::uint8_t> bytes, std::string* why,
                                     std::int64_t pixelBudget) {
  auto starts = [&](std::initializer_list<std::uint8_t> magic) {
    return bytes.size() >= magic.size() && std::equal(magic.begin(), magic.end(), bytes.begin());
  };
  if (starts({'B', 'M'}) || starts({'B', 'A'})) {
    return DecodeBmp(bytes, why, pixelBudget);
  }
  if (starts({0xFF, 0xD8})) {
    return DecodeJpeg(bytes, why, pixelBudget);
  }
  if (starts({'G', 'I', 'F', '8'})) {
    return DecodeGif(bytes, why, pixelBudget);
  }
  if (why != nullptr) {
    *why = bytes.empty() ? "empty file" : "not a BMP, JPEG or GIF picture";
  }
  return std::nullopt;
}

}  // namespace azuz
