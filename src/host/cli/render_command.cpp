// korvel-widgets render: draws one widget, as a user's desktop would show it, to a file.
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "host/cli/commands.h"
#include "host/output_file.h"
#include "host/render/render_widget.h"
#include "host/time_options.h"
#include "snapshot/loading.h"

namespace korvel::host {

namespace {

struct RenderOptions {
  std::string kind, family, appearance, format, output;
  std::string snapshotPath;
  TimeOptions time;
  std::optional<double> now;
  double scale = 2;
};

// The snapshot at `path`, or nothing (with the reason on stderr) when it cannot be read or is
// refused: render then draws what a desktop without data shows.
std::optional<WeekSnapshot> readSnapshot(const std::string& path) {
  auto result = loadSnapshotDetailed(path);
  if (auto* error = std::get_if<Error>(&result)) {
    std::cerr << "render: " << error->describe() << "; drawn without a snapshot\n";
    return std::nullopt;
  }
  return std::get<WeekSnapshot>(std::move(result));
}

std::string offeredFamilies(const WidgetInfo& info) {
  std::string out;
  for (const WidgetFamily f : info.families) {
    if (!out.empty()) out += ", ";
    out += familyName(f);
  }
  return out;
}

int usage(const std::string& message) {
  std::cerr << "render: " << message << '\n';
  return 2;
}

int run(const RenderOptions& o) {
  const WidgetInfo* info = findWidget(o.kind);
  if (info == nullptr) {
    std::string kinds;
    for (const WidgetInfo& w : widgetCatalog()) kinds += " " + std::string(rawValue(w.faceKind));
    return usage("unknown kind \"" + o.kind + "\"; use a face kind (" + kinds.substr(1) +
                 ") or a widget kind string such as korvel.week.limits");
  }
  const auto family = widgetFamilyFromName(o.family);
  if (!family || !info->offers(*family)) {
    return usage((o.family.empty() ? "--family is empty; " : "") + std::string(info->kind) +
                 " is offered as " + offeredFamilies(*info) +
                 (o.family.empty() ? "" : ", not " + o.family));
  }
  const auto format = renderFormatFromName(o.format);
  if (!format) return usage("unknown format \"" + o.format + "\"");
  if (!(o.scale >= kMinScale && o.scale <= kMaxScale)) {
    return usage("--scale must lie between 0.5 and 8");
  }
  if (o.output != "-" && !o.snapshotPath.empty() && sameFile(o.output, o.snapshotPath)) {
    return usage("the output " + o.output + " is the snapshot being read; write elsewhere");
  }

  std::string warning;
  const auto time = resolveTimeOptions(o.time,
                                       [](const char* name) { return std::getenv(name); }, warning);
  if (const auto code = reportedError("render", time)) return *code;
  if (!warning.empty()) std::cerr << "render: " << warning << '\n';

  RenderRequest request;
  request.kind = info->faceKind;
  request.family = *family;
  request.appearance = appearanceFromName(o.appearance);
  request.scale = o.scale;
  request.format = *format;
  request.timeFormat = TimeFormat(std::get<TimeSettings>(time));
  request.entry.date =
      o.now ? *o.now
            : std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
                  .count();
  if (!o.snapshotPath.empty()) request.entry.snapshot = readSnapshot(o.snapshotPath);

  const RenderResult result = renderWidget(request);
  if (const auto code = reportedError("render", result)) return *code;
  const std::string& bytes = std::get<std::string>(result);
  if (o.output == "-") {
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return flushStandardOutput("render");
  }
  const Status written = writeOutputFile(o.output, bytes);
  return reportedError("render", written).value_or(0);
}

const char* kRenderManual = R"(
DESCRIPTION
  Draws one widget in one family and appearance, as a desktop would show it at the moment
  --now (default: the clock), from the snapshot given with --snapshot. Without --snapshot, or
  when the file is missing or refused (the reason goes to standard error), the widget is drawn
  without data. PNG is drawn at --scale pixels per point (0.5 to 8; a medium widget is 364 x
  170 points, so 728 x 340 pixels at the default 2); SVG and PDF are drawn in points; json is
  the display list: the widget's kind, family, size, spoken label and deep link, then one
  drawing operation per line in paint order with its colour resolved. A file is written
  atomically (a temporary file, then a rename); a symbolic link is kept and the file it leads
  to is replaced so; a FIFO or a character device is written directly; -o - writes to standard
  output. A directory, socket or block device, and the --snapshot file itself, are refused.
  --now is a decimal number of seconds (1749746527 or 1749746527.5, no exponent). Dates are
  formatted in the locale and zone of the environment (LC_ALL, LC_TIME, LANG, TZ) unless
  --locale or --time-zone names others.

EXIT STATUS
  0  the file was written (also when drawn without data)
  1  drawing failed or the output could not be written (also a directory, socket or block
     device at the output path)
  2  usage error: unknown option, missing required option, an empty -o or --snapshot, the
     output is the snapshot, unknown kind, a family the widget does not offer (the message
     names those it does), unknown format or appearance, --scale out of range, --now not a
     decimal number, unknown --locale or --time-zone

EXAMPLES
  The sample's limits widget, medium, dark, as a PNG:
      korvel-widgets render --kind limits --family systemMedium --appearance dark \
          --format png --snapshot examples/week.json --now 1749746527 -o limits.png

  The same widget's layout as JSON on standard output:
      korvel-widgets render --kind korvel.week.limits --family systemMedium \
          --appearance light --format json --snapshot examples/week.json -o -
)";

}  // namespace

void addRenderCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<RenderOptions>();
  CLI::App* cmd = app.add_subcommand("render", "Draw one widget to a PNG, SVG, PDF or JSON file");
  cmd->add_option("--kind", options->kind,
                  "Face kind (limits) or widget kind string (korvel.week.limits)")
      ->required();
  cmd->add_option("--family", options->family, "systemSmall, systemMedium or systemLarge")
      ->required();
  cmd->add_option("--appearance", options->appearance, "light or dark")
      ->required()
      ->check(CLI::IsMember({"light", "dark"}));
  cmd->add_option("--snapshot", options->snapshotPath,
                  "Snapshot file; missing or refused draws the widget without data")
      ->check(kNotEmpty);
  addNowOption(*cmd, options->now);
  cmd->add_option("--scale", options->scale, "Pixels per point for PNG (default 2)");
  cmd->add_option("--locale", options->time.locale, "Locale for dates, e.g. de_DE");
  cmd->add_option("--time-zone", options->time.timeZone, "Time zone for dates, e.g. Europe/Berlin");
  cmd->add_option("--format", options->format, "png, svg, pdf or json")
      ->required()
      ->check(CLI::IsMember({"png", "svg", "pdf", "json"}));
  cmd->add_option("-o,--output", options->output, "Output file, - for standard output")
      ->required()
      ->check(kNotEmpty);
  cmd->footer(kRenderManual);
  cmd->callback([options, &exitCode] { exitCode = run(*options); });
}

}  // namespace korvel::host
