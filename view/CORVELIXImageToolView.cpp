#include "CORVELIXImageToolView.h"

#include <QPaintEvent>
#include <QPainter>

namespace azuz {

CORVELIXImageToolView::CORVELIXImageToolView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setObjectName(QStringLiteral("designView"));
}

void CORVELIXImageToolView::SetDocument(CORVELIXImageToolDoc* doc) {
  if (document_ != nullptr) {
    document_->RedrawPage = nullptr;
    document_->RedrawAll = nullptr;
  }
  document_ = doc;
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

void CORVELIXImageToolView::RedrawPage() {
  UpdateLayout();
  if (pageRect_.right > pageRect_.left && pageRect_.bottom > pageRect_.top) {
    const auto clampToWidget = [](std::int64_t v, int limit) {
      return static_cast<int>(std::clamp<std::int64_t>(v, 0, limit));
    };
    const int left = clampToWidget(pageRect_.left, width());
    const int top = clampToWidget(pageRect_.top, height());
    update(QRect(left, top, clampToWidget(pageRect_.right, width()) - left,
                 clampToWidget(pageRect_.bottom, height()) - top));
  }
}

void CORVELIXImageToolView::RedrawAll() {
  UpdateLayout();
  update();
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
  if (page_.Compose(*document_, PageBackground())) {
    painter.drawImage(QPoint(kPageOffset, kPageOffset), page_.Image());
  }
  PaintPageBorder(painter, pageRect_);
}

void CORVELIXImageToolView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  Paint(painter, event->rect());
  emit Painted();
}

}  // namespace azuz
