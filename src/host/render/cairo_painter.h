#pragma once
// Draws a display list onto any Cairo context (image, SVG, PDF, window), resolving palette
// names for one appearance. The context's transform maps widget points to device units.
#include <cairo.h>

#include "kit/palette.h"
#include "ui/display_list.h"

namespace korvel::host {

void paintDisplayList(cairo_t* cr, const ui::DisplayList& list, Appearance appearance);

}  // namespace korvel::host
