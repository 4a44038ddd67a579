#include "host/player/placements.h"

#include <glib.h>

#include <algorithm>
#include <memory>

namespace korvel::host {

namespace {

std::optional<WidgetFamily> familyFromText(std::string_view text) {
  if (auto family = widgetFamilyFromName(text)) return family;
  if (text == "small") return WidgetFamily::systemSmall;
  if (text == "medium") return WidgetFamily::systemMedium;
  if (text == "large") return WidgetFamily::systemLarge;
  return std::nullopt;
}

std::string joinFamilies(const std::vector<WidgetFamily>& families) {
  std::string out;
  for (const WidgetFamily family : families) {
    if (!out.empty()) out += ", ";
    out += familyName(family);
  }
  return out;
}

std::string knownKinds() {
  std::string out;
  for (const WidgetInfo& widget : widgetCatalog()) {
    if (!out.empty()) out += ", ";
    out += widget.kind;
  }
  return out;
}

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

struct KeyFileDeleter {
  void operator()(GKeyFile* file) const { g_key_file_free(file); }
};

}  // namespace

std::variant<Placement, PlacementError> parsePlacement(std::string_view text) {
  std::string_view given = trim(text);
  std::optional<PlacementPosition> position;
  if (const auto at = given.find('@'); at != std::string_view::npos) {
    auto parsed = parsePosition(given.substr(at + 1));
    if (auto* error = std::get_if<std::string>(&parsed)) {
      return PlacementError{"placement \"" + std::string(text) + "\": " + *error};
    }
    position = std::get<PlacementPosition>(parsed);
    given = given.substr(0, at);
  }
  const auto colon = given.rfind(':');
  if (colon == std::string_view::npos || colon == 0 || colon + 1 == given.size()) {
    return PlacementError{"placement \"" + std::string(text) +
                          "\" is not KIND:FAMILY (for example korvel.week.limits:systemMedium)"};
  }
  const std::string_view kind = given.substr(0, colon);
  const std::string_view familyText = given.substr(colon + 1);
  const WidgetInfo* widget = findWidget(kind);
  if (!widget) {
    return PlacementError{"no widget \"" + std::string(kind) + "\"; the widgets are " +
                          knownKinds() + " (or their face kinds)"};
  }
  const auto family = familyFromText(familyText);
  if (!family) {
    return PlacementError{"no family \"" + std::string(familyText) + "\"; " +
                          std::string(widget->kind) + " offers " +
                          joinFamilies(widget->families)};
  }
  if (!widget->offers(*family)) {
    return PlacementError{std::string(widget->kind) + " does not offer " +
                          std::string(familyName(*family)) + "; it offers " +
                          joinFamilies(widget->families)};
  }
  return Placement{widget, *family, position};
}

std::variant<std::vector<Placement>, PlacementError> parsePlacements(
    const std::vector<std::string>& texts) {
  std::vector<Placement> placements;
  for (const std::string& text : texts) {
    auto parsed = parsePlacement(text);
    if (auto* error = std::get_if<PlacementError>(&parsed)) return std::move(*error);
    const Placement placement = std::get<Placement>(parsed);
    if (std::find(placements.begin(), placements.end(), placement) == placements.end()) {
      placements.push_back(placement);
    }
  }
  return placements;
}

std::vector<Placement> defaultPlacements() {
  std::vector<Placement> placements;
  for (const WidgetInfo& widget : widgetCatalog()) {
    placements.push_back(Placement{&widget, widget.families.front()});
  }
  return placements;
}

std::string placementText(const Placement& placement) {
  std::string text = std::string(placement.widget->kind) + ":" + std::string(familyName(placement.family));
  if (placement.position) text += "@" + positionText(*placement.position);
  return text;
}

std::filesystem::path configFilePath(const EnvLookup& env) {
  std::filesystem::path base;
  if (const char* xdg = env("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = env("HOME"); home && *home) {
    base = std::filesystem::path(home) / ".config";
  } else {
    return {};
  }
  return base / "korvel-widgets" / "widgets.ini";
}

ConfigPlacements readConfigPlacements(const std::filesystem::path& file) {
  ConfigPlacements result;
  if (file.empty()) return result;
  std::unique_ptr<GKeyFile, KeyFileDeleter> keys(g_key_file_new());
  GError* error = nullptr;
  if (!g_key_file_load_from_file(keys.get(), file.c_str(), G_KEY_FILE_NONE, &error)) {
    const bool missing = error->domain == G_FILE_ERROR && error->code == G_FILE_ERROR_NOENT;
    if (!missing) result.error = file.string() + ": " + error->message;
    g_error_free(error);
    return result;
  }
  result.found = true;

  gsize groupCount = 0;
  gchar** groups = g_key_file_get_groups(keys.get(), &groupCount);
  for (gsize i = 0; i < groupCount; ++i) {
    if (std::string_view(groups[i]) != "placements") {
      result.warnings.push_back(file.string() + ": ignoring the unknown group [" +
                                std::string(groups[i]) + "]");
    }
  }
  g_strfreev(groups);

  gsize keyCount = 0;
  gchar** names = g_key_file_get_keys(keys.get(), "placements", &keyCount, nullptr);
  for (gsize i = 0; names && i < keyCount; ++i) {
    if (std::string_view(names[i]) != "place") {
      result.warnings.push_back(file.string() + ": ignoring the unknown key " +
                                std::string(names[i]) + " in [placements]");
    }
  }
  g_strfreev(names);

  gsize count = 0;
  gchar** list = g_key_file_get_string_list(keys.get(), "placements", "place", &count, &error);
  if (!list) {
    // No group or no key lists nothing; anything else (bad escapes) is the file's fault.
    const bool absent = error && error->domain == G_KEY_FILE_ERROR &&
                        (error->code == G_KEY_FILE_ERROR_GROUP_NOT_FOUND ||
                         error->code == G_KEY_FILE_ERROR_KEY_NOT_FOUND);
    if (error && !absent) result.error = file.string() + ": " + error->message;
    if (error) g_error_free(error);
    return result;
  }
  for (gsize i = 0; i < count; ++i) {
    const std::string_view item = trim(list[i]);
    if (!item.empty()) result.places.emplace_back(item);
  }
  g_strfreev(list);
  return result;
}

std::variant<ResolvedPlacements, ResolveError> resolvePlacements(
    const std::vector<std::string>& commandLine, const std::filesystem::path& configFile) {
  ResolvedPlacements resolved;
  if (!commandLine.empty()) {
    auto parsed = parsePlacements(commandLine);
    if (auto* error = std::get_if<PlacementError>(&parsed)) {
      return ResolveError{"--place: " + error->message, 2};
    }
    resolved.placements = std::get<std::vector<Placement>>(std::move(parsed));
    resolved.source = PlacementSource::commandLine;
    return resolved;
  }
  ConfigPlacements config = readConfigPlacements(configFile);
  if (!config.error.empty()) return ResolveError{config.error, 1};
  resolved.warnings = std::move(config.warnings);
  if (!config.places.empty()) {
    auto parsed = parsePlacements(config.places);
    if (auto* error = std::get_if<PlacementError>(&parsed)) {
      return ResolveError{configFile.string() + ": " + error->message, 1};
    }
    resolved.placements = std::get<std::vector<Placement>>(std::move(parsed));
    resolved.source = PlacementSource::configFile;
    return resolved;
  }
  resolved.placements = defaultPlacements();
  resolved.source = PlacementSource::defaults;
  return resolved;
}

}  // namespace korvel::host
