#include "DrawObject.h"

namespace azuz {

namespace {

// 32-bit signed wrap-around without undefined behaviour.
std::int32_t Wrap(std::int64_t v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

bool Turned(std::int32_t rotation) {
  return rotation == 1 || rotation == 2;
}

}  // namespace

const char* ObjectKindName(std::int32_t kind) {
  switch (kind) {
    case 0:
      return "Bitmap";
    case 1:
      return "Text";
    case 2:
      return "Line";
    case 3:
      return "Rectangle";
    case 4:
      return "Ellipse";
    default:
      return "";
  }
}

void DrawObject::SetText(const std::string& newText, const FontRecord& newFont, Colour colour,
                         std::int32_t newRotation, std::int32_t pointSize) {
  text = newText;
  font = newFont;
  textColour = colour;
  kind = static_cast<std::int32_t>(ObjectKind::Text);

  const std::int32_t e =
      Wrap(static_cast<std::int64_t>(static_cast<std::int32_t>(newText.size())) * pointSize);
  const std::int32_t old = rotation;
  if (Turned(newRotation)) {
    if (old == -1) {
      right = Wrap(std::int64_t{right} + 50);
      bottom = Wrap(std::int64_t{bottom} + e);
    } else if (old == 0 || old == 3) {
      right = Wrap(std::int64_t{right} + Wrap(50 - std::int64_t{e}));
      bottom = Wrap(std::int64_t{bottom} + Wrap(std::int64_t{e} - 50));
    }
  } else {
    if (old == -1) {
      right = Wrap(std::int64_t{right} + e);
      bottom = Wrap(std::int64_t{bottom} + 50);
    } else if (Turned(old)) {
      right = Wrap(std::int64_t{right} + Wrap(std::int64_t{e} - 50));
      bottom = Wrap(std::int64_t{bottom} + Wrap(50 - std::int64_t{e}));
    }
  }
  rotation = newRotation;
}

bool DrawObject::SetPictureFromFile(const std::string& path, std::string* why) {
  DesignPictures alone;
  return SetPictureFromFile(path, alone, why);
}

bool DrawObject::SetPictureFromFile(const std::string& path, DesignPictures& pictures,
                                    std::string* why) {
  picture.reset();
  kind = static_cast<std::int32_t>(ObjectKind::Bitmap);
  std::shared_ptr<const Picture> loaded = pictures.Load(path, &pictureError);
  if (why != nullptr) {
    *why = pictureError;
  }
  if (!loaded) {
    return false;
  }
  picture = std::move(loaded);
  picturePath = path;
  right = Wrap(std::int64_t{left} + picture->width);
  bottom = Wrap(std::int64_t{top} + picture->height);
  return true;
}

}  // namespace azuz
