#include "host/cli/commands.h"

namespace korvel::host {

void addRenderCommand(CLI::App& app, int& exitCode) {
  app.add_subcommand("render", "(not built yet)")->callback([&exitCode] { exitCode = 2; });
}

}  // namespace korvel::host
