#include "host/cli/commands.h"

namespace korvel::host {

void addTimelineCommand(CLI::App& app, int& exitCode) {
  app.add_subcommand("timeline", "(not built yet)")->callback([&exitCode] { exitCode = 2; });
}

}  // namespace korvel::host
