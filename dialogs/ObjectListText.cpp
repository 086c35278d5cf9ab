#include "ObjectListText.h"

namespace azuz {

namespace {

std::string Shortened(const std::string& text) {
  if (text.size() <= kListNameLimit) {
    return text;
  }
  return "..." + text.substr(text.size() - kListNameLimit);
}

}  // namespace

std::string ObjectListName(const DrawObject& object) {
  if (object.Is(ObjectKind::Bitmap)) {
    return Shortened(object.picturePath);
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
