#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "CORVELIXImageToolDoc.h"

namespace azuz {

inline constexpr const char* kCantFindObjectMessage = "Error : Can't find a object!";
inline constexpr const char* kPictureFileFilter =
    "Image File(*.bmp)|*.bmp|Image File(*.jpg)|*.jpg|Image File(*.gif)|*.gif||";

// What the figure dialog is given and hands back.
struct FigureDialogValues {
  std::int32_t kind = 3;
  bool existing = false;  // a new object: the dialog starts from its own defaults
  Colour penColour = kNoColour;
  Colour fillColour = kNoColour;
  std::int32_t penWidth = 1;
};

// What the text dialog is given and hands back; OK with an empty text counts as Cancel.
struct TextDialogValues {
  bool existing = false;
  std::string text;
  FontRecord font;
  Colour textColour = 0;
  std::int32_t rotation = 0;
  std::int32_t pointSize = 10;
};

// The property dialogs, run modally; each returns true for OK. The designer installs its Qt
// dialogs, tests script the answers.
struct DialogRunners {
  std::function<bool(FigureDialogValues&)> RunFigureDialog;
  std::function<bool(TextDialogValues&)> RunTextDialog;
  std::function<bool(std::int32_t& kind)> RunObjectKindDialog;
};
DialogRunners& Dialogs();

void EditFigure(CORVELIXImageToolDoc& doc, int index, std::int32_t kind);
void EditText(CORVELIXImageToolDoc& doc, int index);
void EditBitmap(CORVELIXImageToolDoc& doc, int index);

void ModifyObjectAt(CORVELIXImageToolDoc& doc, int index);
void DeleteObjectAt(CORVELIXImageToolDoc& doc, int index);
void ClearDesign(CORVELIXImageToolDoc& doc);
void AddObjectOfKind(CORVELIXImageToolDoc& doc, std::int32_t kind);
// Moves the object at `selectedIndex` one place towards the tail (+1) or the head (other values)
// and selects its new position through the SetSelectedIndex hook.
void MoveObject(CORVELIXImageToolDoc& doc, int selectedIndex, int direction);
void RefreshDesign(CORVELIXImageToolDoc& doc);

// The panel's fade controls (on the slider's release) and the paper size dialog's OK; each one
// step of the history, then the page or the whole view redrawn.
void SetFadePattern(CORVELIXImageToolDoc& doc, std::int32_t level, std::int32_t method);
void SetPageSize(CORVELIXImageToolDoc& doc, std::int32_t width, std::int32_t height);

// Edit > Undo and Redo: the design as it was before the newest step, or after the next one,
// with nothing selected, the panel rebuilt and the view redrawn. False when there was none.
bool UndoStep(CORVELIXImageToolDoc& doc);
bool RedoStep(CORVELIXImageToolDoc& doc);

}  // namespace azuz
