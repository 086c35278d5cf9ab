#pragma once

#include <QImage>
#include <cstdint>
#include <memory>

#include "CORVELIXImageToolDoc.h"
#include "Canvas.h"

namespace azuz {

// The view's off-screen page: the design drawn by the rasterizer's own code on a canvas filled
// with the window background, the selection handles on top. The canvas stays from one paint to
// the next and is remade only when the page size changes.
class PageImage {
 public:
  // Returns false, leaving no image, for a page size the rasterizer refuses (0 or less, absurd).
  // With `printedDots` the page shows the packed image the download sends, black on white,
  // instead of the colours on the window background.
  bool Compose(const CORVELIXImageToolDoc& doc, std::uint32_t background, bool printedDots = false);

  const Canvas* GetCanvas() const { return canvas_.get(); }
  // The canvas memory seen as an image, without a copy; null when there is no canvas.
  const QImage& Image() const { return image_; }

 private:
  std::unique_ptr<Canvas> canvas_;
  QImage image_;
};

}  // namespace azuz
