#pragma once
// Outlines of the toolkit's shapes as move/line/cubic segments, in the coordinates of the
// frame given, so every backend (raster, vector, hit tests) draws the same curve.
#include <vector>

#include "ui/geometry.h"

namespace korvel::ui {

struct PathSegment {
  enum class Kind { move, line, curve, close };
  Kind kind = Kind::move;
  Point to;      // move, line, curve
  Point c1, c2;  // curve control points
};

// A rounded rectangle; radii in reading order (top-leading, top-trailing, bottom-trailing,
// bottom-leading), each clamped to half the shorter side. Continuous corners follow the
// public approximation of the iOS 7 curve (they reach 1.52866 r along each edge) and become
// circular arcs once the radius reaches half the shorter side.
std::vector<PathSegment> roundedRectOutline(Rect frame, CornerRadii radii, CornerStyle style);

// Any shape of a display-list op: rect, rounded rect, capsule, circle (inscribed, centred),
// or a path of straight lines through `points` (already in widget coordinates).
std::vector<PathSegment> shapeOutline(Rect frame, const ShapeGeometry& shape);

}  // namespace korvel::ui
