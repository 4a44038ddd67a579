#pragma once
// Subcommands of the korvel-widgets program. Each adds itself to the app; its callback stores
// the process exit code: 0 success, 1 input refused or unreadable, 2 usage error.
#include <CLI/CLI.hpp>

#include <functional>
#include <iostream>
#include <optional>
#include <string_view>

#include "base/error.h"
#include "host/player/desktop_request.h"

// The FILES section of every command that reads the widgets' snapshot.
#define KORVEL_SNAPSHOT_FILES_MANUAL                                                              \
  "FILES\n"                                                                                       \
  "  The snapshot the widgets read is week.json (week-dev.json in builds for the dev channel)\n"  \
  "  in the companion's folder, the first of these that applies:\n"                               \
  "    $KORVEL_GROUP_CONTAINER    when set and not empty\n"                                       \
  "    $XDG_DATA_HOME/korvel      when XDG_DATA_HOME is an absolute path\n"                       \
  "    ~/.local/share/korvel      otherwise\n"                                                    \
  "  play and desktop take snapshot= of their configuration file before it.\n"

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

// The rules every command applies to the options they share, so that one value means one thing
// everywhere. An empty -o or --snapshot is a slip of a script, not a choice: a usage error.
extern const CLI::Validator kNotEmpty;
// --now: seconds since 1970 as a finite decimal number (digits, an optional leading minus and
// fraction; no exponent, sign or space).
std::optional<double> parseSeconds(std::string_view text);
CLI::Option* addNowOption(CLI::App& command, std::optional<double>& now);

// Flushes standard output; when it cannot be written (a full disk, a closed pipe) says so on
// standard error, after `who`, and gives 1; else 0.
int flushStandardOutput(std::string_view who);

// When `result` is an error: says it on `err` after `who` and gives the exit status it ends
// the command with; nothing when it is a value.
int reportError(std::string_view who, const Error& error, std::ostream& err);
template <class T>
std::optional<int> reportedError(std::string_view who, const Result<T>& result, std::ostream& err = std::cerr) {
  const auto* error = std::get_if<Error>(&result);
  return error ? std::optional<int>(reportError(who, *error, err)) : std::nullopt;
}

// Runs a command's work and gives its exit status; an exception that escapes it (memory running
// out) is said on standard error after `who` and gives 1.
int runReporting(std::string_view who, const std::function<int()>& run);

// The program's own manual, shown after the list of commands by korvel-widgets --help.
std::string programManual();

// The catalog command's output: one block per widget, or a JSON array.
std::string catalogListing(bool asJson);

}  // namespace korvel::host
