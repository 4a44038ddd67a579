#include "kit/palette.h"

#include <algorithm>
#include <cmath>

#include "base/enum_names.h"

namespace korvel {

namespace {

constexpr Rgba rgb(double r, double g, double b) { return Rgba{r, g, b, 1}; }

}  // namespace

const std::array<PaletteColor, 11>& paletteColors() {
  static const std::array<PaletteColor, 11> colors{{
      {"paper", rgb(0.953, 0.965, 0.933), rgb(0.086, 0.161, 0.110)},
      {"ink", rgb(0.082, 0.141, 0.102), rgb(0.949, 0.949, 0.953)},
      {"inkSoft", rgb(0.302, 0.353, 0.314), rgb(0.710, 0.710, 0.733)},
      {"inkFaint", rgb(0.435, 0.478, 0.443), rgb(0.545, 0.545, 0.573)},
      {"lime", rgb(0.298, 0.478, 0.094), rgb(0.780, 0.945, 0.514)},
      {"hairline", Rgba{0, 0, 0, 0.07}, Rgba{1, 1, 1, 0.08}},
      {"green", rgb(0.184, 0.541, 0.333), rgb(0.263, 0.663, 0.427)},
      {"blue", rgb(0.290, 0.455, 0.788), rgb(0.435, 0.573, 0.890)},
      {"orange", rgb(0.722, 0.412, 0.122), rgb(0.776, 0.478, 0.208)},
      {"amber", rgb(0.659, 0.373, 0.071), rgb(0.910, 0.643, 0.365)},
      {"red", rgb(0.761, 0.271, 0.243), rgb(0.937, 0.467, 0.439)},
  }};
  return colors;
}

const PaletteColor* findPaletteColor(std::string_view name) {
  const auto& colors = paletteColors();
  const auto it = std::find_if(colors.begin(), colors.end(),
                               [name](const PaletteColor& c) { return c.name == name; });
  return it == colors.end() ? nullptr : &*it;
}

Appearance appearanceFromName(std::string_view name) {
  return name == "dark" ? Appearance::dark : Appearance::light;
}

std::string_view name(Appearance appearance) { return enumName(appearance); }

Rgba colorProvider(const PaletteColor& color, Appearance appearance) {
  return appearance == Appearance::dark ? color.dark : color.light;
}

Rgba resolve(const ui::Paint& paint, Appearance appearance) {
  const PaletteColor* color = findPaletteColor(paint.color);
  if (color == nullptr) color = findPaletteColor("ink");
  Rgba out = colorProvider(*color, appearance);
  const double opacity = std::isfinite(paint.opacity) ? std::clamp(paint.opacity, 0.0, 1.0) : 0.0;
  out.a *= opacity;
  return out;
}

}  // namespace korvel
