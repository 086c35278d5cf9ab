#include "TextRenderer.h"

namespace azuz {

// Replaced by the FreeType renderer.
void DrawTextObject(Canvas&, const DrawObject&) {}

}  // namespace azuz
