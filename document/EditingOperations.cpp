#include "EditingOperations.h"

#include <utility>

#include "UserPrompts.h"

namespace azuz {

namespace {

// One step of the history around one operation: recorded at the end of the scope if the
// design changed (a cancelled dialog records nothing).
class RecordedStep {
 public:
  RecordedStep(CORVELIXImageToolDoc& doc, std::string name) : doc_(doc) {
    doc_.history.BeginStep(doc_, std::move(name));
  }
  ~RecordedStep() { doc_.history.EndStep(doc_); }
  RecordedStep(const RecordedStep&) = delete;
  RecordedStep& operator=(const RecordedStep&) = delete;

 private:
  CORVELIXImageToolDoc& doc_;
};

std::string KindWord(std::int32_t kind) {
  const std::string word = ObjectKindName(kind);
  return word.empty() ? "Object" : word;
}

std::string EditStepName(int index, std::int32_t kind) {
  return (index < 0 ? "Add " : "Modify ") + KindWord(kind);
}

DrawObject* ObjectOrMessage(CORVELIXImageToolDoc& doc, int index) {
  DrawObject* object = doc.FindOrCreateObject(index);
  if (object == nullptr) {
    Prompts().Message(kCantFindObjectMessage);
  }
  return object;
}

// After a dialog: a new object is listed at the head on OK and dropped on Cancel.
void Settle(CORVELIXImageToolDoc& doc, DrawObject* object, int index, bool confirmed) {
  if (index >= 0) {
    return;
  }
  if (confirmed) {
    doc.InsertAtHead(object);
  } else {
    doc.DestroyObject(object);
  }
}

}  // namespace

DialogRunners& Dialogs() {
  static DialogRunners runners;
  return runners;
}

void EditFigure(CORVELIXImageToolDoc& doc, int index, std::int32_t kind) {
  DrawObject* object = ObjectOrMessage(doc, index);
  if (object == nullptr) {
    return;
  }
  // A new object is still unlisted: the design copied here is the one before it.
  const RecordedStep step(doc, EditStepName(index, kind));
  FigureDialogValues values;
  values.kind = kind;
  if (index >= 0) {
    values.existing = true;
    values.penColour = object->penColour;
    values.fillColour = object->fillColour;
    values.penWidth = object->penWidth;
  }
  const bool ok = Dialogs().RunFigureDialog && Dialogs().RunFigureDialog(values);
  if (ok) {
    object->kind = kind;
    object->penColour = values.penColour;
    object->fillColour = values.fillColour;
    object->penWidth = values.penWidth;
  }
  Settle(doc, object, index, ok);
}

void EditText(CORVELIXImageToolDoc& doc, int index) {
  DrawObject* object = ObjectOrMessage(doc, index);
  if (object == nullptr) {
    return;
  }
  const RecordedStep step(doc, EditStepName(index, static_cast<std::int32_t>(ObjectKind::Text)));
  TextDialogValues values;
  if (index >= 0) {
    values.existing = true;
    values.text = object->text;
    values.textColour = object->textColour;
    values.rotation = object->rotation;
    values.font = object->font;
  }
  const bool ok =
      Dialogs().RunTextDialog && Dialogs().RunTextDialog(values) && !values.text.empty();
  if (ok) {
    object->SetText(values.text, values.font, values.textColour, values.rotation, values.pointSize);
  }
  Settle(doc, object, index, ok);
}

void EditBitmap(CORVELIXImageToolDoc& doc, int index) {
  const auto& choose = Prompts().ChooseFileToOpen;
  const std::string path = choose ? choose(kPictureFileFilter, "", "") : std::string();
  if (path.empty()) {
    return;
  }
  DrawObject* object = ObjectOrMessage(doc, index);
  if (object == nullptr) {
    return;
  }
  const RecordedStep step(doc, EditStepName(index, static_cast<std::int32_t>(ObjectKind::Bitmap)));
  doc.LoadObjectPicture(*object, path);
  // A new object is listed whether or not its picture loaded.
  Settle(doc, object, index, true);
}

void ModifyObjectAt(CORVELIXImageToolDoc& doc, int index) {
  if (index < 0) {
    return;
  }
  // Past the end nothing is edited, but the panel and page are brought up to date all the same.
  DrawObject* object = doc.FindOrCreateObject(index);
  switch (object != nullptr ? object->kind : -1) {
    case 0:
      EditBitmap(doc, index);
      break;
    case 1:
      EditText(doc, index);
      break;
    case 2:
    case 3:
    case 4:
      EditFigure(doc, index, object->kind);
      break;
    default:
      break;
  }
  RefreshDesign(doc);
}

void DeleteObjectAt(CORVELIXImageToolDoc& doc, int index) {
  doc.selectedObject = nullptr;
  if (index >= 0 && static_cast<std::size_t>(index) < doc.objects.size()) {
    DrawObject* object = doc.objects[static_cast<std::size_t>(index)].get();
    const RecordedStep step(doc, "Delete " + KindWord(object->kind));
    doc.DestroyObject(object);
  }
  RefreshDesign(doc);
}

void ClearDesign(CORVELIXImageToolDoc& doc) {
  {
    const RecordedStep step(doc, "Delete All");
    doc.DeleteAllObjects();
  }
  RefreshDesign(doc);
}

void AddObjectOfKind(CORVELIXImageToolDoc& doc, std::int32_t kind) {
  switch (kind) {
    case 0:
      EditBitmap(doc, -1);
      break;
    case 1:
      EditText(doc, -1);
      break;
    case 2:
    case 3:
    case 4:
      EditFigure(doc, -1, kind);
      break;
    default:
      break;
  }
  RefreshDesign(doc);
}

void MoveObject(CORVELIXImageToolDoc& doc, int selectedIndex, int direction) {
  const auto count = static_cast<int>(doc.objects.size());
  if (selectedIndex >= 0 && selectedIndex < count) {
    const int target = direction == 1 ? selectedIndex + 1 : selectedIndex - 1;
    if (target >= 0 && target < count) {
      const RecordedStep step(doc, direction == 1 ? "Send Backward" : "Bring Forward");
      std::swap(doc.objects[static_cast<std::size_t>(selectedIndex)],
                doc.objects[static_cast<std::size_t>(target)]);
      if (doc.SetSelectedIndex) {
        doc.SetSelectedIndex(target);
      }
    }
  }
  RefreshDesign(doc);
}

void SetFadePattern(CORVELIXImageToolDoc& doc, std::int32_t level, std::int32_t method) {
  {
    const RecordedStep step(doc, level != doc.fadeLevel ? "Fade Level" : "Fade Pattern");
    doc.fadeLevel = level;
    doc.patternMethod = method;
  }
  if (doc.RedrawPage) {
    doc.RedrawPage();
  }
}

void SetPageSize(CORVELIXImageToolDoc& doc, std::int32_t width, std::int32_t height) {
  {
    const RecordedStep step(doc, "Paper Size");
    doc.pageWidth = width;
    doc.pageHeight = height;
  }
  if (doc.RedrawAll) {
    doc.RedrawAll();
  }
}

namespace {

// After a step was taken back or done again: the panel, its fade controls and the whole view
// (the page size may have changed with it).
void RefreshRestoredDesign(CORVELIXImageToolDoc& doc) {
  if (doc.RefreshObjectList) {
    doc.RefreshObjectList();
  }
  if (doc.ShowFadePattern) {
    doc.ShowFadePattern();
  }
  if (doc.RedrawAll) {
    doc.RedrawAll();
  }
}

}  // namespace

bool UndoStep(CORVELIXImageToolDoc& doc) {
  if (!doc.history.Undo(doc)) {
    return false;
  }
  RefreshRestoredDesign(doc);
  return true;
}

bool RedoStep(CORVELIXImageToolDoc& doc) {
  if (!doc.history.Redo(doc)) {
    return false;
  }
  RefreshRestoredDesign(doc);
  return true;
}

void RefreshDesign(CORVELIXImageToolDoc& doc) {
  if (doc.RefreshObjectList) {
    doc.RefreshObjectList();
  }
  if (doc.RedrawPage) {
    doc.RedrawPage();
  }
}

}  // namespace azuz
