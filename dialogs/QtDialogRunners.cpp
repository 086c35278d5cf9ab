#include "QtDialogRunners.h"

#include <QApplication>

#include "CDlg_ObjectLayer.h"
#include "CDlg_Text.h"
#include "CDlg_figure.h"
#include "EditingOperations.h"

namespace azuz {

namespace {

QWidget* Parent() {
  QWidget* modal = QApplication::activeModalWidget();
  return modal != nullptr ? modal : QApplication::activeWindow();
}

bool RunFigure(FigureDialogValues& values) {
  CDlg_figure dialog(Parent());
  dialog.kind = values.kind;
  if (values.existing) {
    dialog.lineColour = values.penColour;
    dialog.fillColour = values.fillColour;
    dialog.lineWidth = values.penWidth;
  }
  if (dialog.exec() != QDialog::Accepted) {
    return false;
  }
  values.penColour = dialog.lineColour;
  values.fillColour = dialog.fillColour;
  values.penWidth = dialog.lineWidth;
  return true;
}

bool RunText(TextDialogValues& values) {
  CDlg_Text dialog(Parent());
  if (values.existing) {
    dialog.text = values.text;
    dialog.textColour = values.textColour;
    dialog.rotation = values.rotation;
    dialog.font = values.font;
  }
  if (dialog.exec() != QDialog::Accepted) {
    return false;
  }
  values.text = dialog.text;
  values.font = dialog.font;
  values.textColour = dialog.textColour;
  values.rotation = dialog.rotation;
  values.pointSize = dialog.pointSize;
  return true;
}

bool RunObjectKind(std::int32_t& kind) {
  CDlg_ObjectLayer dialog(Parent());
  if (dialog.exec() != QDialog::Accepted) {
    return false;
  }
  kind = dialog.kindChoice;
  return true;
}

}  // namespace

void InstallQtDialogRunners() {
  DialogRunners& runners = Dialogs();
  runners.RunFigureDialog = RunFigure;
  runners.RunTextDialog = RunText;
  runners.RunObjectKindDialog = RunObjectKind;
}

}  // namespace azuz
