#include "host/player/host_options.h"

#include <memory>

#include "host/platform_lookups.h"
#include "snapshot/loading.h"

namespace korvel::host {

std::variant<HostSettings, HostOptionsError> resolveHostOptions(const HostOptions& options,
                                                                const EnvLookup& env) {
  HostSettings settings;
  const auto mode = appearanceModeFromName(options.appearance);
  if (!mode) {
    return HostOptionsError{"--appearance must be light, dark or auto, not \"" +
                            options.appearance + "\""};
  }
  settings.appearance = *mode;

  std::string warning;
  auto time = resolveTimeOptions(options.time, env, warning);
  if (const auto* error = std::get_if<TimeOptionsError>(&time)) {
    return HostOptionsError{error->message};
  }
  settings.time = std::get<TimeSettings>(time);
  if (!warning.empty()) settings.warnings.push_back(warning);

  settings.configFile = configFilePath(env);
  auto placements = resolvePlacements(options.places, settings.configFile);
  if (const auto* error = std::get_if<ResolveError>(&placements)) {
    return HostOptionsError{error->message, error->exitCode};
  }
  auto& resolved = std::get<ResolvedPlacements>(placements);
  settings.placements = std::move(resolved.placements);
  settings.placementSource = resolved.source;
  for (std::string& w : resolved.warnings) settings.warnings.push_back(std::move(w));

  settings.snapshotFile = options.snapshotPath.empty()
                              ? snapshotFileURL(LinuxPlatformLookups{})
                              : std::filesystem::path(options.snapshotPath);
  return settings;
}

SnapshotLoader reportingLoader(std::filesystem::path file, std::ostream& log, std::string who) {
  // "" while good; the reason after a failure. Starts good so the first failure is told.
  auto last = std::make_shared<std::string>();
  return [file = std::move(file), &log, who = std::move(who), last]() -> std::optional<WeekSnapshot> {
    LoadResult result = loadSnapshotDetailed(file);
    if (auto* error = std::get_if<LoadError>(&result)) {
      const std::string reason = error->describe();
      if (reason != *last) {
        log << who << ": no snapshot (" << reason << "); the widgets show the empty face\n"
            << std::flush;
        *last = reason;
      }
      return std::nullopt;
    }
    if (!last->empty()) {
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
  $XDG_CONFIG_HOME/korvel-widgets/widgets.ini (~/.config/korvel-widgets/widgets.ini when
  XDG_CONFIG_HOME is unset): a key file (INI) with one group and one key, the placements
  separated by semicolons:

      [placements]
      place=korvel.week.limits:systemMedium@top-right+24+24;korvel.week.now:systemSmall

  Lines starting with # are comments.

APPEARANCE
  auto follows the desktop's colour scheme (org.freedesktop.appearance color-scheme, read from
  the settings portal on the session bus, followed live); without a session bus or a portal
  the widgets are light.
)";
}

}  // namespace korvel::host
