// korvel-widgets catalog: the eight widgets as the desktop's widget gallery lists them.
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "host/cli/commands.h"
#include "base/json_writer.h"
#include "widgets/bundle.h"
#include "widgets/catalog.h"

namespace korvel::host {

namespace {

// Listing reads no snapshot: the providers are bound but never asked.
std::vector<WidgetConfiguration> configurations() {
  return KorvelMacWidgets{}.body(
      [] { return WeekProvider([] { return std::optional<WeekSnapshot>(); }, systemClock); });
}

// One widget per line.
std::string catalogJson() {
  std::string out;
  json::Writer w(out);
  w.beginArray({.itemBreak = "\n  ", .closeBreak = "\n"});
  for (const WidgetConfiguration& c : configurations()) {
    w.beginObject().member("kind", c.kind).member("name", c.configurationDisplayName);
    w.member("description", c.description).key("families").beginArray();
    for (const WidgetFamily f : c.supportedFamilies) w.value(familyName(f));
    w.endArray().member("face", rawValue(c.faceKind)).member("url", deepLinkURL(c.faceKind)).endObject();
  }
  w.endArray();
  out += '\n';
  return out;
}

std::string catalogText() {
  std::string out;
  for (const WidgetConfiguration& c : configurations()) {
    out += c.configurationDisplayName + "  (" + c.kind + ")\n";
    out += "  " + c.description + "\n";
    out += "  families:";
    for (const WidgetFamily f : c.supportedFamilies) out += " " + std::string(familyName(f));
    out += "\n  face: " + std::string(rawValue(c.faceKind)) + "  link: " + deepLinkURL(c.faceKind);
    out += "\n";
  }
  return out;
}

const char* kCatalogManual = R"(
DESCRIPTION
  Lists the eight widgets in the order the desktop's widget gallery shows them: for each, its
  display name and kind string, its description, the families it is offered in, its face kind
  and the deep link a click on it opens. With --json the same as a JSON array of objects with
  the keys kind, name, description, families, face and url. No snapshot is read.

EXIT STATUS
  0  the list was printed
  1  standard output could not be written
  2  usage error: unknown option

EXAMPLES
  The widgets and their families:
      korvel-widgets catalog

  The kind strings only:
      korvel-widgets catalog --json | jq -r '.[].kind'
)";

}  // namespace

std::string catalogListing(bool asJson) { return asJson ? catalogJson() : catalogText(); }

void addCatalogCommand(CLI::App& app, int& exitCode) {
  auto asJson = std::make_shared<bool>(false);
  CLI::App* cmd = app.add_subcommand("catalog", "List the eight widgets in the gallery's order");
  cmd->add_flag("--json", *asJson, "Print a JSON array");
  cmd->footer(kCatalogManual);
  cmd->callback([asJson, &exitCode] {
    std::cout << catalogListing(*asJson);
    exitCode = flushStandardOutput("catalog");
  });
}

}  // namespace korvel::host
