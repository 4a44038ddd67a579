#include "host/cli/gallery_command.h"

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "host/cli/commands.h"
#include "host/image_names.h"
#include "host/time_options.h"
#include "host/platform_lookups.h"
#include "host/output_file.h"
#include "host/render/render_widget.h"
#include "widgets/bundle.h"
#include "widgets/week_provider.h"

namespace korvel::host {

namespace {

namespace fs = std::filesystem;

struct Image {
  WidgetFamily family;
  ui::Size size;
  std::string label;
  std::string url;
  std::string light, dark;  // file names
};

struct WidgetImages {
  std::string name, description, kind, face;
  std::vector<Image> images;
};

std::string formatPoints(double v) {
  return std::to_string(static_cast<long long>(std::lround(v)));
}

std::string indexHtml(const std::vector<WidgetImages>& widgets, const std::string& source,
                      const std::string& drawnAt, const TimeSettings& time) {
  std::string h;
  h += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  h += "<title>Korvel widgets</title>\n<style>\n"
       "body{font-family:Inter,system-ui,sans-serif;margin:32px;background:#e9ebe6;color:#15241a}\n"
       "h1{font-size:22px;margin:0 0 4px}\n"
       ".meta{color:#6f7a71;font-size:13px;margin:0 0 28px}\n"
       "section{margin:0 0 36px}\n"
       "h2{font-size:17px;margin:0 0 2px}\n"
       ".description{margin:0 0 4px;font-size:13px;color:#4d5a50}\n"
       ".kind{margin:0 0 12px;font-size:12px;color:#6f7a71}\n"
       ".families{display:flex;flex-wrap:wrap;gap:28px;align-items:flex-start}\n"
       "figure{margin:0}\n"
       ".pair{display:flex;gap:12px}\n"
       ".pair a{display:block;line-height:0}\n"
       "figcaption{font-size:12px;margin-top:8px;max-width:740px}\n"
       "figcaption .spoken{color:#4d5a50}\n"
       "</style>\n</head>\n<body>\n";
  h += "<h1>Korvel widgets</h1>\n<p class=\"meta\">" + escapeHtml(source) + " &middot; drawn at " +
       escapeHtml(drawnAt) + " &middot; " + escapeHtml(time.locale) + ", " +
       escapeHtml(time.timeZone) + " &middot; light and dark</p>\n";
  for (const WidgetImages& w : widgets) {
    h += "<section id=\"" + escapeHtml(w.face) + "\">\n";
    h += "<h2>" + escapeHtml(w.name) + "</h2>\n";
    h += "<p class=\"description\">" + escapeHtml(w.description) + "</p>\n";
    h += "<p class=\"kind\"><code>" + escapeHtml(w.kind) + "</code></p>\n";
    h += "<div class=\"families\">\n";
    for (const Image& img : w.images) {
      const std::string width = formatPoints(img.size.width);
      const std::string height = formatPoints(img.size.height);
      const std::string family(familyName(img.family));
      h += "<figure>\n<div class=\"pair\">\n";
      for (const auto& [file, appearance] : {std::pair{&img.light, "light"},
                                             std::pair{&img.dark, "dark"}}) {
        h += "<a href=\"" + escapeHtml(img.url) + "\"><img src=\"" + escapeHtml(*file) +
             "\" width=\"" + width + "\" height=\"" + height + "\" alt=\"" +
             escapeHtml(img.label) + "\" title=\"" + escapeHtml(family) + ", " + appearance +
             "\"></a>\n";
      }
      h += "</div>\n<figcaption><strong>" + escapeHtml(family) +
           "</strong> <span class=\"spoken\">&middot; spoken: &ldquo;" + escapeHtml(img.label) +
           "&rdquo;</span></figcaption>\n</figure>\n";
    }
    h += "</div>\n</section>\n";
  }
  h += "</body>\n</html>\n";
  return h;
}

// The moment the sheet shows, readable in any locale: "2025-06-12 17:42:07 UTC".
std::string utcText(double seconds) {
  if (!(std::abs(seconds) < 1e15)) return "an unrepresentable time";
  const auto t = static_cast<std::time_t>(std::floor(seconds));
  std::tm tm{};
  char buf[64];
  if (!gmtime_r(&t, &tm) || std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S UTC", &tm) == 0) {
    return "an unrepresentable time";
  }
  return buf;
}

double clockNow() { return systemClock(); }

// Draws one picture into `path`; a drawing that fails is told by the picture's name.
Status drawImage(const LaidOutWidget& laidOut, const RenderRequest& request,
                 const fs::path& path) {
  RenderResult png = renderLaidOut(laidOut, request);
  if (auto* error = std::get_if<Error>(&png)) {
    error->where = path.filename().string();
    return std::move(*error);
  }
  return writeOutputFile(path, std::get<std::string>(png));
}

const char* kGalleryManual = R"(
DESCRIPTION
  Draws every widget in every family it offers, light and dark, as the desktop's widget
  gallery previews them, into DIR (created when missing): one PNG per widget, family and
  appearance at 2 pixels per point, named <face>-<family>-<appearance>.png (for example
  limits-systemMedium-dark.png), and DIR/index.html, a page that shows them all with each
  widget's name, description and kind string, and each picture's family and spoken label,
  every picture linked to the widget's deep link. Every widget shows the same snapshot, read
  once, at the moment --now (default: the clock; a decimal number of seconds). Files are
  written as render writes them (atomically). The snapshot may not lie in DIR. Dates are
  formatted in the locale and zone of the environment (LC_ALL, LC_TIME, LANG, TZ) unless
  --locale or --time-zone names others.

  A file named with --snapshot must be usable. Without --snapshot the widgets' own snapshot is
  read; when it is missing or refused, every widget shows the empty face and standard error
  says why.

)" KORVEL_SNAPSHOT_FILES_MANUAL R"(
EXIT STATUS
  0  every image and index.html were written
  1  the --snapshot file is unreadable or refused, or DIR cannot be created or written
  1  also when standard output cannot be written
  2  usage error: unknown option, missing or empty -o, an empty --snapshot, a snapshot in
     DIR, --now not a decimal number, unknown --locale or --time-zone

EXAMPLES
  The sample's gallery, as of the moment the sample was written:
      korvel-widgets gallery --snapshot examples/week.json --now 1749746527 -o gallery
      xdg-open gallery/index.html
)";

}  // namespace

std::string escapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

namespace {

// The snapshot every widget of the sheet shows, loaded once so they all show the same data. A
// file named on the command line must be usable; the platform's location may simply hold
// nothing yet (then every widget shows its empty face, and `err` says why).
Result<std::optional<WeekSnapshot>> sheetSnapshot(const GalleryOptions& options,
                                                  const fs::path& path, std::ostream& err) {
  if (liesIn(path, options.outputDir)) {
    return Error{ErrorKind::usage, "",
                 "the snapshot " + path.string() + " lies in the output folder " +
                     options.outputDir + ", whose files the gallery replaces; choose another folder"};
  }
  LoadResult loaded = loadSnapshotDetailed(path);
  if (auto* error = std::get_if<Error>(&loaded)) {
    if (!options.snapshotPath.empty()) return std::move(*error);
    err << "gallery: no snapshot (" << error->describe() << "); every widget shows the empty face\n";
    return std::optional<WeekSnapshot>{};
  }
  return std::optional<WeekSnapshot>{std::get<WeekSnapshot>(std::move(loaded))};
}

Status createFolder(const std::string& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (ec || !fs::is_directory(dir)) {
    return Error{ErrorKind::unwritable, "",
                 "cannot create " + dir + ": " + (ec ? ec.message() : "not a directory")};
  }
  return {};
}

// One widget in every family it offers, light and dark, written into `dir`.
Result<WidgetImages> drawWidget(const WidgetConfiguration& config, const TimeFormat& timeFormat,
                                const fs::path& dir, double& drawnAt) {
  WeekEntry entry;
  config.provider.getSnapshot([&entry](WeekEntry e) { entry = std::move(e); });
  drawnAt = entry.date;
  const WeekWidgetView content = config.content(entry);

  WidgetImages widget{config.configurationDisplayName, config.description, config.kind,
                      std::string(rawValue(content.kind)), {}};
  for (const WidgetFamily family : config.supportedFamilies) {
    RenderRequest request;
    request.kind = content.kind;
    request.family = family;
    request.entry = content.entry;
    request.scale = 2;
    request.format = RenderFormat::png;
    request.timeFormat = timeFormat;
    const LaidOutWidget laidOut = layoutWidget(request);

    Image image{family, laidOut.widget.size, laidOut.widget.label, laidOut.widget.url, {}, {}};
    for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
      request.appearance = appearance;
      const std::string file = widgetImageName(widget.face, familyName(family), name(appearance));
      const Status drawn = drawImage(laidOut, request, dir / file);
      if (const auto* error = std::get_if<Error>(&drawn)) return *error;
      (appearance == Appearance::light ? image.light : image.dark) = file;
    }
    widget.images.push_back(std::move(image));
  }
  return widget;
}

// Every step of the gallery; the images written and the index file on success.
Result<std::pair<std::size_t, fs::path>> drawGallery(const GalleryOptions& options,
                                                     const TimeSettings& time,
                                                     const PlatformLookups& lookups,
                                                     std::ostream& err) {
  const fs::path path =
      options.snapshotPath.empty() ? snapshotFileURL(lookups) : fs::path(options.snapshotPath);
  auto loaded = sheetSnapshot(options, path, err);
  if (auto* error = std::get_if<Error>(&loaded)) return std::move(*error);
  const std::optional<WeekSnapshot> snapshot = std::get<0>(std::move(loaded));
  if (auto made = createFolder(options.outputDir); std::holds_alternative<Error>(made)) {
    return std::get<Error>(made);
  }

  const Clock clock = options.now ? Clock([t = *options.now] { return t; }) : Clock(clockNow);
  const auto newProvider = [&snapshot, &clock] {
    return WeekProvider([&snapshot] { return snapshot; }, clock);
  };
  const TimeFormat timeFormat(time);
  std::vector<WidgetImages> sheet;
  std::size_t written = 0;
  double drawnAt = 0;
  for (const WidgetConfiguration& config : KorvelMacWidgets{}.body(newProvider)) {
    auto widget = drawWidget(config, timeFormat, options.outputDir, drawnAt);
    if (auto* error = std::get_if<Error>(&widget)) return std::move(*error);
    sheet.push_back(std::get<WidgetImages>(std::move(widget)));
    written += 2 * sheet.back().images.size();
  }

  const std::string source =
      snapshot ? "snapshot " + path.string() : "no snapshot at " + path.string();
  const fs::path index = fs::path(options.outputDir) / "index.html";
  const Status saved = writeOutputFile(index.string(), indexHtml(sheet, source, utcText(drawnAt), time));
  if (const auto* error = std::get_if<Error>(&saved)) return *error;
  return std::pair{written, index};
}

}  // namespace

int runGallery(const GalleryOptions& options, const TimeSettings& time,
               const PlatformLookups& lookups, std::ostream& out, std::ostream& err) {
  const auto done = drawGallery(options, time, lookups, err);
  if (const auto code = reportedError("gallery", done, err)) return *code;
  const auto& [written, index] = std::get<0>(done);
  out << "gallery: " << written << " images and " << index.string() << '\n';
  return 0;
}

void addGalleryCommand(CLI::App& app, int& exitCode) {
  struct Options {
    GalleryOptions gallery;
    TimeOptions time;
  };
  auto o = std::make_shared<Options>();
  CLI::App* cmd = app.add_subcommand(
      "gallery", "Draw every widget in every family, light and dark, with an index.html");
  cmd->add_option("--snapshot", o->gallery.snapshotPath,
                  "Snapshot file (default: the companion's shared folder)")
      ->check(kNotEmpty);
  addNowOption(*cmd, o->gallery.now);
  cmd->add_option("--locale", o->time.locale, "Locale for dates, e.g. de_DE");
  cmd->add_option("--time-zone", o->time.timeZone, "Time zone for dates, e.g. Europe/Berlin");
  cmd->add_option("-o,--output", o->gallery.outputDir, "Folder for the images and index.html")
      ->required()
      ->check(kNotEmpty);
  cmd->footer(kGalleryManual);
  cmd->callback([o, &exitCode] {
    std::string warning;
    const auto time = resolveTimeOptions(
        o->time, [](const char* key) -> const char* { return std::getenv(key); }, warning);
    if (const auto code = reportedError("gallery", time)) {
      exitCode = *code;
      return;
    }
    if (!warning.empty()) std::cerr << "gallery: " << warning << '\n';
    exitCode = runGallery(o->gallery, std::get<TimeSettings>(time), LinuxPlatformLookups{},
                          std::cout, std::cerr);
    if (exitCode == 0) exitCode = flushStandardOutput("gallery");
  });
}

}  // namespace korvel::host
