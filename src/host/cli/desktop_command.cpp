// korvel-widgets desktop: the placed widgets on the desktop, as layer surfaces or in a window of
// their own. The layer host needs wayland-client, the window GTK 4; both are handed in by the
// program (see main.cpp); this is their command line and the choice between them.
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

#include "host/cli/commands.h"

namespace korvel::host {

namespace {

struct DesktopOptions {
  HostOptions host;
  bool noWatch = false;
  std::string screenshot;
  std::string surface = "auto";
  std::string layer = "bottom";
};

std::optional<SurfaceChoice> surfaceFromName(const std::string& name) {
  if (name == "auto") return SurfaceChoice::automatic;
  if (name == "layer") return SurfaceChoice::layer;
  if (name == "window") return SurfaceChoice::window;
  return std::nullopt;
}

std::optional<DesktopLayer> layerFromName(const std::string& name) {
  if (name == "background") return DesktopLayer::background;
  if (name == "bottom") return DesktopLayer::bottom;
  if (name == "top") return DesktopLayer::top;
  return std::nullopt;
}

// Layer surfaces where the compositor offers them, else the window; a forced choice that is not
// available here ends with a message and status 1.
int runDesktop(const DesktopRequest& request, const DesktopRunner& runWindow,
               const LayerRunner& runLayer) {
  if (request.surface != SurfaceChoice::window && request.screenshot.empty()) {
    if (runLayer) {
      auto outcome = runLayer(request);
      if (const int* code = std::get_if<int>(&outcome)) return *code;
      if (request.surface == SurfaceChoice::layer) {
        std::cerr << "desktop: --surface layer: " << std::get<std::string>(outcome)
                  << "; --surface window opens a window instead\n";
        return 1;
      }
    } else if (request.surface == SurfaceChoice::layer) {
      std::cerr << "desktop: --surface layer: this korvel-widgets was built without "
                   "wayland-client; --surface window opens a window instead\n";
      return 1;
    }
  }
  if (!runWindow) {
    std::cerr << "desktop: no layer-shell here, and this korvel-widgets was built without "
                 "the window (GTK 4)\n";
    return 1;
  }
  return runWindow(request);
}

const char* kDesktopManual = R"(
DESCRIPTION
  On a Wayland compositor with layer-shell (sway, Hyprland, KDE Plasma, river, niri, ...) each
  placed widget is a surface of its own on the desktop's bottom layer (--layer), below every
  window, at its placement's anchor and margins (KIND:FAMILY@ANCHOR+X+Y; widgets without a
  position go side by side from the top-left corner, in rows that fit the screen). They are
  drawn at the screen's scale, kept current by the player's rules (below) and redrawn when the
  appearance or the screen's scale changes; a click opens the widget's deep link. A widget
  whose screen goes away comes back when a screen returns. Without layer-shell (GNOME, X11):

  Opens a window with the placed widgets side by side at their point sizes (small 170 x 170,
  medium 364 x 170, large 364 x 382), each in its rounded container, drawn with Cairo from
  the same display lists as the gallery and the player. The window follows the desktop's
  appearance live (with --appearance auto). It keeps the widgets current by the player's
  rules: each entry from its date on, a new timeline after the reload date, and within a
  second of the snapshot changing (unless --no-watch). A click on a widget (or Enter or Space
  on the focused widget) opens its deep link, such as korvel://week/limits, with the desktop's
  handler for korvel: links; where none is installed, one line on standard error says so.
  Each widget is one accessible element, a link named by the widget's spoken label.

  The widgets sit 20 points apart and 20 points from the window's edges, in rows that fit the
  screen, on a background that follows the appearance (a shade darker than the widgets' own,
  light or dark). The window has no decorations and the application id and WM_CLASS
  korvel-widgets; on X11 it stays out of the taskbar and the pager, asks the window manager
  to keep it below other windows and on every workspace, and comes back where it was left
  (kept in $XDG_STATE_HOME/korvel-widgets/window.ini, ~/.local/state when unset).

  With --screenshot the window shows its first frame, saves its whole content (margins and
  background included) as a PNG, prints one line per widget (file name, position in the
  picture, size in points, spoken label, deep link, separated by tabs) and exits.

)" R"(EXIT STATUS
  0  the window was closed, or the process stopped by SIGINT or SIGTERM
  1  no display could be opened, a configuration file is unreadable or has a bad line or
     value, the screenshot could not be saved, the surface forced by --surface is not
     available here, or the compositor went away
  2  usage error: unknown option, bad --place (the message names the families the widget
     offers), bad --appearance, --surface or --layer, unknown --locale or --time-zone

EXAMPLES
  Every widget in its first family, following the desktop's colour scheme:
      korvel-widgets desktop

  Limits in the top-right corner and working now below it, on sway or Hyprland:
      korvel-widgets desktop --surface layer --place limits:medium@top-right+24+24 \
          --place now:small@top-right+24+218

  Limits and working now, dark, from the sample snapshot:
      korvel-widgets desktop --place limits:medium --place now:small --appearance dark \
          --snapshot examples/week.json

  A picture of the window without a desktop (GTK's Cairo renderer under Xvfb):
      GSK_RENDERER=cairo xvfb-run -a korvel-widgets desktop --screenshot window.png
)";

}  // namespace

void addDesktopCommand(CLI::App& app, int& exitCode, DesktopRunner runWindow,
                       LayerRunner runLayer) {
  auto options = std::make_shared<DesktopOptions>();
  CLI::App* cmd = app.add_subcommand(
      "desktop", "Show the placed widgets on the desktop (layer surfaces, or a window) in the "
                 "desktop's appearance and keep them current");
  addHostOptions(*cmd, options->host);
  cmd->add_flag("--no-watch", options->noWatch,
                "Do not watch the snapshot: new timelines only after the reload date");
  cmd->add_option("--screenshot", options->screenshot,
                  "Save the window's first frame as this PNG, list the widgets, and exit")
      ->type_name("FILE");
  cmd->add_option("--surface", options->surface,
                  "layer: layer-shell surfaces, window: a window, auto: layer surfaces where the "
                  "compositor offers them (default: auto)")
      ->type_name("KIND");
  cmd->add_option("--layer", options->layer,
                  "The layer surfaces' layer: background, bottom or top (default: bottom)")
      ->type_name("LAYER");
  cmd->footer(std::string(kDesktopManual) + "\n" + placementsManual());
  cmd->callback([options, &exitCode, runWindow, runLayer] {
    const auto surface = surfaceFromName(options->surface);
    const auto layer = layerFromName(options->layer);
    if (!surface || !layer) {
      std::cerr << "desktop: " << (surface ? "--layer must be background, bottom or top"
                                           : "--surface must be layer, window or auto")
                << '\n';
      exitCode = 2;
      return;
    }
    if (*surface == SurfaceChoice::layer && !options->screenshot.empty()) {
      std::cerr << "desktop: --screenshot saves the window; it needs --surface window or auto\n";
      exitCode = 2;
      return;
    }
    const EnvLookup env = [](const char* key) -> const char* { return std::getenv(key); };
    auto resolved = resolveHostOptions(options->host, env);
    if (const auto code = reportedError("desktop", resolved)) {
      exitCode = *code;
      return;
    }
    DesktopRequest request;
    request.host = std::get<HostSettings>(std::move(resolved));
    for (const std::string& warning : request.host.warnings) {
      std::cerr << "desktop: " << warning << '\n';
    }
    request.watch = !options->noWatch && options->screenshot.empty();
    request.screenshot = options->screenshot;
    request.surface = *surface;
    request.layer = *layer;
    exitCode = runReporting("desktop", [&] { return runDesktop(request, runWindow, runLayer); });
  });
}

}  // namespace korvel::host
