#include "ViewPrinting.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "CORVELIXImageToolView.h"
#include "UserPrompts.h"

namespace azuz {

namespace {

constexpr const char* kNoPrinterMessage = "The printer could not be started.";

}  // namespace

QPrinter& SharedPrinter() {
  // Never destroyed: a printer torn down after the application object would reach into a
  // print system that is already gone.
  static QPrinter* printer = new QPrinter(QPrinter::ScreenResolution);
  return *printer;
}

void RunPrintSetup(CORVELIXImageToolView& view) {
  QPrintDialog dialog(&SharedPrinter(), &view);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  dialog.setWindowTitle(QStringLiteral("Print Setup"));
  dialog.exec();
}

bool PrintView(CORVELIXImageToolView& view, QPrinter& printer) {
  QPainter painter;
  if (!painter.begin(&printer)) {
    return false;
  }
  // The page goes to the printer as it is, dot for dot: the PDF a print job becomes would
  // otherwise hold it as a JPEG, smearing every edge of a one-bit watermark.
  painter.setRenderHint(QPainter::LosslessImageRendering);
  // One page dot per screen pixel on screen; on paper the same physical size as on screen.
  const qreal scale = static_cast<qreal>(printer.resolution()) / view.logicalDpiX();
  painter.scale(scale, scale);
  view.Paint(painter, view.rect());
  return painter.end();
}

void CORVELIXImageToolView::OnFilePrint() {
  QPrintDialog dialog(&SharedPrinter(), this);
  if (dialog.exec() == QDialog::Accepted && !PrintView(*this, SharedPrinter())) {
    Prompts().Message(kNoPrinterMessage);
  }
}

void CORVELIXImageToolView::OnFilePrintDirect() {
  if (!PrintView(*this, SharedPrinter())) {
    Prompts().Message(kNoPrinterMessage);
  }
}

void CORVELIXImageToolView::OnFilePrintPreview() {
  QPrintPreviewDialog preview(&SharedPrinter(), this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* printer) { PrintView(*this, *printer); });
  preview.exec();
}

}  // namespace azuz
