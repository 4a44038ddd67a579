// korvel-widgets desktop: the placed widgets in a window of their own. The window itself needs
// GTK 4 and is handed in by the program (see main.cpp); this is its command line.
#include <cstdlib>
#include <iostream>
#include <memory>

#include "host/cli/commands.h"

namespace korvel::host {

namespace {

struct DesktopOptions {
  HostOptions host;
  bool noWatch = false;
  std::string screenshot;
};

const char* kDesktopManual = R"(
DESCRIPTION
  Opens a window with the placed widgets side by side at their point sizes (small 170 x 170,
  medium 364 x 170, large 364 x 382), each in its rounded container, drawn with Cairo from
  the same display lists as the gallery and the player. The window follows the desktop's
  appearance live (with --appearance auto). It keeps the widgets current by the player's
  rules: each entry from its date on, a new timeline after the reload date, and within a
  second of the snapshot changing (unless --no-watch). A click on a widget (or Enter or Space
  on the focused widget) opens its deep link, such as korvel://week/limits, with the desktop's
  handler for korvel: links; where none is installed, one line on standard error says so.
  Each widget is one accessible element, a link named by the widget's spoken label.

  The widgets sit 20 points apart and 20 points from the window's edges, on a background that
  follows the appearance (a shade darker than the widgets' own, light or dark).

  With --screenshot the window shows its first frame, saves its whole content (margins and
  background included) as a PNG, prints one line per widget (file name, position in the
  picture, size in points, spoken label, deep link, separated by tabs) and exits.

)" R"(EXIT STATUS
  0  the window was closed, or the process stopped by SIGINT or SIGTERM
  1  no display could be opened, a configuration file is unreadable or has a bad line or
     value, or the screenshot could not be saved
  2  usage error: unknown option, bad --place (the message names the families the widget
     offers), bad --appearance, unknown --locale or --time-zone

EXAMPLES
  Every widget in its first family, following the desktop's colour scheme:
      korvel-widgets desktop

  Limits and working now, dark, from the sample snapshot:
      korvel-widgets desktop --place limits:medium --place now:small --appearance dark \
          --snapshot examples/week.json

  A picture of the window without a desktop (GTK's Cairo renderer under Xvfb):
      GSK_RENDERER=cairo xvfb-run -a korvel-widgets desktop --screenshot window.png
)";

}  // namespace

void addDesktopCommand(CLI::App& app, int& exitCode, DesktopRunner runWindow) {
  auto options = std::make_shared<DesktopOptions>();
  CLI::App* cmd = app.add_subcommand(
      "desktop", "Show the placed widgets in a window that follows the desktop's appearance "
                 "and keeps them current");
  addHostOptions(*cmd, options->host);
  cmd->add_flag("--no-watch", options->noWatch,
                "Do not watch the snapshot: new timelines only after the reload date");
  cmd->add_option("--screenshot", options->screenshot,
                  "Save the window's first frame as this PNG, list the widgets, and exit")
      ->type_name("FILE");
  cmd->footer(std::string(kDesktopManual) + "\n" + placementsManual());
  cmd->callback([options, &exitCode, runWindow] {
    const EnvLookup env = [](const char* key) -> const char* { return std::getenv(key); };
    auto resolved = resolveHostOptions(options->host, env);
    if (const auto* error = std::get_if<HostOptionsError>(&resolved)) {
      std::cerr << "desktop: " << error->message << '\n';
      exitCode = error->exitCode;
      return;
    }
    DesktopRequest request;
    request.host = std::get<HostSettings>(std::move(resolved));
    for (const std::string& warning : request.host.warnings) {
      std::cerr << "desktop: " << warning << '\n';
    }
    request.watch = !options->noWatch && options->screenshot.empty();
    request.screenshot = options->screenshot;
    try {
      exitCode = runWindow(request);
    } catch (const std::exception& e) {
      std::cerr << "desktop: " << e.what() << '\n';
      exitCode = 1;
    }
  });
}

}  // namespace korvel::host
