#include "ui/pango/fonts.h"

#include <atomic>
#include <filesystem>

namespace korvel::ui::fonts {

namespace {

FontSetup defaultSetup() {
  FontSetup setup;
  for (int d = 0; d < 3; ++d)
    for (int w = 0; w < 4; ++w)
      setup.faces[d][w] = {d == static_cast<int>(Design::monospaced) ? "monospace" : "sans-serif", 400 + 100 * w};
  return setup;
}

FontSetup& installed() {
  static FontSetup setup = defaultSetup();
  return setup;
}

std::atomic<bool> built{false};

// The font folders every fontconfig set-up names (Debian's fonts.conf lists the same four).
constexpr const char* kSystemFolders =
    "<dir>/usr/share/fonts</dir>\n<dir>/usr/local/share/fonts</dir>\n"
    "<dir prefix=\"xdg\">fonts</dir>\n<dir>~/.fonts</dir>\n";

FcConfig* build() {
  std::string xml =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n<fontconfig>\n";
  std::string fallbacks;
  for (const auto& f : installed().folders) {
    std::error_code ec;
    if (!std::filesystem::is_directory(f.path, ec)) continue;
    xml += "<dir>" + f.path + "</dir>\n";
    if (!f.fallbackFamily.empty()) fallbacks += "<string>" + f.fallbackFamily + "</string>";
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

bool setUp(FontSetup setup) {
  if (built) return false;
  installed() = std::move(setup);
  return true;
}

FaceName faceFor(Design design, Weight weight) {
  return installed().faces[static_cast<std::size_t>(design)][static_cast<std::size_t>(weight)];
}

FcConfig* config() {
  static FcConfig* cfg = (built = true, build());
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
