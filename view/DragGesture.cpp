#include "DragGesture.h"

#include "EditGeometry.h"
#include "RulerPainter.h"
#include "SelectionPress.h"

namespace azuz {

void DragGesture::Press(CORVELIXImageToolDoc& doc, QPoint client) {
  // The release of the last drag was never seen.
  doc.history.EndStep(doc, step_);
  step_ = 0;
  const PressOutcome outcome =
      SelectByPress(doc, {client.x() - kPageOffset, client.y() - kPageOffset});
  switch (outcome.kind) {
    case PressOutcome::Kind::Resize:
      state_ = State::Resizing;
      activeHandle_ = outcome.handle;
      lastPoint_ = client;
      break;
    case PressOutcome::Kind::Move:
      state_ = State::Moving;
      lastPoint_ = client;
      break;
    case PressOutcome::Kind::None:
      break;
  }
}

bool DragGesture::MoveChanges(const CORVELIXImageToolDoc& doc, QPoint client) const {
  return Dragging() && doc.selectedObject != nullptr && client != lastPoint_;
}

void DragGesture::Move(CORVELIXImageToolDoc& doc, QPoint client) {
  // Reopened when something else closed it meanwhile (an undo, a nudge): no move goes unrecorded.
  if (!doc.history.IsOpen(step_)) {
    step_ = doc.history.BeginStep(doc, state_ == State::Resizing ? "Resize" : "Move");
  }
  DrawObject& object = *doc.selectedObject;
  const int dx = client.x() - lastPoint_.x();
  const int dy = client.y() - lastPoint_.y();
  // The object's selectState decides between the two; the gesture only keeps the handle.
  if (object.selectState == 2) {
    MoveHandleEdges(object, activeHandle_, dx, dy);
  } else {
    MoveRect(object, dx, dy);
  }
  lastPoint_ = client;
}

void DragGesture::Release(CORVELIXImageToolDoc& doc) {
  state_ = State::Idle;
  doc.history.EndStep(doc, step_);
  step_ = 0;
  if (doc.selectedObject != nullptr && doc.selectedObject->selectState == 2) {
    doc.selectedObject->selectState = 1;
  }
}

}  // namespace azuz
