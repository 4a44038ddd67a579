#pragma once
// The options the player and the desktop window share: what to place, which snapshot, which
// appearance, which locale and zone; and the snapshot loader both use, which says when the
// snapshot becomes unusable and when it is good again.
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/error.h"
#include "faces/time_format.h"
#include "host/time_options.h"
#include "host/player/appearance_source.h"
#include "host/player/placements.h"
#include "widgets/week_provider.h"

namespace korvel::host {

// What the command line gave; empty (or no scale) where it gave nothing, so that the
// configuration file's value or the default applies.
struct HostOptions {
  std::vector<std::string> places;
  std::string snapshotPath;
  std::string appearance;
  std::string outputDir;  // play only
  std::optional<double> scale;  // play only
  TimeOptions time;
};

struct HostSettings {
  std::vector<Placement> placements;
  PlacementSource placementSource = PlacementSource::defaults;
  std::vector<std::filesystem::path> configFiles;  // those read, most important first
  std::filesystem::path snapshotFile;
  std::filesystem::path outputDir;  // $XDG_CACHE_HOME/korvel-widgets by default
  double scale = 2;
  AppearanceMode appearance = AppearanceMode::automatic;
  TimeSettings time;
  std::vector<std::string> warnings;
};

// The command line, else the configuration files (configFilePaths), else the defaults; the
// environment (locale, zone, the XDG folders) is read through `env`. The snapshot defaults to
// the companion's folder. A bad option is a usage error; a bad file is unreadable, malformed or
// invalid, with the file or "FILE:LINE" as its place.
Result<HostSettings> resolveHostOptions(const HostOptions& options, const EnvLookup& env);

// Loads `file` like the provider's own loader; when the outcome changes (first failure, another
// reason, good again) says so on `log`, each line starting with `who`.
SnapshotLoader reportingLoader(std::filesystem::path file, std::ostream& log, std::string who);

// The manual sections shared by play and desktop: placements, the configuration file and the
// appearance.
std::string placementsManual();

}  // namespace korvel::host
