#pragma once
// The eleven colours the widgets draw with. Views name a colour (a ui::Paint carries only the
// name and an opacity); the backend resolves the name for the appearance it draws in, so no view
// ever asks which appearance is active.
#include <array>
#include <string_view>

#include <boost/describe/enum.hpp>

#include "ui/geometry.h"

namespace korvel {

inline const ui::Paint paper{"paper"};
inline const ui::Paint ink{"ink"};
inline const ui::Paint inkSoft{"inkSoft"};
inline const ui::Paint inkFaint{"inkFaint"};
inline const ui::Paint lime{"lime"};
inline const ui::Paint hairline{"hairline"};
inline const ui::Paint green{"green"};
inline const ui::Paint blue{"blue"};
inline const ui::Paint orange{"orange"};
inline const ui::Paint amber{"amber"};
inline const ui::Paint red{"red"};

enum class Appearance { light, dark };
BOOST_DESCRIBE_ENUM(Appearance, light, dark)

// Only a dark match draws the dark values; any other appearance name (high-contrast light,
// unknown, empty) draws the light ones.
Appearance appearanceFromName(std::string_view name);
std::string_view name(Appearance appearance);

// sRGB channels and alpha, each 0...1.
struct Rgba {
  double r = 0, g = 0, b = 0, a = 1;
  bool operator==(const Rgba&) const = default;
};

struct PaletteColor {
  std::string_view name;
  Rgba light;
  Rgba dark;
};

// The eleven colours in the palette's table order.
const std::array<PaletteColor, 11>& paletteColors();

// The named palette colour, or nullptr for a name the palette does not have.
const PaletteColor* findPaletteColor(std::string_view name);

// The colour's value in the appearance it is about to be drawn in.
Rgba colorProvider(const PaletteColor& color, Appearance appearance);

// A paint as it is painted: its colour for the appearance with alpha = the colour's own alpha
// times the paint's opacity (clamped to 0...1; a non-finite opacity paints nothing). A name the
// palette does not know paints as ink, so a typo never shows a garish colour to a user; tests
// catch such names through findPaletteColor.
Rgba resolve(const ui::Paint& paint, Appearance appearance);

}  // namespace korvel
