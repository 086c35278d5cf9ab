#pragma once

#include <QString>

namespace azuz {

// A control is known by its id: its object name is "id" and the number ("id1011"), so tests and
// accessibility tools find it as the dialog template numbered it. Numbers are per dialog; the
// same number names another control in another dialog.
inline QString ControlName(int id) {
  return QStringLiteral("id%1").arg(id);
}

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// The attribute panel (CDlg_Attribute).
inline constexpr int IDC_PATTERN_METHOD = 1002;
inline constexpr int IDC_FADE_LEVEL = 1005;
inline constexpr int IDC_DELETE_OBJECT = 1009;
inline constexpr int IDC_ADD_OBJECT = 1010;
inline constexpr int IDC_OBJECT_LIST = 1011;
inline constexpr int IDC_MODIFY_OBJECT = 1012;
inline constexpr int IDC_DELETE_ALL = 1013;
inline constexpr int IDC_SELECTED_INDEX = 1019;
inline constexpr int IDC_MOVE_FORWARD = 1026;
inline constexpr int IDC_MOVE_BACKWARD = 1027;

// The figure dialog (CDlg_figure).
inline constexpr int IDC_LINE_COLOUR = 1009;
inline constexpr int IDC_FILL_COLOUR = 1010;
inline constexpr int IDC_LINE_SWATCH = 1015;
inline constexpr int IDC_FILL_SWATCH = 1016;
inline constexpr int IDC_LINE_WIDTH = 1017;
inline constexpr int IDC_FIGURE_PREVIEW = 1018;

// The text dialog (CDlg_Text).
inline constexpr int IDC_TEXT = 1008;
inline constexpr int IDC_CHOOSE_FONT = 1009;
inline constexpr int IDC_TEXT_PREVIEW = 1012;
inline constexpr int IDC_ROTATION = 1013;

// The object kind dialog (CDlg_ObjectLayer): one radio button per kind from IDC_KIND_FIRST on.
inline constexpr int IDC_KIND_CANCEL = 1009;
inline constexpr int IDC_KIND_ACCEPT = 1010;
inline constexpr int IDC_KIND_FIRST = 1014;

// The paper size dialog (CDlg_PaperSize).
inline constexpr int IDC_PAGE_HEIGHT = 1000;
inline constexpr int IDC_PAGE_WIDTH = 1001;

// The communication settings dialog (CDlg_CommSet) uses the ids of its form, in CommSetForm.h.

// The transfer window (CDlg_Port).
inline constexpr int IDC_TRANSFER_BUTTON = 1009;
inline constexpr int IDC_TRANSFER_PROGRESS = 1027;

}  // namespace azuz
