#pragma once

#include <string>
#include <vector>

#include "FontRecord.h"

namespace azuz {

// The face names a text object can be given and be drawn with that very face: the installed
// scalable families the renderer matches, whose names the system code page holds within the
// record's 31 bytes. UTF-8, sorted case-insensitively.
std::vector<std::string> TextFaceNames();

// The pixels per em the renderer draws the record at (its face and height); 0 when no face
// is installed.
int TextPixelsPerEm(const FontRecord& record);

}  // namespace azuz
