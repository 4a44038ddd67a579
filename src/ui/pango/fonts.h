#pragma once
// The fonts the toolkit draws with: the faces the program sets up, asked for by family, then
// the fallback families it names (for symbols), then whatever the system has installed (its
// own font folders and the user's) for scripts none of those covers, so a name in Japanese
// draws in a Japanese font instead of boxes.
#include <array>
#include <string>
#include <vector>

#include <fontconfig/fontconfig.h>

#include "ui/geometry.h"

namespace korvel::ui::fonts {

// Family and numeric weight (400..700) that realise a design and weight.
struct FaceName {
  std::string family;
  int weight = 400;
};

struct FontFolder {
  std::string path;            // added to the configuration when it exists
  std::string fallbackFamily;  // when not empty and the folder exists, appended to every request
};

struct FontSetup {
  // Folders of the program's own faces, beside the standard font folders that are always read.
  std::vector<FontFolder> folders;
  // The face of each design and weight, faces[design][weight] in declaration order. Without a
  // set-up: fontconfig's sans-serif and monospace at the weight asked for.
  std::array<std::array<FaceName, 4>, 3> faces;
};

// Sets the fonts of the process; the configuration is built from it when the first text is
// measured or drawn. False when that has already happened (the set-up then has no effect).
bool setUp(FontSetup setup);

FaceName faceFor(Design design, Weight weight);

// The process's font configuration (built once; never destroyed).
FcConfig* config();

// The font file fontconfig picks for a design and weight (for tests and diagnostics).
std::string resolvedFile(Design design, Weight weight);

}  // namespace korvel::ui::fonts
