#pragma once
// Texts and symbols of a display list, drawn through the toolkit's own Pango layout so they
// look exactly as they were measured.
#include <cairo.h>

#include "kit/palette.h"
#include "ui/display_list.h"
#include "ui/pango/text_layout.h"

namespace korvel::host {

// Draws a text at op.rect with Pango, laid out from its runs, wrap width and line limit exactly
// as layout measured it; `colours` gives each run's colour (alpha included).
void paintText(cairo_t* cr, const ui::DrawText& op, const ui::pango::ColourFn& colours);

// The same with geometry made safe for Cairo and run colours resolved for the appearance.
void paintText(cairo_t* cr, const ui::DrawText& op, Appearance appearance);

// Draws a symbol's vector art into op.rect in its colour ("clock": a ring and two hands).
// Unknown names draw nothing.
void paintSymbol(cairo_t* cr, const ui::DrawSymbol& op, Appearance appearance);

}  // namespace korvel::host
