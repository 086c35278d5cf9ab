#pragma once

#include "DocumentCommands.h"

namespace azuz {

// Menu and accelerator command ids. Every QAction carries its id (QAction::data) and the frame
// dispatches by id, so tests and the menus reach the same handler.
inline constexpr int ID_FILE_PRINT_SETUP = 57606;
inline constexpr int ID_FILE_PRINT = 57607;
inline constexpr int ID_FILE_PRINT_DIRECT = 57608;
inline constexpr int ID_FILE_PRINT_PREVIEW = 57609;
inline constexpr int ID_FILE_MRU_FILE1 = 57616;  // up to ID_FILE_MRU_FILE1 + 3
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_EDIT_REDO = 57644;
inline constexpr int ID_APP_ABOUT = 57664;

inline constexpr int ID_ADD_BITMAP = 32772;
inline constexpr int ID_ADD_TEXT = 32773;
inline constexpr int ID_ADD_LINE = 32774;
inline constexpr int ID_ADD_RECTANGLE = 32775;
inline constexpr int ID_ADD_ELLIPSE = 32777;
inline constexpr int ID_PAPER_SIZE = 32780;
inline constexpr int ID_VIEW_ATTRIBUTE = 32782;
inline constexpr int ID_MODIFY_OBJECT = 32790;
inline constexpr int ID_DELETE_OBJECT = 32791;
inline constexpr int ID_DELETE_ALL = 32792;
inline constexpr int ID_COMM_SETTINGS = 32793;
inline constexpr int ID_DOWNLOAD_WATERMARK = 32794;
inline constexpr int ID_TEST_PRINT = 32795;
inline constexpr int ID_MOVE_FORWARD = 32797;
inline constexpr int ID_MOVE_BACKWARD = 32798;
inline constexpr int ID_WATERMARK_ON = 32809;
inline constexpr int ID_WATERMARK_OFF = 32810;
inline constexpr int ID_PERMANENT_ON = 32815;
inline constexpr int ID_PERMANENT_OFF = 32816;
inline constexpr int ID_VIEW_PRINTED_DOTS = 32830;

// The status bar's id and its indicator panes.
inline constexpr int AFX_IDW_STATUS_BAR = 59393;
inline constexpr int ID_INDICATOR_CAPS = 0xE701;
inline constexpr int ID_INDICATOR_NUM = 0xE702;
inline constexpr int ID_INDICATOR_SCRL = 0xE703;

}  // namespace azuz
