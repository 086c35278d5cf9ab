#pragma once

#include <QWidget>
#include <cstdint>

#include "CORVELIXImageToolDoc.h"
#include "PageImage.h"
#include "RulerPainter.h"

namespace azuz {

// The design view: the page at one screen pixel per dot, 18 pixels in from the top-left
// corner, with rulers along the top and left edges. No zoom, no scrolling.
class CORVELIXImageToolView : public QWidget {
  Q_OBJECT

 public:
  explicit CORVELIXImageToolView(QWidget* parent = nullptr);

  // Attaches the document and takes over its RedrawPage and RedrawAll hooks (null detaches).
  void SetDocument(CORVELIXImageToolDoc* doc);
  CORVELIXImageToolDoc* GetDocument() const { return document_; }

  void UpdateLayout();
  // Repaint requests; neither erases, since every pixel of the client area gets painted.
  void RedrawPage();
  void RedrawAll();
  void OnInitialUpdate() { RedrawAll(); }

  const ViewRect& PageRect() const { return pageRect_; }
  // The page as composed by the last paint (null before it, or for a refused page size).
  const Canvas* PageCanvas() const { return page_.GetCanvas(); }
  // The colour the page is composed on: the system's window background.
  std::uint32_t PageBackground() const;

  // The whole drawing of the client rectangle; also used for printing, on the printer's surface.
  void Paint(QPainter& painter, const QRect& region);

  void OnFilePrint();
  void OnFilePrintDirect();
  void OnFilePrintPreview();

 signals:
  void Painted();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CORVELIXImageToolDoc* document_ = nullptr;
  ViewRect clientRect_;
  ViewRect pageRect_;
  PageImage page_;
};

}  // namespace azuz
