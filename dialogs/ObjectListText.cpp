#include "ObjectListText.h"

namespace azuz {

namespace {

std::string Shortened(const std::string& text) {
  if (text.size() <= kListNameLimit) {
    return text;
  }
  return "..." + text.substr(text.size() - kListNameLimit);
}

bool ContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// File names here are UTF-8: a path is cut by characters, never inside one. Stray
// continuation bytes count with the character before them, at most three of them.
std::string ShortenedPath(const std::string& path) {
  std::size_t start = path.size();
  for (std::size_t characters = 0; start > 0 && characters < kListNameLimit; ++characters) {
    std::size_t back = 0;
    do {
      --start;
      ++back;
    } while (start > 0 && ContinuationByte(path[start]) && back < 4);
  }
  return start == 0 ? path : "..." + path.substr(start);
}

}  // namespace

std::string ObjectListName(const DrawObject& object) {
  if (object.Is(ObjectKind::Bitmap)) {
    return ShortenedPath(object.picturePath);
  }
  if (object.Is(ObjectKind::Text)) {
    return Shortened(object.text);
  }
  return ObjectKindName(object.kind);
}

std::string IndexText(int index) {
  return index < 0 ? "Not Selected" : std::to_string(index);
}

}  // namespace azuz
