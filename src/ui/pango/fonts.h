#pragma once
// The fonts the toolkit draws with: the project's faces, asked for by family, then DejaVu and
// Noto Color Emoji for symbols, then whatever the system has installed (its own font folders
// and the user's) for scripts none of those covers, so a name in Japanese draws in a Japanese
// font instead of boxes.
#include <string>

#include <fontconfig/fontconfig.h>

#include "ui/geometry.h"

namespace korvel::ui::fonts {

// Family and numeric weight (400..700) that realise a design and weight. The rounded family
// ships its medium weight as a family of its own and has no semibold (bold stands in).
struct FaceName {
  std::string family;
  int weight;
};
FaceName faceFor(Design design, Weight weight);

// The process's font configuration (built once; never destroyed).
FcConfig* config();

// The font file fontconfig picks for a design and weight (for tests and diagnostics).
std::string resolvedFile(Design design, Weight weight);

}  // namespace korvel::ui::fonts
