#pragma once

#include <string>

#include "DrawObject.h"

namespace azuz {

inline constexpr std::size_t kListNameLimit = 15;

// The "Name" column: a picture's path or a text, whole up to 15 characters, else "..." and its
// last 15; the kind word for shapes. A text's characters are bytes of the system code page, a
// path's are UTF-8 characters, so that no character of a file name is cut in two.
std::string ObjectListName(const DrawObject& object);

// The index text under the list: "Not Selected" for a negative index, else the 0-based index.
std::string IndexText(int index);

}  // namespace azuz
