#pragma once
// The options the player and the desktop window share: what to place, which snapshot, which
// appearance, which locale and zone; and the snapshot loader both use, which says when the
// snapshot becomes unusable and when it is good again.
#include <filesystem>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "faces/time_format.h"
#include "host/cli/time_options.h"
#include "host/player/appearance_source.h"
#include "host/player/placements.h"
#include "widgets/week_provider.h"

namespace korvel::host {

struct HostOptions {
  std::vector<std::string> places;
  std::string snapshotPath;
  std::string appearance = "auto";
  TimeOptions time;
};

struct HostSettings {
  std::vector<Placement> placements;
  PlacementSource placementSource = PlacementSource::defaults;
  std::filesystem::path configFile;
  std::filesystem::path snapshotFile;
  AppearanceMode appearance = AppearanceMode::automatic;
  TimeSettings time;
  std::vector<std::string> warnings;
};

struct HostOptionsError {
  std::string message;
  int exitCode = 2;
};

// Reads the configuration file (placements) and the environment (locale, zone, config folder)
// through `env`; the snapshot defaults to the companion's shared folder.
std::variant<HostSettings, HostOptionsError> resolveHostOptions(const HostOptions& options,
                                                                const EnvLookup& env);

// Loads `file` like the provider's own loader; when the outcome changes (first failure, another
// reason, good again) says so on `log`, each line starting with `who`.
SnapshotLoader reportingLoader(std::filesystem::path file, std::ostream& log, std::string who);

// The manual sections shared by play and desktop: placements, the configuration file and the
// appearance.
std::string placementsManual();

}  // namespace korvel::host
