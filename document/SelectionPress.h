#pragma once

#include "CORVELIXImageToolDoc.h"
#include "EditGeometry.h"

namespace azuz {

// What a left-button press on the page starts.
struct PressOutcome {
  enum class Kind {
    None,    // nothing hit, or an empty design
    Move,    // inside an object, now the selected one
    Resize,  // on a handle of the selected object, now in selectState 2
  };
  Kind kind = Kind::None;
  int handle = 0;     // 1-8 for Resize
  int position = -1;  // list position of the object hit
};

// The press walk: objects from the head (front) to the tail, the selected object's handles
// tried before its inside, so an object in front wins over the handles behind it. Updates each
// selectState and the selected object and reports a new selection through SetSelectedIndex
// (the position, or -1 when the press hit nothing). A press on an empty design changes nothing.
PressOutcome SelectByPress(CORVELIXImageToolDoc& doc, DotPoint p);

}  // namespace azuz
