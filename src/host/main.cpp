// korvel-widgets: the command-line host of the week widgets.
#include <CLI/CLI.hpp>

#include "host/cli/commands.h"
#if KORVEL_WITH_DESKTOP
#include "host/desktop/desktop_window.h"
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
#endif
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;  // help and version are successes; everything else is usage
  }
  return exitCode;
}
