#include "host/player/placements.h"

#include <algorithm>

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

Error invalid(std::string message) { return {ErrorKind::invalid, "", std::move(message)}; }

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

}  // namespace

Result<Placement> parsePlacement(std::string_view text) {
  std::string_view given = trim(text);
  std::optional<PlacementPosition> position;
  if (const auto at = given.find('@'); at != std::string_view::npos) {
    auto parsed = parsePosition(given.substr(at + 1));
    if (auto* error = std::get_if<Error>(&parsed)) {
      return invalid("placement \"" + std::string(text) + "\": " + error->describe());
    }
    position = std::get<PlacementPosition>(parsed);
    given = given.substr(0, at);
  }
  const auto colon = given.rfind(':');
  if (colon == std::string_view::npos || colon == 0 || colon + 1 == given.size()) {
    return invalid("placement \"" + std::string(text) +
                   "\" is not KIND:FAMILY (for example korvel.week.limits:systemMedium)");
  }
  const std::string_view kind = given.substr(0, colon);
  const std::string_view familyText = given.substr(colon + 1);
  const WidgetInfo* widget = findWidget(kind);
  if (!widget) {
    return invalid("no widget \"" + std::string(kind) + "\"; the widgets are " + knownKinds() +
                   " (or their face kinds)");
  }
  const auto family = familyFromText(familyText);
  if (!family) {
    return invalid("no family \"" + std::string(familyText) + "\"; " +
                   std::string(widget->kind) + " offers " + joinFamilies(widget->families));
  }
  if (!widget->offers(*family)) {
    return invalid(std::string(widget->kind) + " does not offer " +
                   std::string(familyName(*family)) + "; it offers " +
                   joinFamilies(widget->families));
  }
  return Placement{widget, *family, position};
}

Result<std::vector<Placement>> parsePlacements(
    const std::vector<std::string>& texts) {
  std::vector<Placement> placements;
  for (const std::string& text : texts) {
    auto parsed = parsePlacement(text);
    if (auto* error = std::get_if<Error>(&parsed)) return std::move(*error);
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

Result<ResolvedPlacements> resolvePlacements(
    const std::vector<std::string>& commandLine, const ConfigFile& config) {
  ResolvedPlacements resolved;
  if (!commandLine.empty()) {
    auto parsed = parsePlacements(commandLine);
    if (auto* error = std::get_if<Error>(&parsed)) {
      return Error{ErrorKind::usage, "--place", error->message};
    }
    resolved.placements = std::get<std::vector<Placement>>(std::move(parsed));
    resolved.source = PlacementSource::commandLine;
    return resolved;
  }
  if (const ConfigValue* place = config.find("placements.place")) {
    if (const auto places = splitList(place->value); !places.empty()) {
      auto parsed = parsePlacements(places);
      if (auto* error = std::get_if<Error>(&parsed)) {
        return Error{ErrorKind::invalid, place->where, error->message};
      }
      resolved.placements = std::get<std::vector<Placement>>(std::move(parsed));
      resolved.source = PlacementSource::configFile;
      return resolved;
    }
  }
  resolved.placements = defaultPlacements();
  resolved.source = PlacementSource::defaults;
  return resolved;
}

}  // namespace korvel::host
