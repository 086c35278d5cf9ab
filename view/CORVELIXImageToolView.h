#pragma once

#include <QWidget>
#include <cstdint>

#include "CORVELIXImageToolDoc.h"
#include "DragGesture.h"
#include "PageImage.h"
#include "RulerPainter.h"
#include "TrackOverlay.h"

namespace azuz {

// The design view: the page at one screen pixel per dot, 18 pixels in from the top-left
// corner, with rulers along the top and left edges. No zoom, no scrolling. Objects are selected,
// moved and resized with the left button and nudged with the arrow keys (through the frame).
class CORVELIXImageToolView : public QWidget {
  Q_OBJECT

 public:
  explicit CORVELIXImageToolView(QWidget* parent = nullptr);

  // Attaches the document and takes over its RedrawPage and RedrawAll hooks (null detaches).
  void SetDocument(CORVELIXImageToolDoc* doc);
  CORVELIXImageToolDoc* GetDocument() const { return document_; }

  void UpdateLayout();
  // Repaint requests; neither erases, since every pixel of the client area gets painted. Both
  // recompose the page and remove every tracking outline, RedrawPage also where outlines lay
  // beyond the page.
  void RedrawPage();
  void RedrawAll();
  void OnInitialUpdate() { RedrawAll(); }

  // Shifts the selected object one dot for an arrow key (Qt::Key_Left ... Qt::Key_Down), with
  // its outline tracked; other keys and no selection do nothing.
  void NudgeSelection(int key);
  // Draws the selected object's outline by exclusive-or; a second call removes it.
  void DrawTrackOutline();

  // View > Printed Dots: the page shows the dots the printer will print (the packed image the
  // download sends) instead of the design's colours; handles and editing stay the same.
  void SetPrintedDots(bool on);
  bool PrintedDots() const { return printedDots_; }

  // The run of arrow-key nudges ends with the key's real release: one step of the history.
  void EndNudge();

  const ViewRect& PageRect() const { return pageRect_; }
  // The page as composed by the last paint (null before it, or for a refused page size).
  const Canvas* PageCanvas() const { return page_.GetCanvas(); }
  // The colour the page is composed on: the system's window background.
  std::uint32_t PageBackground() const;
  const DragGesture& Gesture() const { return gesture_; }
  const TrackOverlay& Overlay() const { return overlay_; }

  // The whole drawing of the client rectangle; also used for printing, on the printer's surface.
  // Tracking outlines are not part of it.
  void Paint(QPainter& painter, const QRect& region);

  void OnFilePrint();
  void OnFilePrintDirect();
  void OnFilePrintPreview();

 signals:
  void Painted();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  CORVELIXImageToolDoc* document_ = nullptr;
  ViewRect clientRect_;
  ViewRect pageRect_;
  PageImage page_;
  // The composed page stays valid until a redraw request: a drag changes the document's object
  // at every move but shows only outlines until the release repaints.
  bool pageStale_ = true;
  std::uint32_t composedBackground_ = 0;
  bool printedDots_ = false;
  std::uint64_t nudgeStep_ = 0;  // the step of the arrow-key run under way, 0 for none
  DragGesture gesture_;
  TrackOverlay overlay_;

  QRect PageClientRect() const;
  // Tells accessibility clients that the view's description may have changed.
  void AnnounceDescription();
  // The sizing cursor over a handle of the selected object, the arrow elsewhere.
  void UpdateCursor(QPoint client);
};

}  // namespace azuz
