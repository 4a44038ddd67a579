// korvel-widgets play: the timeline player, the program's own widget host for desktops that
// show pictures (a bar, a conky, a web page): every placed widget kept current as a PNG.
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "host/cli/commands.h"
#include "host/output_file.h"
#include "host/player/host_options.h"
#include "host/player/player.h"
#include "host/player/poll_clock.h"
#include "host/render/render_widget.h"

namespace korvel::host {

namespace {

struct PlayOptions {
  HostOptions host;
  bool once = false;
  bool noWatch = false;
};

const char* kPlayManual = R"(
DESCRIPTION
  Plays the widgets' timelines the way a desktop's widget host does. It asks for a timeline
  (one for all placed widgets, which show the same snapshot), draws each placed widget's
  current entry to DIR/<face>-<family>-<appearance>.png (the gallery's names, for example
  now-systemSmall-dark.png), the same picture to DIR/<face>-<family>.png (one name whatever
  the appearance, for a bar or a conky), and writes DIR/index.json, which says the appearance
  drawn and lists every placement with its kind string, face, family, appearance, both files,
  size in points, spoken label and deep link.
  At each later entry's date (the moment the data turns stale) it draws again; after the
  timeline's reload date (15 minutes) it asks for a new timeline. It also watches the
  snapshot's folder and asks for a new timeline within a second of the snapshot being
  created, replaced, written or removed; --no-watch keeps to entry and reload dates only.
  Every file is replaced atomically (a temporary file in DIR, then a rename), so a reader
  never sees half a picture; DIR is made again when it was taken away. The player holds a lock
  on DIR while it runs: a second player on the same folder is refused. The snapshot may not
  lie in DIR. When the appearance changes, the widgets are drawn in the new one
  and the old appearance's files are removed. Between these moments the process sleeps.

  A snapshot that is missing or refused draws the empty face, and the player says so once on
  standard error; it recovers by itself when the file is good again. A clock that is set or
  jumps (suspend, manual change) is noticed and what is due is recomputed.

)" R"(SIGNALS
  SIGINT and SIGTERM end the player cleanly: the file being written is finished, no other is
  started, and the exit status is 0. SIGHUP reads the configuration file and the snapshot
  again and draws anew. SIGPIPE is ignored: when standard error goes to a pipe that was
  closed, the lines are lost and the player goes on.

EXIT STATUS
  0  stopped by SIGINT or SIGTERM; with --once, every widget drawn
  1  the output folder cannot be created or written or another player holds it, a
     configuration file is unreadable or has a bad line or value, or (with --once) a file or
     standard output could not be written
  2  usage error: unknown option, an empty -o or --snapshot, a snapshot in the output folder,
     bad --place (the message names the families the widget offers), bad --appearance, --scale
     out of range, unknown --locale or --time-zone

EXAMPLES
  Keep the placed widgets current in ~/.cache/korvel-widgets, in the desktop's appearance
  (what the user service korvel-widgets-player runs):
      korvel-widgets play

  A medium limits widget and a small now widget, dark, drawn once from a given file:
      korvel-widgets play -o out --place korvel.week.limits:systemMedium \
          --place now:small --appearance dark --snapshot examples/week.json --once
)";

int runPlay(const PlayOptions& options) {
  const EnvLookup env = [](const char* key) -> const char* { return std::getenv(key); };
  auto resolved = resolveHostOptions(options.host, env);
  if (const auto code = reportedError("play", resolved)) return *code;
  const HostSettings& host = std::get<HostSettings>(resolved);
  for (const std::string& warning : host.warnings) std::cerr << "play: " << warning << '\n';
  const std::string outputDir = host.outputDir.string();
  if (outputDir.empty()) {
    std::cerr << "play: no output folder: give -o DIR (neither XDG_CACHE_HOME nor HOME is set)\n";
    return 2;
  }
  if (liesIn(host.snapshotFile, outputDir)) {
    std::cerr << "play: the snapshot " << host.snapshotFile.string() << " lies in the output folder "
              << outputDir << ", whose files the player replaces and removes; choose "
              << "another folder\n";
    return 2;
  }
  const Status prepared = prepareOutputDir(outputDir);
  if (const auto code = reportedError("play", prepared)) return *code;
  int lockFd = -1;  // held until the process ends
  const Status locked = lockOutputDir(outputDir, lockFd);
  if (const auto code = reportedError("play", locked)) return *code;

  // The clock takes the stop signals over before the appearance source starts its thread.
  std::unique_ptr<SnapshotWatcher> watcher;
  if (!options.once && !options.noWatch) {
    watcher = watchSnapshot(host.snapshotFile, std::cerr, "play");
  }
  PollClock clock(watcher.get());
  if (clock.error()) return reportError("play", *clock.error(), std::cerr);
  const std::unique_ptr<AppearanceSource> appearance = makeAppearanceSource(host.appearance);
  clock.watchAppearance(appearance.get());

  const WeekProvider provider(reportingLoader(host.snapshotFile, std::cerr, "play"),
                              [&clock] { return clock.now(); });
  PlayerSettings settings;
  settings.placements = host.placements;
  settings.outputDir = outputDir;
  settings.scale = host.scale;
  settings.once = options.once;
  settings.timeFormat = TimeFormat(host.time);
  settings.reloadPlacements = [&options, &env]() -> std::optional<std::vector<Placement>> {
    auto again = resolveHostOptions(options.host, env);
    if (const auto* error = std::get_if<Error>(&again)) {
      std::cerr.clear();
      std::cerr << "play: " << error->describe() << "; the placements stay as they were\n";
      return std::nullopt;
    }
    return std::get<HostSettings>(std::move(again)).placements;
  };
  Player player(std::move(settings), provider, clock, *appearance, std::cerr);
  if (!options.once) {
    std::cerr << "play: " << host.placements.size() << (host.placements.size() == 1 ? " widget" : " widgets")
              << " into " << outputDir << " in " << name(appearance->current())
              << (host.appearance == AppearanceMode::automatic ? " (following the desktop)" : "")
              << "; snapshot " << host.snapshotFile.string()
              << (watcher ? ", watched" : "") << '\n' << std::flush;
  }
  const int code = player.run();
  if (options.once && code == 0) {
    const long drawn = player.stats().filesWritten;
    std::cout << "play: " << drawn << (drawn == 1 ? " widget" : " widgets")
              << " and index.json in " << outputDir << '\n';
    return flushStandardOutput("play");
  }
  return code;
}

}  // namespace

void addPlayCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<PlayOptions>();
  CLI::App* cmd = app.add_subcommand(
      "play", "Keep the placed widgets current as PNG files: play their timelines, redraw at "
              "entry dates, reload after the reload date or when the snapshot changes");
  cmd->add_option("-o,--output", options->host.outputDir,
                  "Folder for the pictures and index.json, created when missing (default: "
                  "output= of the configuration file, else $XDG_CACHE_HOME/korvel-widgets)")
      ->type_name("DIR")
      ->check(kNotEmpty);
  addHostOptions(*cmd, options->host);
  cmd->add_option("--scale", options->host.scale, "Pixels per point (default: scale= of the configuration file, else 2)")->type_name("N");
  cmd->add_flag("--once", options->once, "Draw the current entries once and exit");
  cmd->add_flag("--no-watch", options->noWatch,
                "Do not watch the snapshot: new timelines only after the reload date");
  cmd->footer(std::string(kPlayManual) + "\n" + placementsManual());
  cmd->callback([options, &exitCode] { exitCode = runReporting("play", [&] { return runPlay(*options); }); });
}

}  // namespace korvel::host
