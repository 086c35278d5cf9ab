#include "GifLzw.h"

#include <array>

namespace azuz::gif {

namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kTableSize = 1 << kMaxCodeBits;

// Codes of a variable width, least significant bit first.
class CodeReader {
 public:
  explicit CodeReader(std::span<const std::uint8_t> data) : data_(data) {}

  // False when fewer than `width` bits are left.
  bool Next(int width, int& code) {
    while (bitCount_ < width) {
      if (at_ == data_.size()) {
        return false;
      }
      bits_ |= std::uint32_t{data_[at_++]} << bitCount_;
      bitCount_ += 8;
    }
    code = static_cast<int>(bits_ & ((1u << width) - 1));
    bits_ >>= width;
    bitCount_ -= width;
    return true;
  }

 private:
  std::span<const std::uint8_t> data_;
  std::size_t at_ = 0;
  std::uint32_t bits_ = 0;
  int bitCount_ = 0;
};

}  // namespace

bool CheckGifLzw(int minimumCodeSize, std::span<const std::uint8_t> data, std::int64_t pixels,
                 std::string& why) {
  if (minimumCodeSize < 1 || minimumCodeSize >= kMaxCodeBits) {
    why = "GIF code size " + std::to_string(minimumCodeSize) + " is not usable";
    return false;
  }
  const int clear = 1 << minimumCodeSize;
  const int end = clear + 1;
  // Pixels each code stands for.
  std::array<std::uint16_t, kTableSize> length{};
  for (int code = 0; code < clear; ++code) {
    length[static_cast<std::size_t>(code)] = 1;
  }
  int width = minimumCodeSize + 1;
  int next = end;  // the entry the next code after a first one makes
  int last = -1;   // the previous code, -1 right after a clear or once the table is full
  std::int64_t done = 0;
  CodeReader codes(data);
  while (done < pixels) {
    int code = 0;
    if (!codes.Next(width, code)) {
      why = "GIF image data ends before its last pixel";
      return false;
    }
    if (code == clear) {
      width = minimumCodeSize + 1;
      next = end;
      last = -1;
      continue;
    }
    if (code == end) {
      why = "GIF image data ends before its last pixel";
      return false;
    }
    // A code names a literal, an entry made since the clear, or (after a first code) the entry
    // it is making itself. Entries below `next` are all made: each code after the first makes one.
    if (code > next || (code == next && last < 0)) {
      why = "GIF image data is defective: code " + std::to_string(code) + " names no entry";
      return false;
    }
    if (last >= 0 && next < kTableSize) {
      length[static_cast<std::size_t>(next)] =
          static_cast<std::uint16_t>(length[static_cast<std::size_t>(last)] + 1);
    }
    done += length[static_cast<std::size_t>(code)];
    last = code;
    if (next < kTableSize) {
      ++next;
    }
    if (next == (1 << width) && width < kMaxCodeBits) {
      ++width;
    } else if (next == kTableSize) {
      last = -1;  // a full table makes no more entries until a clear
    }
  }
  return true;
}

}  // namespace azuz::gif
