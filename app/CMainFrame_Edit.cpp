#include "CDlg_Attribute.h"
#include "CDlg_PaperSize.h"
#include "CMainFrame.h"
#include "CommandIds.h"
#include "EditingOperations.h"

namespace azuz {

namespace {

std::int32_t FigureKindOf(int command) {
  switch (command) {
    case ID_ADD_LINE:
      return static_cast<std::int32_t>(ObjectKind::Line);
    case ID_ADD_ELLIPSE:
      return static_cast<std::int32_t>(ObjectKind::Ellipse);
    default:
      return static_cast<std::int32_t>(ObjectKind::Rectangle);
  }
}

}  // namespace

bool CMainFrame::OnEditCommand(int id) {
  // The list commands act on the panel's selected index; without the panel nothing is selected.
  const int index = panel_ != nullptr ? panel_->SelectedIndex() : -1;
  switch (id) {
    case ID_EDIT_UNDO:
      UndoStep(doc_);
      return true;
    case ID_EDIT_REDO:
      RedoStep(doc_);
      return true;
    case ID_ADD_BITMAP:
      EditBitmap(doc_, -1);
      RefreshDesign(doc_);
      return true;
    case ID_ADD_TEXT:
      EditText(doc_, -1);
      RefreshDesign(doc_);
      return true;
    case ID_ADD_LINE:
    case ID_ADD_RECTANGLE:
    case ID_ADD_ELLIPSE:
      EditFigure(doc_, -1, FigureKindOf(id));
      RefreshDesign(doc_);
      return true;
    case ID_MODIFY_OBJECT:
      if (index >= 0) {
        ModifyObjectAt(doc_, index);
      }
      return true;
    case ID_PAPER_SIZE:
      OnPaperSize();
      return true;
    case ID_DELETE_OBJECT:
      if (index >= 0) {
        DeleteObjectAt(doc_, index);
      }
      return true;
    case ID_DELETE_ALL:
      ClearDesign(doc_);
      return true;
    case ID_MOVE_FORWARD:
    case ID_MOVE_BACKWARD:
      if (index >= 0) {
        MoveObject(doc_, index, id == ID_MOVE_FORWARD ? -1 : +1);
      }
      return true;
    default:
      return false;
  }
}

void CMainFrame::OnPaperSize() {
  CDlg_PaperSize dialog(this);
  dialog.pageHeight = doc_.pageHeight;
  dialog.pageWidth = doc_.pageWidth;
  if (dialog.exec() != QDialog::Accepted) {
    return;
  }
  SetPageSize(doc_, dialog.pageWidth, dialog.pageHeight);
}

}  // namespace azuz
