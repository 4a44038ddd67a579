#include "host/cli/commands.h"

namespace korvel::host {

void addCheckCommand(CLI::App& app, int& exitCode) {
  app.add_subcommand("check", "(not built yet)")->callback([&exitCode] { exitCode = 2; });
}

}  // namespace korvel::host
