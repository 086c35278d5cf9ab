#include "Archive.h"

#include <algorithm>
#include <vector>

#include "CodePage.h"

namespace azuz {

namespace {
// Strings grow in pieces of this size as their bytes arrive.
constexpr std::size_t kStringPiece = std::size_t{64} * 1024;
// Lengths of 2^31 and more are refused, whatever form they came in.
constexpr std::uint64_t kMaxStringLength = 0x7FFFFFFFu;

std::string At(std::uint64_t offset) {
  return " at offset " + std::to_string(offset);
}
}  // namespace

void ArchiveReader::ReadBytes(std::uint8_t* out, std::size_t count, const char* what) {
  const auto got = static_cast<std::size_t>(
      source_.sgetn(reinterpret_cast<char*>(out), static_cast<std::streamsize>(count)));
  offset_ += got;
  if (got != count) {
    throw ArchiveError(std::string("unexpected end of file reading ") + what + At(offset_));
  }
}

void ArchiveReader::Skip(std::size_t count, const char* what) {
  std::uint8_t scratch[64];
  while (count > 0) {
    const std::size_t n = std::min(count, sizeof scratch);
    ReadBytes(scratch, n, what);
    count -= n;
  }
}

std::uint8_t ArchiveReader::ReadU8() {
  std::uint8_t b;
  ReadBytes(&b, 1, "a byte");
  return b;
}

std::uint16_t ArchiveReader::ReadU16() {
  std::uint8_t b[2];
  ReadBytes(b, 2, "a 16-bit field");
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t ArchiveReader::ReadU32() {
  std::uint8_t b[4];
  ReadBytes(b, 4, "a 32-bit field");
  return std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
         (std::uint32_t{b[3]} << 24);
}

std::uint64_t ArchiveReader::ReadU64() {
  const std::uint64_t low = ReadU32();
  return low | (std::uint64_t{ReadU32()} << 32);
}

std::string ArchiveReader::ReadCounted(std::uint64_t units, std::size_t unitSize) {
  std::uint64_t remaining = units * unitSize;
  std::string bytes;
  while (remaining > 0) {
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(remaining, kStringPiece));
    const std::size_t old = bytes.size();
    bytes.resize(old + n);
    ReadBytes(reinterpret_cast<std::uint8_t*>(bytes.data() + old), n, "a string");
    remaining -= n;
  }
  return bytes;
}

std::string ArchiveReader::ReadString() {
  bool wide = false;
  std::uint64_t length = ReadU8();
  if (length == 0xFF) {
    length = ReadU16();
    if (length == 0xFFFE) {
      // FF FE FF marks a wide string; its own nested length follows.
      wide = true;
      length = ReadU8();
      if (length == 0xFF) {
        length = ReadU16();
      }
    }
    if (length == 0xFFFF) {
      length = ReadU32();
      if (length == 0xFFFFFFFFu) {
        length = ReadU64();
      }
    }
  }
  if (length > kMaxStringLength) {
    throw ArchiveError("string length out of range" + At(offset_));
  }
  if (!wide) {
    return ReadCounted(length, 1);
  }
  const std::string raw = ReadCounted(length, 2);
  std::u16string units(raw.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(static_cast<std::uint8_t>(raw[2 * i]) |
                                     (static_cast<std::uint8_t>(raw[2 * i + 1]) << 8));
  }
  return Utf16ToSystem(units);
}

void ArchiveWriter::WriteBytes(const std::uint8_t* data, std::size_t count) {
  if (!good_) {
    return;
  }
  const auto put =
      sink_.sputn(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(count));
  if (put != static_cast<std::streamsize>(count)) {
    good_ = false;
  }
}

void ArchiveWriter::WriteU8(std::uint8_t v) {
  WriteBytes(&v, 1);
}

void ArchiveWriter::WriteU16(std::uint16_t v) {
  const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
  WriteBytes(b, 2);
}

void ArchiveWriter::WriteU32(std::uint32_t v) {
  const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                             static_cast<std::uint8_t>(v >> 16),
                             static_cast<std::uint8_t>(v >> 24)};
  WriteBytes(b, 4);
}

void ArchiveWriter::WriteString(const std::string& text) {
  const std::uint64_t length = text.size();
  if (length < 0xFF) {
    WriteU8(static_cast<std::uint8_t>(length));
  } else if (length < 0xFFFE) {
    WriteU8(0xFF);
    WriteU16(static_cast<std::uint16_t>(length));
  } else if (length < 0xFFFFFFFFu) {
    WriteU8(0xFF);
    WriteU16(0xFFFF);
    WriteU32(static_cast<std::uint32_t>(length));
  } else {
    WriteU8(0xFF);
    WriteU16(0xFFFF);
    WriteU32(0xFFFFFFFFu);
    WriteU32(static_cast<std::uint32_t>(length));
    WriteU32(static_cast<std::uint32_t>(length >> 32));
  }
  WriteBytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

}  // namespace azuz
