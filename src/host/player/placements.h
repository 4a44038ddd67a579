#pragma once
// Which widgets the host shows, and in which family: from the command line (`KIND:FAMILY`, the
// kind string or the face kind), else from the configuration file, else every widget in its
// first family.
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "host/player/config_file.h"
#include "host/player/placement_position.h"
#include "widgets/catalog.h"

namespace korvel::host {

struct Placement {
  const WidgetInfo* widget = nullptr;  // an entry of widgetCatalog()
  WidgetFamily family = WidgetFamily::systemSmall;
  std::optional<PlacementPosition> position;  // where on the desktop, when given

  WeekFaceKind face() const { return widget->faceKind; }
  bool operator==(const Placement&) const = default;
};

struct PlacementError {
  std::string message;
};

// "korvel.week.limits:systemMedium", "limits:medium": the kind string or the face kind, then the
// family by its host name or its short name (small, medium, large). A family the widget does not
// offer is refused with the families it does offer. "@top-right+24+24" after the family gives
// the widget's position on the desktop (see placement_position.h).
std::variant<Placement, PlacementError> parsePlacement(std::string_view text);

// All of `texts` in order; a placement given twice counts once, where it first appeared.
std::variant<std::vector<Placement>, PlacementError> parsePlacements(
    const std::vector<std::string>& texts);

// Every widget in its first family, in bundle order.
std::vector<Placement> defaultPlacements();

// "korvel.week.limits:systemMedium", with "@top-right+24+24" when positioned.
std::string placementText(const Placement& placement);

// Where the placements came from, for messages.
enum class PlacementSource { commandLine, configFile, defaults };

struct ResolvedPlacements {
  std::vector<Placement> placements;
  PlacementSource source = PlacementSource::defaults;
};

struct ResolveError {
  std::string message;
  int exitCode = 2;  // 2: a bad --place; 1: a bad configuration file
};

// The command line's placements replace the file's; none anywhere gives the defaults.
std::variant<ResolvedPlacements, ResolveError> resolvePlacements(
    const std::vector<std::string>& commandLine, const ConfigFile& config);

}  // namespace korvel::host
