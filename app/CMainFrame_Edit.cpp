#include "CDlg_Attribute.h"
#include "CMainFrame.h"
#include "CommandIds.h"
#include "EditingOperations.h"

namespace azuz {

bool CMainFrame::OnEditCommand(int id) {
  // The list commands act on the panel's selected index; without the panel nothing is selected.
  const int index = panel_ != nullptr ? panel_->SelectedIndex() : -1;
  switch (id) {
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

}  // namespace azuz
