// Golden display lists: every widget in every family it offers, drawn from a few snapshots, as
// the JSON dump that `render --format json` writes, numbers rounded to 0.01 point. A change in
// what any face draws shows up here as the first op that differs, with its path.
//   KORVEL_UPDATE_GOLDEN=1 rewrites the files from what is drawn now; review the diff.
#include <gtest/gtest.h>
#include <simdjson.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "host/render/render_widget.h"
#include "snapshot/decode.h"
#include "snapshot/generation_time.h"
#include "base/json_writer.h"
#include "support/files.h"
#include "widgets/catalog.h"

namespace korvel::host {
namespace {

namespace fs = std::filesystem;
using simdjson::dom::element;
using simdjson::dom::element_type;

const fs::path kGolden = fs::path(KORVEL_TEST_DATA_DIR) / "golden";

struct GoldenCase {
  const char* name;
  const char* snapshot;  // under the source folder; empty: no snapshot (the empty face)
  double hoursAfter;     // the entry's date, after generation
  bool dark = false;     // also golden in dark (colour resolution is checked once)
};

const GoldenCase kCases[] = {
    {"sample", "examples/week.json", 1, true},
    {"stale", "examples/week.json", 3 + 1.0 / 3600},
    {"off", "examples/week-off.json", 1},
    {"empty-lists", "examples/week-empty.json", 1},
    {"minimal", "examples/week-minimal.json", 1},
    {"no-snapshot", "", 1},
    {"one-item", "tests/data/golden/one-item.json", 1},
    {"long-texts", "tests/data/golden/long-texts.json", 1},
    {"edges", "tests/data/golden/edges.json", 1},
    {"quiet", "tests/data/golden/quiet.json", 1},
    {"crowded", "tests/data/golden/crowded.json", 1},
    // Every text is markup and a path: drawn as its characters, links from the widget alone.
    {"markup", "tests/data/golden/markup.json", 1},
};

constexpr double kGenerated = 1749746527.123;  // the samples' generation time

// Numbers rounded to 0.01, one op a line, so that a diff of two goldens reads op by op.
void canonical(const element& e, std::string& out, int depth = 0) {
  switch (e.type()) {
    case element_type::ARRAY: {
      out += '[';
      bool first = true;
      const simdjson::dom::array items = e.get_array().value_unsafe();
      for (const element v : items) {
        if (!first) out += ',';
        if (depth == 0) out += '\n';
        first = false;
        canonical(v, out, depth + 1);
      }
      out += depth == 0 ? "\n]" : "]";
      break;
    }
    case element_type::OBJECT: {
      out += '{';
      bool first = true;
      const simdjson::dom::object fields = e.get_object().value_unsafe();
      for (const auto field : fields) {
        if (!first) out += ',';
        first = false;
        json::appendString(out, field.key);
        out += ':';
        canonical(field.value, out, field.key == "ops" ? 0 : depth + 1);
      }
      out += '}';
      break;
    }
    case element_type::STRING: json::appendString(out, e.get_string().value_unsafe()); break;
    case element_type::BOOL: out += e.get_bool().value_unsafe() ? "true" : "false"; break;
    case element_type::NULL_VALUE: out += "null"; break;
    default: {
      char buf[32];
      const double v = std::round(e.get_double().value_unsafe() * 100) / 100;
      std::snprintf(buf, sizeof buf, "%.2f", v == 0 ? 0.0 : v);
      std::string s = buf;
      while (s.back() == '0') s.pop_back();
      if (s.back() == '.') s.pop_back();
      out += s;
    }
  }
}

// The first difference between two canonical documents, as "path: golden, drawn"; numbers
// within 0.01 are equal, so a rounding that falls the other way on another compiler passes.
std::optional<std::string> firstDifference(const element& a, const element& b, const std::string& path) {
  const auto shown = [](const element& e) { return std::string(simdjson::minify(e)).substr(0, 160); };
  const bool numbers = a.is_number() && b.is_number();
  if (!numbers && a.type() != b.type()) return path + ": " + shown(a) + " became " + shown(b);
  if (numbers) {
    if (std::abs(a.get_double().value_unsafe() - b.get_double().value_unsafe()) > 0.0101) {
      return path + ": " + shown(a) + " became " + shown(b);
    }
    return std::nullopt;
  }
  if (a.type() == element_type::ARRAY) {
    const auto x = a.get_array().value_unsafe(), y = b.get_array().value_unsafe();
    if (x.size() != y.size()) {
      return path + ": " + std::to_string(x.size()) + " elements became " + std::to_string(y.size());
    }
    for (std::size_t i = 0; i < x.size(); ++i) {
      if (auto d = firstDifference(x.at(i).value_unsafe(), y.at(i).value_unsafe(), path + "[" + std::to_string(i) + "]")) {
        return path == "ops" ? *d + "\n  op was " + shown(x.at(i).value_unsafe()) : *d;  // the whole op
      }
    }
    return std::nullopt;
  }
  if (a.type() == element_type::OBJECT) {
    const auto x = a.get_object().value_unsafe(), y = b.get_object().value_unsafe();
    if (x.size() != y.size()) return path + ": fields " + shown(a) + " became " + shown(b);
    for (const auto field : x) {
      const auto other = y.at_key(field.key);
      if (other.error()) return path + ": no field " + std::string(field.key);
      const std::string sub = path.empty() ? std::string(field.key) : path + "." + std::string(field.key);
      if (auto d = firstDifference(field.value, other.value_unsafe(), sub)) return d;
    }
    return std::nullopt;
  }
  if (shown(a) != shown(b)) return path + ": " + shown(a) + " became " + shown(b);
  return std::nullopt;
}

class Golden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, EveryWidgetDrawsAsItsGolden) {
  const GoldenCase& c = GetParam();
  std::optional<WeekSnapshot> snapshot;
  if (*c.snapshot) {
    snapshot = decodeSnapshot(testing::readFile(fs::path(KORVEL_SOURCE_DIR) / c.snapshot));
    ASSERT_TRUE(snapshot) << c.snapshot;
  }
  const bool update = std::getenv("KORVEL_UPDATE_GOLDEN") != nullptr;
  simdjson::dom::parser parser, goldenParser;
  std::size_t drawnFiles = 0;
  for (const WidgetInfo& info : widgetCatalog()) {
    for (const WidgetFamily family : info.families) {
      for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        if (appearance == Appearance::dark && !c.dark) continue;
        RenderRequest request;
        request.kind = info.faceKind;
        request.family = family;
        request.entry = {kGenerated + c.hoursAfter * 3600, snapshot};
        request.appearance = appearance;
        request.format = RenderFormat::json;
        const RenderResult dump = renderWidget(request);
        ASSERT_FALSE(std::holds_alternative<Error>(dump)) << std::get<Error>(dump).describe();
        std::string drawn;
        canonical(parser.parse(std::get<std::string>(dump)).value(), drawn);
        drawn += '\n';

        const std::string file = std::string(rawValue(info.faceKind)) + "-" +
                                 std::string(familyName(family)) +
                                 (appearance == Appearance::dark ? "-dark" : "") + ".json";
        const fs::path path = kGolden / c.name / file;
        ++drawnFiles;
        if (update) {
          fs::create_directories(path.parent_path());
          testing::writeFile(path, drawn);
          continue;
        }
        ASSERT_TRUE(fs::exists(path)) << path << " is missing; KORVEL_UPDATE_GOLDEN=1 writes it";
        const std::string golden = testing::readFile(path);
        if (golden == drawn) continue;
        const element before = goldenParser.parse(golden).value();
        const auto difference = firstDifference(before, parser.parse(drawn).value(), "");
        if (difference) ADD_FAILURE() << c.name << "/" << file << ": " << *difference;
      }
    }
  }
  // A widget that stopped offering a family leaves its golden behind.
  const auto files = std::distance(fs::directory_iterator(kGolden / c.name), fs::directory_iterator());
  EXPECT_EQ(static_cast<std::size_t>(files), drawnFiles) << "golden files without a widget in " << c.name;
}

INSTANTIATE_TEST_SUITE_P(Snapshots, Golden, ::testing::ValuesIn(kCases), [](const auto& param) {
  std::string n = param.param.name;
  std::erase(n, '-');
  return n;
});

}  // namespace
}  // namespace korvel::host
