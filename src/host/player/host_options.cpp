#include "host/player/host_options.h"

#include <cstdlib>
#include <memory>
#include <sstream>

#include "host/platform_lookups.h"
#include "host/render/render_widget.h"
#include "snapshot/loading.h"

namespace korvel::host {

namespace {

// The default output folder: $XDG_CACHE_HOME/korvel-widgets, else ~/.cache/korvel-widgets.
std::filesystem::path cacheFolder(const EnvLookup& env) {
  if (const char* cache = env("XDG_CACHE_HOME"); cache && *cache == '/') {
    return std::filesystem::path(cache) / "korvel-widgets";
  }
  if (const char* home = env("HOME"); home && *home == '/') {
    return std::filesystem::path(home) / ".cache/korvel-widgets";
  }
  return {};
}

std::string appearanceError(const std::string& name) {
  return "appearance must be light, dark or auto, not \"" + name + "\"";
}

std::string scaleError() {
  std::ostringstream text;
  text << "scale must lie between " << kMinScale << " and " << kMaxScale;
  return text.str();
}

}  // namespace

Result<HostSettings> resolveHostOptions(const HostOptions& options, const EnvLookup& env) {
  HostSettings settings;
  if (!options.appearance.empty() && !appearanceModeFromName(options.appearance)) {
    return Error{ErrorKind::usage, "", "--" + appearanceError(options.appearance)};
  }
  if (options.scale && !(*options.scale >= kMinScale && *options.scale <= kMaxScale)) {
    return Error{ErrorKind::usage, "", "--" + scaleError()};
  }

  std::string warning;
  auto time = resolveTimeOptions(options.time, env, warning);
  if (auto* error = std::get_if<Error>(&time)) return std::move(*error);
  settings.time = std::get<TimeSettings>(time);
  if (!warning.empty()) settings.warnings.push_back(warning);

  auto read = readConfigFiles(configFilePaths(env));
  if (auto* error = std::get_if<Error>(&read)) return std::move(*error);
  ConfigFile& config = std::get<ConfigFile>(read);
  settings.configFiles = config.read;
  for (std::string& w : config.warnings) settings.warnings.push_back(std::move(w));
  auto placements = resolvePlacements(options.places, config);
  if (auto* error = std::get_if<Error>(&placements)) return std::move(*error);
  auto& resolved = std::get<ResolvedPlacements>(placements);
  settings.placements = std::move(resolved.placements);
  settings.placementSource = resolved.source;

  // Each setting from the command line, else the file, else its default.
  const ConfigValue* appearance = config.find("settings.appearance");
  const std::string appearanceName = !options.appearance.empty() ? options.appearance
                                     : appearance                ? appearance->value
                                                                 : "auto";
  const auto mode = appearanceModeFromName(appearanceName);
  if (!mode) return Error{ErrorKind::invalid, appearance->where, appearanceError(appearanceName)};
  settings.appearance = *mode;

  if (options.scale) {
    settings.scale = *options.scale;
  } else if (const ConfigValue* scale = config.find("settings.scale")) {
    char* end = nullptr;
    settings.scale = std::strtod(scale->value.c_str(), &end);
    if (scale->value.empty() || *end ||
        !(settings.scale >= kMinScale && settings.scale <= kMaxScale)) {
      return Error{ErrorKind::invalid, scale->where,
                   scaleError() + ", not \"" + scale->value + "\""};
    }
  }

  const auto path = [&](const std::string& given, const char* key,
                        std::filesystem::path fallback) -> Result<std::filesystem::path> {
    if (!given.empty()) return std::filesystem::path(given);
    const ConfigValue* value = config.find(key);
    if (!value) return fallback;
    std::filesystem::path resolvedPath = configPath(value->value, env);
    if (resolvedPath.empty()) {
      return Error{ErrorKind::invalid, value->where,
                   value->value + " is neither an absolute path nor one starting with ~/"};
    }
    return resolvedPath;
  };
  auto snapshot =
      path(options.snapshotPath, "settings.snapshot", snapshotFileURL(LinuxPlatformLookups{}));
  if (auto* error = std::get_if<Error>(&snapshot)) return std::move(*error);
  settings.snapshotFile = std::get<std::filesystem::path>(std::move(snapshot));
  auto output = path(options.outputDir, "settings.output", cacheFolder(env));
  if (auto* error = std::get_if<Error>(&output)) return std::move(*error);
  settings.outputDir = std::get<std::filesystem::path>(std::move(output));
  return settings;
}

SnapshotLoader reportingLoader(std::filesystem::path file, std::ostream& log, std::string who) {
  // "" while good; the reason after a failure. Starts good so the first failure is told.
  auto last = std::make_shared<std::string>();
  return [file = std::move(file), &log, who = std::move(who), last]() -> std::optional<WeekSnapshot> {
    LoadResult result = loadSnapshotDetailed(file);
    if (auto* error = std::get_if<Error>(&result)) {
      const std::string reason = error->describe();
      if (reason != *last) {
        log.clear();  // a line lost before does not silence this one
        log << who << ": no snapshot (" << reason << "); the widgets show the empty face\n"
            << std::flush;
        *last = reason;
      }
      return std::nullopt;
    }
    if (!last->empty()) {
      log.clear();
      log << who << ": snapshot " << file.string() << " is readable again\n" << std::flush;
      last->clear();
    }
    return std::get<WeekSnapshot>(std::move(result));
  };
}

std::string placementsManual() {
  return R"(PLACEMENTS
  A placement is a widget and a family: KIND:FAMILY. KIND is a widget's kind string
  (korvel.week.autonomy, .outcomes, .receipt, .rhythm, .volume, .limits, .now, .glance) or its
  face kind (autonomy, outcomes, receipt, rhythm, volume, limits, now, week). FAMILY is
  systemSmall, systemMedium or systemLarge (or small, medium, large); it must be one the widget
  offers (see `korvel-widgets catalog`). A placement given twice counts once. Placements on the
  command line replace those of the configuration file; with none anywhere, every widget is
  placed in its first family.

  KIND:FAMILY@ANCHOR+X+Y also says where the widget sits on the desktop (layer surfaces only;
  the pictures and the window ignore it): ANCHOR is top-left, top, top-right, left, center,
  right, bottom-left, bottom or bottom-right, and X and Y are margins in points from the
  anchored edges (+X+Y may be left out: 0 and 0). For example limits:medium@top-right+24+24.

FILES
  The configuration file widgets.ini, looked for in this order (a key set in an earlier file
  wins over the same key in a later one; a missing file is skipped):
    $XDG_CONFIG_HOME/korvel-widgets/widgets.ini   (~/.config/... when XDG_CONFIG_HOME is unset)
    DIR/korvel-widgets/widgets.ini                for each DIR of $XDG_CONFIG_DIRS (/etc/xdg)
  An INI file of [groups] and key=value lines; lines starting with # or ; are comments. A line
  that is none of these is an error that names the file and the line. For example:

      [settings]
      snapshot=~/Sync/korvel/week.json
      output=~/.cache/korvel-widgets
      appearance=dark
      scale=2

      [placements]
      place=korvel.week.limits:systemMedium@top-right+24+24;korvel.week.now:systemSmall

  snapshot    the snapshot file (default: week.json in the companion's folder, below)
  output      play's folder for the pictures (default: $XDG_CACHE_HOME/korvel-widgets, that
              is ~/.cache/korvel-widgets)
  appearance  light, dark or auto (default: auto)
  scale       play's pixels per point, 0.5 to 8 (default: 2)
  place       the placements, separated by semicolons
  Paths are absolute or start with ~/. What the command line gives wins over the files.

  The companion's folder is $KORVEL_GROUP_CONTAINER when set, else $XDG_DATA_HOME/korvel
  (~/.local/share/korvel).

APPEARANCE
  auto follows the desktop's colour scheme (org.freedesktop.appearance color-scheme, read from
  the settings portal on the session bus, followed live); without a session bus or a portal
  the widgets are light.
)";
}

}  // namespace korvel::host
