#include "PageImage.h"

#include "DesignRenderer.h"
#include "PrintedDots.h"
#include "SelectionHandles.h"

namespace azuz {

bool PageImage::Compose(const CORVELIXImageToolDoc& doc, std::uint32_t background,
                        bool printedDots) {
  if (!PageSizeAllowed(doc.pageWidth, doc.pageHeight)) {
    canvas_.reset();
    image_ = QImage();
    return false;
  }
  if (!canvas_ || canvas_->Width() != doc.pageWidth || canvas_->Height() != doc.pageHeight) {
    canvas_ = std::make_unique<Canvas>(doc.pageWidth, doc.pageHeight, background);
    image_ = QImage(reinterpret_cast<uchar*>(canvas_->Data()), canvas_->Width(), canvas_->Height(),
                    canvas_->Width() * 4, QImage::Format_RGB32);
  }
  std::optional<WatermarkImage> image;
  if (printedDots) {
    image = RenderWatermarkImage(doc);
  }
  // Without the memory for the printer image the colours are shown, as without the option.
  if (!image || !DrawPrintedDots(*canvas_, *image)) {
    canvas_->Fill(background);
    DrawDesign(*canvas_, doc, doc.fadeLevel);
  }
  if (doc.selectedObject != nullptr) {
    DrawSelectionHandles(*canvas_, *doc.selectedObject);
  }
  return true;
}

}  // namespace azuz
