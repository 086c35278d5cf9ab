#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "Colour.h"
#include "DesignPictures.h"
#include "FontRecord.h"
#include "Picture.h"

namespace azuz {

enum class ObjectKind : std::int32_t {
  Bitmap = 0,
  Text = 1,
  Line = 2,
  Rectangle = 3,
  Ellipse = 4,
};

// The word the object list shows for a kind; empty for a value outside 0-4.
const char* ObjectKindName(std::int32_t kind);

// One object of the design. Edges are in dots and never normalised: right < left keeps a line's
// direction. `kind` holds the raw value read from a file, so a kind outside 0-4 survives a save.
struct DrawObject {
  std::int32_t selectState = 0;
  std::int32_t kind = -1;  // not set until something fills the object
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 100;
  std::int32_t bottom = 100;
  // Read-only, and shared by every object of the design that names the same file.
  std::shared_ptr<const Picture> picture;
  std::string picturePath;
  std::string text;  // bytes in the system code page
  FontRecord font;
  Colour textColour = 0;
  std::int32_t rotation = -1;
  std::int32_t penWidth = 1;
  Colour penColour = kNoColour;
  Colour fillColour = kNoColour;

  bool Is(ObjectKind k) const { return kind == static_cast<std::int32_t>(k); }

  // Makes this a Text object; adjusts the rectangle when the rotation moves between the upright
  // (0, 3) and turned (1, 2) groups. Arithmetic wraps as 32-bit signed.
  void SetText(const std::string& newText, const FontRecord& newFont, Colour colour,
               std::int32_t newRotation, std::int32_t pointSize);

  // Why the last picture load gave no picture; empty after one that did.
  std::string pictureError;

  // Makes this a Bitmap object from a picture file. On success the rectangle takes the
  // picture's size and `picturePath` the path; on failure the old path and edges stay. With
  // `pictures`, the file is loaded as one of its design's pictures (shared, within the budget).
  bool SetPictureFromFile(const std::string& path, std::string* why = nullptr);
  bool SetPictureFromFile(const std::string& path, DesignPictures& pictures,
                          std::string* why = nullptr);
};

}  // namespace azuz
