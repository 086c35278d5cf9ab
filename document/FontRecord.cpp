#include "FontRecord.h"

#include <algorithm>
#include <cstring>

#include "LittleEndian.h"

namespace azuz {

FontRecord FontRecord::FromBytes(const std::uint8_t* bytes) {
  FontRecord f;
  f.height = ReadLe32s(bytes + 0);
  f.width = ReadLe32s(bytes + 4);
  f.escapement = ReadLe32s(bytes + 8);
  f.orientation = ReadLe32s(bytes + 12);
  f.weight = ReadLe32s(bytes + 16);
  f.italic = bytes[20];
  f.underline = bytes[21];
  f.strikeOut = bytes[22];
  f.charSet = bytes[23];
  f.outPrecision = bytes[24];
  f.clipPrecision = bytes[25];
  f.quality = bytes[26];
  f.pitchAndFamily = bytes[27];
  std::memcpy(f.faceName.data(), bytes + 28, kFaceNameSize);
  return f;
}

void FontRecord::ToBytes(std::uint8_t* bytes) const {
  WriteLe32(bytes + 0, static_cast<std::uint32_t>(height));
  WriteLe32(bytes + 4, static_cast<std::uint32_t>(width));
  WriteLe32(bytes + 8, static_cast<std::uint32_t>(escapement));
  WriteLe32(bytes + 12, static_cast<std::uint32_t>(orientation));
  WriteLe32(bytes + 16, static_cast<std::uint32_t>(weight));
  bytes[20] = italic;
  bytes[21] = underline;
  bytes[22] = strikeOut;
  bytes[23] = charSet;
  bytes[24] = outPrecision;
  bytes[25] = clipPrecision;
  bytes[26] = quality;
  bytes[27] = pitchAndFamily;
  std::memcpy(bytes + 28, faceName.data(), kFaceNameSize);
}

std::string FontRecord::FaceName() const {
  const auto end = std::find(faceName.begin(), faceName.end(), '\0');
  return {faceName.begin(), end};
}

void FontRecord::SetFaceName(const std::string& name) {
  faceName.fill('\0');
  std::copy_n(name.begin(), std::min(name.size(), kFaceNameSize - 1), faceName.begin());
}

}  // namespace azuz
