// korvel-widgets timeline: asks the provider what the widget host would get, as one JSON line.
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "base/json_writer.h"
#include "host/cli/commands.h"
#include "host/platform_lookups.h"
#include "widgets/week_provider.h"

namespace korvel::host {
namespace {

struct TimelineOptions {
  std::string request = "timeline";
  std::string snapshotFile;
  std::optional<double> now;
};

void writeEntry(json::Writer& w, const WeekEntry& entry) {
  w.beginObject().member("date", entry.date).member("snapshot", entry.snapshot.has_value()).endObject();
}

int run(const TimelineOptions& options) {
  const Clock clock =
      options.now ? Clock([now = *options.now] { return now; }) : Clock(systemClock);

  // The provider reads exactly as loadSnapshot() would; this loader only keeps the reason, so
  // that a missing or refused file is explained on standard error.
  std::optional<Error> failure;
  const SnapshotLoader loader = [&]() -> std::optional<WeekSnapshot> {
    const std::filesystem::path path = options.snapshotFile.empty()
                                           ? snapshotFileURL(platformLookups())
                                           : std::filesystem::path(options.snapshotFile);
    auto result = loadSnapshotDetailed(path);
    if (auto* error = std::get_if<Error>(&result)) {
      failure = std::move(*error);
      return std::nullopt;
    }
    return std::get<WeekSnapshot>(std::move(result));
  };
  const WeekProvider provider(loader, clock);

  std::string out;
  json::Writer w(out);
  w.beginObject().key("entries").beginArray();
  if (options.request == "placeholder") {
    writeEntry(w, provider.placeholder());
    w.endArray();
  } else if (options.request == "snapshot") {
    provider.getSnapshot([&](const WeekEntry& entry) { writeEntry(w, entry); });
    w.endArray();
  } else {
    provider.getTimeline([&](const Timeline& timeline) {
      for (const WeekEntry& entry : timeline.entries) writeEntry(w, entry);
      w.endArray().member("reloadAfter", timeline.reloadAfter);
    });
  }
  w.endObject();
  if (failure) std::cerr << "timeline: no snapshot: " << failure->describe() << '\n';
  std::cout << out << '\n';
  return flushStandardOutput("timeline");
}

const char* kTimelineManual = R"(
DESCRIPTION
  Asks the widgets' timeline provider what a widget host would be given and prints it as one
  line of JSON, so that a host's behaviour can be checked by hand. --request timeline (the
  default) gives the entries and the reload date: an entry at the current time and, while the
  snapshot is fresh, a second entry 10801 seconds after it was generated (one second after the
  widgets turn stale); "reloadAfter" is 900 seconds after the current time. Each entry says
  whether it carries a snapshot. --request snapshot gives the single entry for the gallery's
  preview, --request placeholder the entry without data shown while the host waits; the
  placeholder never reads the file. A missing or refused snapshot still prints entries
  (without data) and is explained on standard error.

  Example output:
      {"entries":[{"date":1750000000,"snapshot":true}],"reloadAfter":1750000900}

)" KORVEL_SNAPSHOT_FILES_MANUAL R"(
EXIT STATUS
  0  the entries were printed, with or without a snapshot
  1  standard output could not be written
  2  usage error: unknown option, unknown --request, an empty --snapshot, --now not a
     decimal number

EXAMPLES
  The timeline the host gets now:
      korvel-widgets timeline

  The sample's timeline at a fixed moment:
      korvel-widgets timeline --snapshot examples/week.json --now 1749746527
)";

}  // namespace

void addTimelineCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<TimelineOptions>();
  CLI::App* timeline = app.add_subcommand(
      "timeline", "Print the entries and reload date the widget host would be given, as JSON");
  timeline->add_option("--request", options->request, "What the host asks for")
      ->check(CLI::IsMember({"timeline", "snapshot", "placeholder"}))
      ->capture_default_str();
  timeline->add_option("--snapshot", options->snapshotFile,
                       "Read this file instead of the widgets' snapshot location")
      ->check(kNotEmpty);
  addNowOption(*timeline, options->now);
  timeline->footer(kTimelineManual);
  timeline->callback([options, &exitCode] { exitCode = runReporting("timeline", [&] { return run(*options); }); });
}

}  // namespace korvel::host
