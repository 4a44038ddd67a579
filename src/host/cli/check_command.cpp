// korvel-widgets check: decodes and accepts a snapshot file and says what it holds, or why not.
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <variant>

#include "host/cli/commands.h"
#include "host/platform_lookups.h"
#include "snapshot/loading.h"

namespace korvel::host {
namespace {

struct CheckOptions {
  std::string file;
  bool canonical = false;
};

std::int64_t floorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// ISO 8601 in UTC with milliseconds, for any 64-bit millisecond count (proleptic Gregorian).
std::string isoUtc(std::int64_t ms) {
  const std::int64_t days = floorDiv(ms, 86'400'000);
  const std::int64_t msOfDay = ms - days * 86'400'000;
  // Civil date from days since 1970-01-01 (H. Hinnant's algorithm).
  const std::int64_t z = days + 719468;
  const std::int64_t era = floorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  char buf[128];
  std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lld.%03lldZ",
                static_cast<long long>(year), static_cast<long long>(month),
                static_cast<long long>(day), static_cast<long long>(msOfDay / 3'600'000),
                static_cast<long long>(msOfDay / 60'000 % 60),
                static_cast<long long>(msOfDay / 1000 % 60), static_cast<long long>(msOfDay % 1000));
  return buf;
}

// A text from the file as a terminal may show it: the C0 and C1 controls and DEL written as
// escapes (\x1b, \u009b), and the backslash doubled, so that no text can move the cursor,
// retitle the window or forge a line.
std::string printable(std::string_view text) {
  std::string out;
  char escape[8];
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (c < 0x20 || c == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\x%02x", c);
      out += escape;
    } else if (c == 0xC2 && next >= 0x80 && next < 0xA0) {
      std::snprintf(escape, sizeof escape, "\\u%04x", next);
      out += escape;
      ++i;
    } else {
      out += c == '\\' ? "\\\\" : std::string(1, static_cast<char>(c));
    }
  }
  return out;
}

void printSummary(const std::filesystem::path& path, const WeekSnapshot& s) {
  std::size_t waiting = 0;
  for (const WeekRun& run : s.now.runs) waiting += run.waiting ? 1 : 0;
  std::cout << "file: " << printable(path.string()) << '\n'
            << "version: " << s.v << '\n'
            << "generated: " << isoUtc(s.generatedMs) << '\n'
            << "week: " << printable(s.week) << '\n'
            << "period: " << printable(s.period) << '\n'
            << "off: " << (s.off ? "true" : "false") << '\n'
            << "runs: " << s.now.runs.size() << " (" << waiting << " waiting)\n"
            << "meters: " << s.limits.meters.size() << '\n'
            << "legend entries: " << s.outcomes.legend.size() << '\n';
}

int run(const CheckOptions& options) {
  const std::filesystem::path path = options.file.empty()
                                         ? snapshotFileURL(platformLookups())
                                         : std::filesystem::path(options.file);
  auto result = loadSnapshotDetailed(path);
  if (const auto* error = std::get_if<Error>(&result)) {
    std::cerr << error->describe() << '\n';
    return 1;
  }
  const auto& snapshot = std::get<WeekSnapshot>(result);
  if (options.canonical) {
    std::cout << encodeSnapshot(snapshot) << '\n';
  } else {
    printSummary(path, snapshot);
  }
  return flushStandardOutput("check");
}

const char* kCheckManual = R"(
DESCRIPTION
  Reads the snapshot file (at most 64 MiB), decodes it strictly and accepts it as the widgets
  would: valid JSON and UTF-8 throughout, every required key present with the right type,
  format version 1 or later and exactly seven day labels. An accepted file is summarised on
  standard output (file, version, generated date in UTC, week, period, off, runs and how many
  wait, meters, legend entries; in texts a control character shows as \xNN or \uNNNN and a
  backslash doubled, so that no text can drive the terminal); with --canonical it is printed
  re-encoded instead, as one compact line with the declared keys only, in their order. A
  refused or unreadable file is explained in one line on standard error: the file, and where
  and why it was refused. Values under keys no record declares are only checked to be
  well-formed JSON (a number there may be of any size).

)" KORVEL_SNAPSHOT_FILES_MANUAL R"(
EXIT STATUS
  0  the snapshot was accepted (and printed)
  1  the file cannot be read or was refused, or standard output could not be written
  2  usage error: unknown option, more than one file, or an empty file name

EXAMPLES
  Is the file the widgets read usable?
      korvel-widgets check

  Summarise the sample snapshot:
      korvel-widgets check examples/week.json

  Compare two snapshots by their content only:
      diff <(korvel-widgets check --canonical a.json) <(korvel-widgets check --canonical b.json)
)";

}  // namespace

void addCheckCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<CheckOptions>();
  CLI::App* check = app.add_subcommand(
      "check",
      "Decode and accept a snapshot file and summarise it (default: the file the widgets read)");
  check->add_option("file", options->file, "Snapshot file to check")->check(kNotEmpty);
  check->add_flag("--canonical", options->canonical,
                  "Print the snapshot re-encoded: declared keys only, in order, compact");
  check->footer(kCheckManual);
  check->callback([options, &exitCode] { exitCode = runReporting("check", [&] { return run(*options); }); });
}

}  // namespace korvel::host
