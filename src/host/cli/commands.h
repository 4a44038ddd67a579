#pragma once
// Subcommands of the korvel-widgets program. Each adds itself to the app; its callback stores
// the process exit code: 0 success, 1 input refused or unreadable, 2 usage error.
#include <CLI/CLI.hpp>

#include "host/desktop/desktop_request.h"

namespace korvel::host {

void addCheckCommand(CLI::App& app, int& exitCode);
void addTimelineCommand(CLI::App& app, int& exitCode);
void addRenderCommand(CLI::App& app, int& exitCode);
void addCatalogCommand(CLI::App& app, int& exitCode);
void addGalleryCommand(CLI::App& app, int& exitCode);
void addPlayCommand(CLI::App& app, int& exitCode);
// The window and the layer host are passed in: each is built only where its libraries are
// (GTK 4; wayland-client), and either may be missing (null).
void addDesktopCommand(CLI::App& app, int& exitCode, DesktopRunner runWindow,
                       LayerRunner runLayer = nullptr);

// --place, --snapshot, --appearance, --locale and --time-zone of play and desktop.
void addHostOptions(CLI::App& command, HostOptions& options);

// The program's own manual, shown after the list of commands by korvel-widgets --help.
std::string programManual();

// The catalog command's output: one block per widget, or a JSON array.
std::string catalogListing(bool asJson);

}  // namespace korvel::host
