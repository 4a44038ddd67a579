// korvel-widgets: the command-line host of the week widgets.
#include <CLI/CLI.hpp>
#include <signal.h>

#include <algorithm>
#include <iostream>

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

// The window lives in a program of its own (it needs GTK); once the command line has been
// checked here, that program takes over this process with the same arguments. Installed, it is
// a helper in libexec; in the build folder it sits beside this program.
korvel::host::DesktopRunner startDesktopProgram(char** argv) {
  return [argv](const korvel::host::DesktopRequest&) {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto dir = ec ? std::filesystem::path(argv[0]).parent_path() : self.parent_path();
    const std::filesystem::path installed = dir / KORVEL_HELPER_FROM_BIN / KORVEL_DESKTOP_PROGRAM;
    const std::filesystem::path program =
        ::access(installed.c_str(), X_OK) == 0 ? installed : dir / KORVEL_DESKTOP_PROGRAM;
    std::cout.flush();
    execv(program.c_str(), argv);
    std::cerr << "desktop: cannot start " << program.string() << ": " << std::strerror(errno)
              << '\n';
    return 1;
  };
}

}  // namespace
#endif

int main(int argc, char** argv) {
  CLI::App app{"korvel-widgets: desktop widgets for a week of AI coding agents", "korvel-widgets"};
  app.set_version_flag("--version", "korvel-widgets " KORVEL_VERSION, "Print the version and exit");
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
  // A closed pipe is a write error like any other: each command says so and exits 1.
  signal(SIGPIPE, SIG_IGN);
  const auto commands = static_cast<const CLI::App&>(app).get_subcommands(
      [](const CLI::App*) { return true; });
  const auto named = [&argv](const CLI::App* command) { return command->check_name(argv[1]); };
  if (argc > 1 && argv[1][0] != '-' && std::none_of(commands.begin(), commands.end(), named)) {
    std::string names;
    for (const CLI::App* command : commands) names += " " + command->get_name();
    std::cerr << "unknown command \"" << argv[1] << "\"; the commands are:" << names << '\n'
              << "Run with --help for more information.\n";
    return 2;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;  // help and version are successes; everything else is usage
  }
  return exitCode;
}
