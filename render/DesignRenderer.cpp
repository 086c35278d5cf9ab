#include <algorithm>
#include <new>

#include "ColourPixel.h"
#include "FadePattern.h"
#include "Shapes.h"
#include "TextRenderer.h"
#include "WatermarkImage.h"

namespace azuz {

namespace {

constexpr std::int64_t kMaxPageSide = 65535;
constexpr std::int64_t kMaxPageDots = 64LL * 1024 * 1024;

}  // namespace

Box NormalisedBox(const DrawObject& o) {
  return {std::min<std::int64_t>(o.left, o.right), std::min<std::int64_t>(o.top, o.bottom),
          std::max<std::int64_t>(o.left, o.right), std::max<std::int64_t>(o.top, o.bottom)};
}

ShapeStyle StyleOf(const DrawObject& o) {
  ShapeStyle style;
  // The pen keeps the absolute width; 0 draws as 1.
  const std::int64_t width = o.penWidth < 0 ? -std::int64_t{o.penWidth} : o.penWidth;
  style.penWidth = std::max<std::int64_t>(width, 1);
  style.hasPen = o.penColour != kNoColour;
  style.pen = style.hasPen ? CanvasPixel(o.penColour) : 0;
  style.hasFill = o.fillColour != kNoColour;
  style.fill = style.hasFill ? CanvasPixel(o.fillColour) : 0;
  return style;
}

void DrawObjectShape(Canvas& canvas, const DrawObject& o) {
  switch (o.kind) {
    case static_cast<std::int32_t>(ObjectKind::Bitmap):
      DrawPicture(canvas, o.picture.get(), o.left, o.top, o.right, o.bottom);
      break;
    case static_cast<std::int32_t>(ObjectKind::Text):
      if (o.fillColour != kNoColour) {
        FillReversible(canvas, o.left, o.top, o.right, o.bottom, CanvasPixel(o.fillColour));
      }
      DrawTextObject(canvas, o);
      break;
    case static_cast<std::int32_t>(ObjectKind::Line):
      DrawLine(canvas, o.left, o.top, o.right, o.bottom, StyleOf(o));
      break;
    case static_cast<std::int32_t>(ObjectKind::Rectangle):
      DrawRectangle(canvas, NormalisedBox(o), StyleOf(o));
      break;
    case static_cast<std::int32_t>(ObjectKind::Ellipse):
      DrawEllipse(canvas, NormalisedBox(o), StyleOf(o));
      break;
    default:
      break;
  }
}

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
