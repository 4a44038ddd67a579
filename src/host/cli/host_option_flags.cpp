// The command-line flags the commands share: the options of the player and the desktop window,
// and the rules for -o, --snapshot, --now and standard output.
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iostream>

#include "host/cli/commands.h"

namespace korvel::host {

const CLI::Validator kNotEmpty(
    [](std::string& value) -> std::string { return value.empty() ? "must not be empty" : ""; },
    "", "not empty");

std::optional<double> parseSeconds(std::string_view text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
  if (text.empty() || ec != std::errc{} || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

CLI::Option* addNowOption(CLI::App& command, std::optional<double>& now) {
  return command
      .add_option_function<std::string>(
          "--now",
          [&now](const std::string& text) {
            now = parseSeconds(text);
            if (!now) throw CLI::ValidationError("--now", "expected seconds since 1970 as a decimal number");
          },
          "Seconds since 1970-01-01 UTC, a decimal number (default: the clock)")
      ->type_name("SECONDS");
}

int reportError(std::string_view who, const Error& error, std::ostream& err) {
  err << who << ": " << error.describe() << '\n';
  return error.exitCode();
}

int runReporting(std::string_view who, const std::function<int()>& run) {
  try {
    return run();
  } catch (const std::exception& e) {
    std::cerr << who << ": " << e.what() << '\n';
    return 1;
  }
}

int flushStandardOutput(std::string_view who) {
  // A write that failed before left its reason in errno; a flush that fails now sets it anew.
  if (std::cout) errno = 0;
  std::cout.flush();
  if (std::cout) return 0;
  const int error = errno;
  std::cerr << who << ": cannot write standard output"
            << (error ? std::string(": ") + std::strerror(error) : std::string()) << '\n';
  return 1;
}

void addHostOptions(CLI::App& command, HostOptions& options) {
  command.add_option("--place", options.places,
                     "Place a widget: KIND:FAMILY, e.g. korvel.week.limits:systemMedium or "
                     "now:small (repeatable; replaces the configuration file's placements)")
      ->type_name("KIND:FAMILY")
      ->take_all();
  command.add_option("--snapshot", options.snapshotPath,
                     "Snapshot file (default: snapshot= of the configuration file, else "
                     "week.json in the companion's folder)")
      ->type_name("FILE")
      ->check(kNotEmpty);
  command.add_option("--appearance", options.appearance,
                     "light, dark, or auto: the desktop's colour scheme (default: appearance= "
                     "of the configuration file, else auto)")
      ->type_name("light|dark|auto");
  command.add_option("--locale", options.time.locale, "Locale for dates, e.g. de_DE")
      ->type_name("LOCALE");
  command.add_option("--time-zone", options.time.timeZone,
                     "Time zone for dates, e.g. Europe/Berlin")
      ->type_name("ZONE");
}

}  // namespace korvel::host
