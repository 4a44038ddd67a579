#pragma once
// The faces the widgets are drawn in, handed to the toolkit's font set-up: Inter for the
// default design, Quicksand for the rounded one, JetBrains Mono for the monospaced one, from
// the Debian packages the program depends on.
#include "ui/pango/fonts.h"
#include "ui/pango/pango_text_measurer.h"

namespace korvel::host {

ui::fonts::FontSetup productFonts();

// Sets the product's fonts up for the process, once, before its first text.
void useProductFonts();

// The process's Pango measurer, with the product's fonts set up.
const ui::PangoTextMeasurer& productTextMeasurer();

}  // namespace korvel::host
