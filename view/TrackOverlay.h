#pragma once

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <cstdint>
#include <vector>

#include "DrawObject.h"

class QPainter;

namespace azuz {

// One tracking outline in client coordinates: a line from (left, top) to (right, bottom), or
// the ellipse or rectangle of that box. Ellipses and rectangles are normalised when drawn.
struct TrackOutline {
  enum class Shape { Line, Ellipse, Rectangle };
  Shape shape = Shape::Rectangle;
  std::int64_t left = 0;
  std::int64_t top = 0;
  std::int64_t right = 0;
  std::int64_t bottom = 0;
  bool operator==(const TrackOutline&) const = default;
};

// The selected object's outline as the view tracks it: shifted by the page offset, a Line as
// its line, an Ellipse as its inscribed ellipse, every other kind as its rectangle.
TrackOutline OutlineOf(const DrawObject& object);

// The dots an outline inverts inside `clip`, each once: a one-dot dotted line, three dots
// inverted and three left along the path, as a dotted pen drawn by exclusive-or shows. A line
// leaves out its end point; an empty box draws nothing.
std::vector<QPoint> OutlineDots(const TrackOutline& outline, const QRect& clip);

// The part of `clip` that the outline's dots can touch.
QRegion OutlineRegion(const TrackOutline& outline, const QRect& clip);

// The outlines drawn by exclusive-or over the last composed page. Qt can draw on a window only
// while it paints, so an outline drawing is recorded here and every paint inverts the recorded
// dots over what it painted. Drawing an outline that is already recorded removes it, as a
// second exclusive-or drawing does on the screen.
class TrackOverlay {
 public:
  // Draws (or, when already there, removes) the outline; returns the client region to repaint.
  QRegion Toggle(const TrackOutline& outline, const QRect& client);
  // Drops every outline; returns the region they covered.
  QRegion Clear(const QRect& client);

  const std::vector<TrackOutline>& Outlines() const { return outlines_; }
  bool Empty() const { return outlines_.empty(); }

  // Inverts the dots of every outline within `clip`. Dots shared by two outlines are inverted
  // twice, so they show what lies below, as on a screen.
  void Paint(QPainter& painter, const QRect& clip) const;

 private:
  std::vector<TrackOutline> outlines_;
};

}  // namespace azuz
