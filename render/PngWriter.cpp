#include "PngWriter.h"

#include <png.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace azuz {

namespace {

// Where libpng's output goes; keeps the reason a write failed, which png_error() drops.
struct PngSink {
  std::FILE* file = nullptr;
  int error = 0;
};

void WriteToSink(png_structp png, png_bytep data, png_size_t length) {
  auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
  if (std::fwrite(data, 1, length, sink->file) != length) {
    sink->error = errno;
    png_error(png, "write error");
  }
}

void FlushSink(png_structp png) {
  std::fflush(static_cast<PngSink*>(png_get_io_ptr(png))->file);
}

// A failed write leaves no partial picture; a device or pipe named as the output stays.
void RemoveIfRegular(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    std::remove(path.c_str());
  }
}

}  // namespace

bool WriteRgbPng(const std::string& path, const std::uint32_t* pixels, int width, int height,
                 std::size_t stride, std::string* error) {
  return WriteRgbPng(
      path, width, height,
      [pixels, stride](int y) { return pixels + static_cast<std::size_t>(y) * stride; }, error);
}

bool WriteRgbPng(const std::string& path, int width, int height,
                 const std::function<const std::uint32_t*(int y)>& rowAt, std::string* error) {
  auto fail = [error](const std::string& why) {
    if (error != nullptr) {
      *error = why;
    }
    return false;
  };
  if (width <= 0 || height <= 0) {
    return fail("nothing to write: the image is empty");
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    return fail("cannot create " + path + ": " + std::strerror(errno));
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (png == nullptr || info == nullptr) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return fail("out of memory");
  }
  std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
  // On the heap: what changes after setjmp() must not live in the jumping frame.
  const auto sink = std::make_unique<PngSink>(PngSink{file, 0});
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    RemoveIfRegular(path);
    return fail("cannot write " + path +
                (sink->error != 0 ? std::string(": ") + std::strerror(sink->error) : ""));
  }
  png_set_write_fn(png, sink.get(), WriteToSink, FlushSink);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* src = rowAt(y);
    if (src == nullptr) {
      std::fill(row.begin(), row.end(), png_byte{0xFF});
      png_write_row(png, row.data());
      continue;
    }
    for (int x = 0; x < width; ++x) {
      row[3 * static_cast<std::size_t>(x)] = static_cast<png_byte>(src[x] >> 16);
      row[3 * static_cast<std::size_t>(x) + 1] = static_cast<png_byte>(src[x] >> 8);
      row[3 * static_cast<std::size_t>(x) + 2] = static_cast<png_byte>(src[x]);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  if (std::fclose(file) != 0) {
    const int code = errno;
    RemoveIfRegular(path);
    return fail("cannot write " + path + ": " + std::strerror(code));
  }
  return true;
}

}  // namespace azuz
