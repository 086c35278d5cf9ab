#pragma once

#include <string>

#include "DrawObject.h"

namespace azuz {

inline constexpr std::size_t kListNameLimit = 15;

// The "Name" column: a picture's path or a text, whole up to 15 characters, else "..." and its
// last 15; the kind word for shapes. Lengths count bytes of the system code page.
std::string ObjectListName(const DrawObject& object);

// The index text under the list: "Not Selected" for a negative index, else the 0-based index.
std::string IndexText(int index);

}  // namespace azuz
