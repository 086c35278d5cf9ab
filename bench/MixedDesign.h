#pragma once

#include <string>

#include "CORVELIXImageToolDoc.h"

namespace azuz::bench {

// `count` objects appended in list order: every third a text, the rest lines, rectangles and
// ellipses with varied pens and fills.
inline void FillMixedDesign(CORVELIXImageToolDoc& doc, int count) {
  for (int i = 0; i < count; ++i) {
    DrawObject* o = doc.FindOrCreateObject(-1);
    if (i % 3 == 0) {
      o->SetText("Receipt " + std::to_string(i), FontRecord{}, 0, i % 4, 10);
    } else {
      o->kind = 2 + i % 3;
      o->left = i % 500;
      o->top = i % 300;
      o->penWidth = 1 + i % 7;
      o->penColour = 0;
      o->fillColour = static_cast<Colour>(i);
    }
    doc.AppendAtTail(o);
  }
}

}  // namespace azuz::bench
