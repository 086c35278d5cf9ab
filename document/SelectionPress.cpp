#include "SelectionPress.h"

namespace azuz {

namespace {

void ReportSelectedIndex(const CORVELIXImageToolDoc& doc, int index) {
  if (doc.SetSelectedIndex) {
    doc.SetSelectedIndex(index);
  }
}

}  // namespace

PressOutcome SelectByPress(CORVELIXImageToolDoc& doc, DotPoint p) {
  if (doc.objects.empty()) {
    return {};
  }
  int position = 0;
  for (const auto& owned : doc.objects) {
    DrawObject& object = *owned;
    if (object.selectState == 1) {
      const int handle = HitTestHandle(doc, p);
      if (handle != 0) {
        object.selectState = 2;
        return {PressOutcome::Kind::Resize, handle, position};
      }
      object.selectState = 0;
    }
    if (HoldsStrictly(object, p)) {
      if (doc.selectedObject != nullptr) {
        doc.selectedObject->selectState = 0;
      }
      object.selectState = 1;
      doc.selectedObject = &object;
      ReportSelectedIndex(doc, position);
      return {PressOutcome::Kind::Move, 0, position};
    }
    ++position;
  }
  doc.selectedObject = nullptr;
  ReportSelectedIndex(doc, -1);
  return {};
}

}  // namespace azuz
