#pragma once

#include <QPoint>
#include <cstdint>

#include "CORVELIXImageToolDoc.h"

namespace azuz {

// The view's left-button gesture: idle, moving the selected object, or resizing it by one of its
// handles. Points are client coordinates; the view draws the outlines and repaints around it.
class DragGesture {
 public:
  enum class State { Idle, Moving, Resizing };

  State GetState() const { return state_; }
  bool Dragging() const { return state_ != State::Idle; }
  int ActiveHandle() const { return activeHandle_; }
  QPoint LastPoint() const { return lastPoint_; }

  // The press walk (SelectByPress); starts a move or a resize when it hit something. Requests
  // no repaint: the release repaints.
  void Press(CORVELIXImageToolDoc& doc, QPoint client);

  // Whether a mouse move to this point changes the selected object: only while dragging, with a
  // selection, and to a point other than the last one.
  bool MoveChanges(const CORVELIXImageToolDoc& doc, QPoint client) const;
  // Changes the document's object at once: the handle's edges while it is in selectState 2,
  // else the whole rectangle, by the distance from the last point. Call only when MoveChanges.
  void Move(CORVELIXImageToolDoc& doc, QPoint client);

  // Back to idle; a resize leaves its object selected (selectState 1). The drag, however many
  // moves it made, is one step of the history ("Move" or "Resize").
  void Release(CORVELIXImageToolDoc& doc);

 private:
  State state_ = State::Idle;
  // The drag's step of the history, opened by the first move so that a plain click records
  // nothing; 0 before it.
  std::uint64_t step_ = 0;
  int activeHandle_ = 0;
  QPoint lastPoint_;
};

}  // namespace azuz
