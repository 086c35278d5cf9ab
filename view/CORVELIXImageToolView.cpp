#include "CORVELIXImageToolView.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "DesignViewAccessible.h"
#include "EditGeometry.h"

namespace azuz {

CORVELIXImageToolView::CORVELIXImageToolView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setObjectName(QStringLiteral("designView"));
  InstallDesignViewAccessible();
  setAccessibleName(QStringLiteral("Design"));
  // Cursors follow the handles under the pointer whether or not a button is held.
  setMouseTracking(true);
}

void CORVELIXImageToolView::SetDocument(CORVELIXImageToolDoc* doc) {
  if (document_ != nullptr) {
    document_->RedrawPage = nullptr;
    document_->RedrawAll = nullptr;
  }
  document_ = doc;
  nudgeStep_ = 0;
  pageStale_ = true;
  overlay_.Clear(rect());
  if (document_ != nullptr) {
    document_->RedrawPage = [this] { RedrawPage(); };
    document_->RedrawAll = [this] { RedrawAll(); };
  }
}

std::uint32_t CORVELIXImageToolView::PageBackground() const {
  return palette().color(QPalette::Base).rgb();
}

void CORVELIXImageToolView::UpdateLayout() {
  clientRect_ = {0, 0, width(), height()};
  if (document_ != nullptr) {
    pageRect_ = {kPageOffset, kPageOffset, kPageOffset + std::int64_t{document_->pageWidth},
                 kPageOffset + std::int64_t{document_->pageHeight}};
  }
}

QRect CORVELIXImageToolView::PageClientRect() const {
  if (pageRect_.right <= pageRect_.left || pageRect_.bottom <= pageRect_.top) {
    return {};
  }
  const auto clampToWidget = [](std::int64_t v, int limit) {
    return static_cast<int>(std::clamp<std::int64_t>(v, 0, limit));
  };
  const int left = clampToWidget(pageRect_.left, width());
  const int top = clampToWidget(pageRect_.top, height());
  return {left, top, clampToWidget(pageRect_.right, width()) - left,
          clampToWidget(pageRect_.bottom, height()) - top};
}

void CORVELIXImageToolView::RedrawPage() {
  UpdateLayout();
  pageStale_ = true;
  // Outlines may lie over the rulers and the surround, which a page repaint would leave.
  update(QRegion(PageClientRect()) + overlay_.Clear(rect()));
  AnnounceDescription();
}

void CORVELIXImageToolView::AnnounceDescription() {
  // Page size and selection change only with a redraw request.
  if (QAccessible::isActive()) {
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
  }
}

void CORVELIXImageToolView::RedrawAll() {
  UpdateLayout();
  pageStale_ = true;
  overlay_.Clear(rect());
  update();
  AnnounceDescription();
}

void CORVELIXImageToolView::DrawTrackOutline() {
  if (document_ != nullptr && document_->selectedObject != nullptr) {
    update(overlay_.Toggle(OutlineOf(*document_->selectedObject), rect()));
  }
}

void CORVELIXImageToolView::NudgeSelection(int key) {
  if (document_ == nullptr || document_->selectedObject == nullptr) {
    return;
  }
  int dx = 0;
  int dy = 0;
  switch (key) {
    case Qt::Key_Left:
      dx = -1;
      break;
    case Qt::Key_Right:
      dx = 1;
      break;
    case Qt::Key_Up:
      dy = -1;
      break;
    case Qt::Key_Down:
      dy = 1;
      break;
    default:
      return;
  }
  if (!document_->history.IsOpen(nudgeStep_)) {
    nudgeStep_ = document_->history.BeginStep(*document_, "Move");
  }
  DrawTrackOutline();
  MoveRect(*document_->selectedObject, dx, dy);
  DrawTrackOutline();
}

void CORVELIXImageToolView::EndNudge() {
  if (document_ != nullptr) {
    document_->history.EndStep(*document_, nudgeStep_);
  }
  nudgeStep_ = 0;
}

void CORVELIXImageToolView::SetPrintedDots(bool on) {
  if (on != printedDots_) {
    printedDots_ = on;
    RedrawPage();
  }
}

void CORVELIXImageToolView::UpdateCursor(QPoint client) {
  if (document_ == nullptr) {
    return;
  }
  const int handle =
      HitTestHandle(*document_, {client.x() - kPageOffset, client.y() - kPageOffset});
  switch (SizingOfHandle(handle)) {
    case HandleSizing::NorthWestSouthEast:
      setCursor(Qt::SizeFDiagCursor);
      break;
    case HandleSizing::NorthSouth:
      setCursor(Qt::SizeVerCursor);
      break;
    case HandleSizing::NorthEastSouthWest:
      setCursor(Qt::SizeBDiagCursor);
      break;
    case HandleSizing::WestEast:
      setCursor(Qt::SizeHorCursor);
      break;
    case HandleSizing::None:
      unsetCursor();
      break;
  }
}

void CORVELIXImageToolView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || document_ == nullptr) {
    QWidget::mousePressEvent(event);
    return;
  }
  gesture_.Press(*document_, event->position().toPoint());
  UpdateCursor(event->position().toPoint());
}

void CORVELIXImageToolView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if (document_ != nullptr && gesture_.MoveChanges(*document_, point)) {
    DrawTrackOutline();
    gesture_.Move(*document_, point);
    DrawTrackOutline();
  }
  UpdateCursor(point);
}

void CORVELIXImageToolView::mouseReleaseEvent(QMouseEvent* event) {
  // Qt's implicit grab brings the release here even when the pointer has left the view, so a
  // drag always ends with its button.
  if (event->button() != Qt::LeftButton || document_ == nullptr) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  gesture_.Release(*document_);
  RedrawPage();
  UpdateCursor(event->position().toPoint());
}

void CORVELIXImageToolView::Paint(QPainter& painter, const QRect& region) {
  if (document_ == nullptr) {
    return;
  }
  UpdateLayout();
  // A page repaint leaves the rulers and the surround alone: they are only drawn when some of
  // the region lies outside the page.
  const QRect page(
      static_cast<int>(pageRect_.left), static_cast<int>(pageRect_.top),
      static_cast<int>(std::min<std::int64_t>(pageRect_.right - pageRect_.left, 1 << 24)),
      static_cast<int>(std::min<std::int64_t>(pageRect_.bottom - pageRect_.top, 1 << 24)));
  if (!page.contains(region)) {
    PaintRulersAndSurround(painter, clientRect_, pageRect_);
  }
  const std::uint32_t background = PageBackground();
  const Canvas* canvas = page_.GetCanvas();
  const bool sizeChanged = canvas == nullptr || canvas->Width() != document_->pageWidth ||
                           canvas->Height() != document_->pageHeight;
  if (pageStale_ || sizeChanged || background != composedBackground_) {
    page_.Compose(*document_, background, printedDots_);
    pageStale_ = false;
    composedBackground_ = background;
  }
  if (page_.GetCanvas() != nullptr) {
    painter.drawImage(QPoint(kPageOffset, kPageOffset), page_.Image());
  }
  PaintPageBorder(painter, pageRect_);
}

void CORVELIXImageToolView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  Paint(painter, event->rect());
  overlay_.Paint(painter, event->rect());
  emit Painted();
}

}  // namespace azuz
