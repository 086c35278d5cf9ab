#include "PageImage.h"

#include "DesignRenderer.h"
#include "SelectionHandles.h"

namespace azuz {

bool PageImage::Compose(const CORVELIXImageToolDoc& doc, std::uint32_t background) {
  if (!PageSizeAllowed(doc.pageWidth, doc.pageHeight)) {
    canvas_.reset();
    image_ = QImage();
    return false;
  }
  if (!canvas_ || canvas_->Width() != doc.pageWidth || canvas_->Height() != doc.pageHeight) {
    canvas_ = std::make_unique<Canvas>(doc.pageWidth, doc.pageHeight, background);
    image_ = QImage(reinterpret_cast<uchar*>(canvas_->Data()), canvas_->Width(), canvas_->Height(),
                    canvas_->Width() * 4, QImage::Format_RGB32);
  } else {
    canvas_->Fill(background);
  }
  DrawDesign(*canvas_, doc, doc.fadeLevel);
  if (doc.selectedObject != nullptr) {
    DrawSelectionHandles(*canvas_, *doc.selectedObject);
  }
  return true;
}

}  // namespace azuz
