#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace azuz {

// The 60-byte LOGFONTA layout, stored in files byte for byte. The face name keeps all 32 bytes,
// including whatever follows its terminator, so a record read from a file writes back unchanged.
struct FontRecord {
  static constexpr std::size_t kSize = 60;
  static constexpr std::size_t kFaceNameSize = 32;

  std::int32_t height = 0;
  std::int32_t width = 0;
  std::int32_t escapement = 0;  // tenths of a degree
  std::int32_t orientation = 0;
  std::int32_t weight = 400;
  std::uint8_t italic = 0;
  std::uint8_t underline = 0;
  std::uint8_t strikeOut = 0;
  std::uint8_t charSet = 1;
  std::uint8_t outPrecision = 2;
  std::uint8_t clipPrecision = 1;
  std::uint8_t quality = 0;
  std::uint8_t pitchAndFamily = 0;
  std::array<char, kFaceNameSize> faceName{'A', 'r', 'i', 'a', 'l'};

  static FontRecord FromBytes(const std::uint8_t* bytes);
  void ToBytes(std::uint8_t* bytes) const;

  // The face name up to its terminator (at most 32 bytes).
  std::string FaceName() const;
  // Sets the face name, truncated to 31 bytes, zeros after it.
  void SetFaceName(const std::string& name);

  bool operator==(const FontRecord&) const = default;
};

}  // namespace azuz
