#include "EditingOperations.h"

#include <utility>

#include "UserPrompts.h"

namespace azuz {

namespace {

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
    doc.DestroyObject(doc.objects[static_cast<std::size_t>(index)].get());
  }
  RefreshDesign(doc);
}

void ClearDesign(CORVELIXImageToolDoc& doc) {
  doc.DeleteAllObjects();
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
      std::swap(doc.objects[static_cast<std::size_t>(selectedIndex)],
                doc.objects[static_cast<std::size_t>(target)]);
      if (doc.SetSelectedIndex) {
        doc.SetSelectedIndex(target);
      }
    }
  }
  RefreshDesign(doc);
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
