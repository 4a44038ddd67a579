#pragma once
// Which widgets the host shows, and in which family: from the command line (`KIND:FAMILY`, the
// kind string or the face kind), else from the configuration file, else every widget in its
// first family.
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
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

// "korvel.week.limits:systemMedium", "limits:medium": the kind string or the face kind, then the
// family by its host name or its short name (small, medium, large). A family the widget does not
// offer is refused with the families it does offer. "@top-right+24+24" after the family gives
// the widget's position on the desktop (see placement_position.h). An error is invalid, with no
// place: the caller knows where the text came from.
Result<Placement> parsePlacement(std::string_view text);

// All of `texts` in order; a placement given twice counts once, where it first appeared.
Result<std::vector<Placement>> parsePlacements(
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

// The command line's placements replace the file's; none anywhere gives the defaults. A bad
// --place is a usage error (where: "--place"), a bad file value invalid (where: "FILE:LINE").
Result<ResolvedPlacements> resolvePlacements(
    const std::vector<std::string>& commandLine, const ConfigFile& config);

}  // namespace korvel::host
