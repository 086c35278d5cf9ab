#include "TextFaces.h"

#include "CodePage.h"
#include "GlyphCache.h"

namespace azuz {

std::vector<std::string> TextFaceNames() {
  std::vector<std::string> names;
  FontMatcher* matcher = SharedGlyphCache().Matcher();
  if (matcher == nullptr) {
    return names;
  }
  for (const std::string& family : matcher->ScalableFamilies()) {
    const std::string bytes = Utf8ToSystem(family);
    if (bytes.size() < FontRecord::kFaceNameSize && SystemToUtf8(bytes) == family) {
      names.push_back(family);
    }
  }
  return names;
}

int TextPixelsPerEm(const FontRecord& record) {
  GlyphCache& cache = SharedGlyphCache();
  cache.Trim();
  const TextFont* font = cache.FontFor(record);
  return font != nullptr ? font->ppem : 0;
}

}  // namespace azuz
