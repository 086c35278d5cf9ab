#include "Shapes.h"

#include <algorithm>

#include "ColourPixel.h"
#include "TextRenderer.h"

namespace azuz {

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

}  // namespace azuz
