#pragma once
// Texts and symbols of a display list, drawn through the toolkit's own Pango layout so they
// look exactly as they were measured.
#include <cairo.h>

#include "kit/palette.h"
#include "ui/display_list.h"

namespace korvel::host {

void paintTextOp(cairo_t* cr, const ui::Op& op, Appearance appearance);
void paintSymbolOp(cairo_t* cr, const ui::Op& op, Appearance appearance);

}  // namespace korvel::host
