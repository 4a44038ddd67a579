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

// The font folders every fontconfig set-up names (Debian's fonts.conf lists the same four).
constexpr const char* kSystemFolders =
    "<dir>/usr/share/fonts</dir>\n<dir>/usr/local/share/fonts</dir>\n"
    "<dir prefix=\"xdg\">fonts</dir>\n<dir>~/.fonts</dir>\n";

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
  // Every installed font serves for what ours lack, the user's included. The system's own rules
  // (dozens of files of aliases and rendering defaults, which a widget that names its families
  // and sets its rendering does not use) are not read: parsing them and running them at every
  // match cost a third of the program's start-up and 1.6 MB. The user's own file is.
  xml += kSystemFolders;
  xml += "<include ignore_missing=\"yes\" prefix=\"xdg\">fontconfig/fonts.conf</include>\n";
  // The system cache makes start-up cheap; fontconfig rescans a folder whose cache is stale.
  xml += "<cachedir>/var/cache/fontconfig</cachedir>\n<cachedir prefix=\"xdg\">fontconfig</cachedir>\n";
  if (!fallbacks.empty())
    xml += "<match target=\"pattern\"><edit name=\"family\" mode=\"append_last\">" + fallbacks + "</edit></match>\n";
  xml += "</fontconfig>\n";
  FcConfig* cfg = FcConfigCreate();
  FcConfigParseAndLoadFromMemory(cfg, reinterpret_cast<const FcChar8*>(xml.c_str()), FcTrue);
  FcConfigBuildFonts(cfg);
  // Made the process's current configuration, so that Pango's font map, which initialises
  // fontconfig's default configuration on a thread of its own, finds one and does not load the
  // system's a second time.
  FcConfigSetCurrent(cfg);
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
