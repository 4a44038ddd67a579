// The command-line flags of the options the player and the desktop window share.
#include "host/cli/commands.h"

namespace korvel::host {

void addHostOptions(CLI::App& command, HostOptions& options) {
  command.add_option("--place", options.places,
                     "Place a widget: KIND:FAMILY, e.g. korvel.week.limits:systemMedium or "
                     "now:small (repeatable; replaces the configuration file's placements)")
      ->type_name("KIND:FAMILY")
      ->take_all();
  command.add_option("--snapshot", options.snapshotPath,
                     "Snapshot file (default: snapshot= of the configuration file, else "
                     "week.json in the companion's folder)")
      ->type_name("FILE");
  command.add_option("--appearance", options.appearance,
                     "light, dark, or auto: the desktop's colour scheme (default: appearance= "
                     "of the configuration file, else auto)")
      ->type_name("light|dark|auto");
  command.add_option("--locale", options.time.locale, "Locale for dates, e.g. de_DE")
      ->type_name("LOCALE");
  command.add_option("--time-zone", options.time.timeZone,
                     "Time zone for dates, e.g. Europe/Berlin")
      ->type_name("ZONE");
}

}  // namespace korvel::host
