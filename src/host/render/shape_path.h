#pragma once
// Builds the Cairo path of a display-list shape.
#include <cairo.h>

#include "ui/geometry.h"

namespace korvel::host {

// Appends the outline of `shape` given `frame` (widget coordinates) as a new sub-path of `cr`.
// Geometry is clamped to a safe range first.
void appendShapePath(cairo_t* cr, const ui::ShapeGeometry& shape, ui::Rect frame);

}  // namespace korvel::host
