#pragma once

#include <cstdint>
#include <stdexcept>
#include <streambuf>
#include <string>

namespace azuz {

// A format error that ends a read: a field cut short or a length out of range.
class ArchiveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Sequential little-endian reads over a buffered byte stream. Nothing read sizes an allocation
// ahead of the bytes actually arriving, so an absurd length in a short file fails at its end.
class ArchiveReader {
 public:
  explicit ArchiveReader(std::streambuf& source) : source_(source) {}

  std::uint8_t ReadU8();
  std::uint16_t ReadU16();
  std::uint32_t ReadU32();
  std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }
  std::uint64_t ReadU64();
  void ReadBytes(std::uint8_t* out, std::size_t count, const char* what);
  void Skip(std::size_t count, const char* what);
  // A length-prefixed string; a wide one is converted to the system code page.
  std::string ReadString();

  std::uint64_t Offset() const { return offset_; }

 private:
  std::streambuf& source_;
  std::uint64_t offset_ = 0;
  std::string ReadCounted(std::uint64_t units, std::size_t unitSize);
};

class ArchiveWriter {
 public:
  explicit ArchiveWriter(std::streambuf& sink) : sink_(sink) {}

  void WriteU8(std::uint8_t v);
  void WriteU16(std::uint16_t v);
  void WriteU32(std::uint32_t v);
  void WriteI32(std::int32_t v) { WriteU32(static_cast<std::uint32_t>(v)); }
  void WriteBytes(const std::uint8_t* data, std::size_t count);
  void WriteString(const std::string& text);

  // False once any byte could not be written.
  bool Good() const { return good_; }

 private:
  std::streambuf& sink_;
  bool good_ = true;
};

}  // namespace azuz
