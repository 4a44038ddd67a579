#include "ui/pango/fonts.h"

#include <filesystem>

namespace korvel::ui::fonts {

namespace {

struct Folder {
  const char* path;
  const char* fallbackFamily;  // appended to every request when present
};

// The Debian packages the set-up installs: fonts-inter, fonts-jetbrains-mono, fonts-quicksand;
// DejaVu (always present with fontconfig) covers symbols and scripts the others lack. Listed
// in case the system's configuration does not name their folders.
constexpr Folder kFolders[] = {
    {"/usr/share/fonts/opentype/inter", nullptr},
    {"/usr/share/fonts/truetype/jetbrains-mono", nullptr},
    {"/usr/share/fonts/truetype/quicksand", nullptr},
    {"/usr/share/fonts/truetype/dejavu", "DejaVu Sans"},
    {"/usr/share/fonts/truetype/noto", "Noto Color Emoji"},
};

FcConfig* build() {
  std::string xml =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n";
  std::string fallbacks;
  for (const auto& f : kFolders) {
    std::error_code ec;
    if (!std::filesystem::is_directory(f.path, ec)) continue;
    xml += "<dir>" + std::string(f.path) + "</dir>\n";
    if (f.fallbackFamily) fallbacks += "<string>" + std::string(f.fallbackFamily) + "</string>";
  }
  // The system cache makes start-up cheap; fontconfig rescans a folder whose cache is stale.
  xml += "<cachedir>/var/cache/fontconfig</cachedir>\n<cachedir prefix=\"xdg\">fontconfig</cachedir>\n";
  if (!fallbacks.empty())
    xml += "<match target=\"pattern\"><edit name=\"family\" mode=\"append_last\">" + fallbacks + "</edit></match>\n";
  xml += "</fontconfig>\n";
  // The system's configuration first (every font folder it names, the user's included), so
  // its fonts serve for what ours lack; our families are asked for by name and come first.
  FcConfig* cfg = FcInitLoadConfig();
  if (!cfg) cfg = FcConfigCreate();
  FcConfigParseAndLoadFromMemory(cfg, reinterpret_cast<const FcChar8*>(xml.c_str()), FcTrue);
  FcConfigBuildFonts(cfg);
  return cfg;
}

}  // namespace

FaceName faceFor(Design design, Weight weight) {
  const int numeric[] = {400, 500, 600, 700};
  const int w = numeric[static_cast<int>(weight)];
  switch (design) {
    case Design::standard: return {"Inter", w};
    case Design::monospaced: return {"JetBrains Mono", w};
    case Design::rounded:
      switch (weight) {
        case Weight::regular: return {"Quicksand", 400};
        case Weight::medium: return {"Quicksand Medium", 500};
        case Weight::semibold:
        case Weight::bold: return {"Quicksand", 700};
      }
  }
  return {"Inter", w};
}

FcConfig* config() {
  static FcConfig* cfg = build();
  return cfg;
}

std::string resolvedFile(Design design, Weight weight) {
  const FaceName face = faceFor(design, weight);
  FcPattern* pat = FcPatternCreate();
  FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.family.c_str()));
  FcPatternAddInteger(pat, FC_WEIGHT, FcWeightFromOpenType(face.weight));
  FcPatternAddInteger(pat, FC_SLANT, FC_SLANT_ROMAN);
  FcConfigSubstitute(config(), pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result;
  FcPattern* match = FcFontMatch(config(), pat, &result);
  std::string file;
  FcChar8* path = nullptr;
  if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) file = reinterpret_cast<char*>(path);
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pat);
  return file;
}

}  // namespace korvel::ui::fonts
