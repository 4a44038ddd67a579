// korvel-widgets: the command-line host of the week widgets.
#include <CLI/CLI.hpp>

#include "host/cli/commands.h"
#if KORVEL_WITH_LAYER
#include "host/layer/layer_host.h"
#endif
#if KORVEL_WITH_DESKTOP
#include "host/desktop/desktop_window.h"
#elif defined(KORVEL_DESKTOP_PROGRAM)
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#endif

#if !KORVEL_WITH_DESKTOP && defined(KORVEL_DESKTOP_PROGRAM)
namespace {

// The window lives in its own program beside this one (it needs GTK); once the command line has
// been checked here, that program takes over this process with the same arguments.
korvel::host::DesktopRunner startDesktopProgram(char** argv) {
  return [argv](const korvel::host::DesktopRequest&) {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto program = (ec ? std::filesystem::path(argv[0]).parent_path() : self.parent_path()) /
                         KORVEL_DESKTOP_PROGRAM;
    std::cout.flush();
    execv(program.c_str(), argv);
    std::cerr << "desktop: cannot start " << program.string() << ": " << std::strerror(errno) << '\n';
    return 1;
  };
}

}  // namespace
#endif

int main(int argc, char** argv) {
  CLI::App app{"korvel-widgets: desktop widgets for a week of AI coding agents", "korvel-widgets"};
  app.require_subcommand(1);
  app.footer(korvel::host::programManual());
  int exitCode = 0;
  korvel::host::addCheckCommand(app, exitCode);
  korvel::host::addTimelineCommand(app, exitCode);
  korvel::host::addRenderCommand(app, exitCode);
  korvel::host::addCatalogCommand(app, exitCode);
  korvel::host::addGalleryCommand(app, exitCode);
  korvel::host::addPlayCommand(app, exitCode);
#if KORVEL_WITH_DESKTOP
  korvel::host::addDesktopCommand(app, exitCode, korvel::host::runDesktopWindow);
#elif defined(KORVEL_DESKTOP_PROGRAM) || KORVEL_WITH_LAYER
  // Layer surfaces are drawn in this process; the window is the other program's.
  korvel::host::DesktopRunner window;
  korvel::host::LayerRunner layer;
#ifdef KORVEL_DESKTOP_PROGRAM
  window = startDesktopProgram(argv);
#endif
#if KORVEL_WITH_LAYER
  layer = korvel::host::runLayerHost;
#endif
  korvel::host::addDesktopCommand(app, exitCode, window, layer);
#endif
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;  // help and version are successes; everything else is usage
  }
  return exitCode;
}
