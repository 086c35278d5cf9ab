#include "DesignRenderer.h"

#include <new>

#include "FadePattern.h"
#include "Shapes.h"

namespace azuz {

namespace {

constexpr std::int64_t kMaxPageSide = 65535;
constexpr std::int64_t kMaxPageDots = 64LL * 1024 * 1024;

}  // namespace

bool PageSizeAllowed(std::int64_t width, std::int64_t height, std::string* why) {
  std::string reason;
  if (width <= 0 || height <= 0) {
    reason = "a page needs at least one dot each way";
  } else if (width > kMaxPageSide || height > kMaxPageSide) {
    reason = "a page side may be at most 65535 dots";
  } else if (width * height > kMaxPageDots) {
    reason = "a page may hold at most 67108864 dots";
  } else {
    return true;
  }
  if (why != nullptr) {
    *why = "page of " + std::to_string(width) + " x " + std::to_string(height) +
           " dots refused: " + reason;
  }
  return false;
}

void DrawDesign(Canvas& canvas, const CORVELIXImageToolDoc& doc, std::int32_t fadeLevel) {
  // Tail to head: the head is drawn last and lies on top.
  for (auto it = doc.objects.rbegin(); it != doc.objects.rend(); ++it) {
    const DrawObject& o = **it;
    DrawObjectShape(canvas, o);
    ApplyFadePattern(canvas, o.left, o.top, o.right, o.bottom, fadeLevel);
  }
}

std::optional<WatermarkImage> RenderWatermarkImage(const CORVELIXImageToolDoc& doc,
                                                   std::string* why, Canvas* canvas) {
  if (!PageSizeAllowed(doc.pageWidth, doc.pageHeight, why)) {
    return std::nullopt;
  }
  try {
    Canvas page(doc.pageWidth, doc.pageHeight, kWhitePixel);
    DrawDesign(page, doc, doc.fadeLevel);
    WatermarkImage image = PackCanvas(page);
    if (canvas != nullptr) {
      *canvas = std::move(page);
    }
    return image;
  } catch (const std::bad_alloc&) {
    if (why != nullptr) {
      *why = "not enough memory to render the page";
    }
    return std::nullopt;
  }
}

}  // namespace azuz
