#include "host/render/product_fonts.h"

#include <cstdio>
#include <cstdlib>

namespace korvel::host {

ui::fonts::FontSetup productFonts() {
  ui::fonts::FontSetup setup;
  // fonts-inter, fonts-jetbrains-mono, fonts-quicksand; DejaVu (always present with
  // fontconfig) covers symbols and scripts the others lack.
  setup.folders = {
      {"/usr/share/fonts/opentype/inter", ""},
      {"/usr/share/fonts/truetype/jetbrains-mono", ""},
      {"/usr/share/fonts/truetype/quicksand", ""},
      {"/usr/share/fonts/truetype/dejavu", "DejaVu Sans"},
      {"/usr/share/fonts/truetype/noto", "Noto Color Emoji"},
  };
  // Quicksand ships its medium weight as a family of its own and has no semibold (bold stands in).
  setup.faces = {{
      {{{"Inter", 400}, {"Inter", 500}, {"Inter", 600}, {"Inter", 700}}},
      {{{"Quicksand", 400}, {"Quicksand Medium", 500}, {"Quicksand", 700}, {"Quicksand", 700}}},
      {{{"JetBrains Mono", 400}, {"JetBrains Mono", 500}, {"JetBrains Mono", 600}, {"JetBrains Mono", 700}}},
  }};
  return setup;
}

void useProductFonts() {
  static const bool ready = ui::fonts::setUp(productFonts());
  // Something measured a text before the set-up: every text would draw in the wrong faces.
  if (!ready) {
    std::fputs("korvel-widgets: fonts were set up after the first text\n", stderr);
    std::abort();
  }
}

const ui::PangoTextMeasurer& productTextMeasurer() {
  useProductFonts();
  return ui::PangoTextMeasurer::shared();
}

}  // namespace korvel::host
