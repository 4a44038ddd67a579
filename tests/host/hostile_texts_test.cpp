// Texts from the snapshot are data, never instructions: Pango markup is drawn as the characters
// it is made of, and no text can change where a widget links to or which files the gallery
// writes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include <boost/describe/members.hpp>
#include <boost/mp11/algorithm.hpp>

#include "host/cli/gallery_command.h"
#include "host/render/render_widget.h"
#include "snapshot/decode.h"
#include "snapshot/loading.h"
#include "ui/pango/text_layout.h"

namespace korvel::host {
namespace {

namespace fs = std::filesystem;

constexpr double kNow = 1749750127;  // an hour after the sample was generated

WeekSnapshot sample() {
  auto s = loadSnapshotAt(fs::path(KORVEL_SOURCE_DIR) / "examples/week.json");
  EXPECT_TRUE(s.has_value());
  return s.value_or(WeekSnapshot{});
}

// Sets every text of a value, however deeply nested in records, lists and optionals, to `text`.
template <class T>
void setEveryText(T& value, const std::string& text) {
  if constexpr (std::is_same_v<T, std::string>) {
    value = text;
  } else if constexpr (std::is_arithmetic_v<T>) {
    // numbers and flags stay
  } else if constexpr (requires { value.has_value(); }) {
    if (value.has_value()) setEveryText(*value, text);
  } else if constexpr (requires { value.begin(); }) {
    for (auto& element : value) setEveryText(element, text);
  } else {
    boost::mp11::mp_for_each<boost::describe::describe_members<T, boost::describe::mod_public>>(
        [&](auto member) { setEveryText(value.*member.pointer, text); });
  }
}

TEST(HostileTexts, EveryTextCanBeReplaced) {
  WeekSnapshot s = sample();
  setEveryText(s, "Q");
  const std::string json = encodeSnapshot(s);
  // The only texts left in the encoding are the replacements (and the keys).
  const auto decoded = decodeSnapshot(json);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(decoded->autonomy.lines.at(0).strong, "Q");
  EXPECT_EQ(decoded->days, std::vector<std::string>(7, "Q"));
  EXPECT_EQ(decoded->now.runs.at(0).name, "Q");
  EXPECT_EQ(decoded->limits.meters.at(0).engine, "Q");
  EXPECT_EQ(json.find("Without you"), std::string::npos);
  EXPECT_EQ(json.find("Mon"), std::string::npos);
}

// ---- markup ----

std::vector<ui::Op> textOps(const ui::DisplayList& list, const std::string& text) {
  std::vector<ui::Op> out;
  for (const ui::Op& op : list.ops) {
    if (op.op == ui::OpKind::text && op.text.text == text) out.push_back(op);
  }
  return out;
}

// Every text of the snapshot is markup, so every widget shows some.
TEST(HostileTexts, MarkupIsDrawnVerbatim) {
  const std::string markup = "<b>x</b>&amp;";
  WeekSnapshot s = sample();
  setEveryText(s, markup);

  std::size_t widgets = 0;
  for (const WidgetInfo& info : widgetCatalog()) {
    for (const WidgetFamily family : info.families) {
      SCOPED_TRACE(std::string(info.kind) + " " + std::string(familyName(family)));
      ++widgets;
      RenderRequest request;
      request.kind = info.faceKind;
      request.family = family;
      request.entry = {kNow, s};
      const LaidOutWidget widget = layoutWidget(request);

      const std::vector<ui::Op> ops = textOps(widget.list, markup);
      std::size_t whole = 0;
      for (const ui::Op& op : ops) {
        // What the reader sees: the characters themselves (perhaps wrapped over lines), or
        // their start cut with an ellipsis where the space runs out; never "x&" in bold.
        std::string shown;
        for (const char c : op.text.shown) {
          if (c != '\n') shown += c;
        }
        if (shown == markup) {
          ++whole;
        } else {
          ASSERT_TRUE(shown.ends_with(ui::kEllipsis)) << op.text.shown;
          const std::string kept = shown.substr(0, shown.size() - std::strlen(ui::kEllipsis));
          EXPECT_TRUE(markup.starts_with(kept)) << op.text.shown;
        }
        // Laid out again the way the painter does: Pango holds the same characters, unparsed.
        ui::TextRequest again;
        again.runs = op.text.runs;
        if (std::isfinite(op.text.wrapWidth)) again.width = op.text.wrapWidth;
        again.lineLimit = op.text.lineLimit;
        const ui::pango::BuiltText built = ui::pango::buildText(again, nullptr);
        EXPECT_STREQ(pango_layout_get_text(built.full.get()), markup.c_str());
        EXPECT_EQ(pango_layout_get_character_count(built.full.get()),
                  static_cast<int>(markup.size()));
      }
      EXPECT_GE(whole, 1u);  // somewhere on each widget it shows in full
    }
  }
  EXPECT_EQ(widgets, 19u);
}

// ---- links and files ----

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "korvel-hostile-XXXXXX").string();
    EXPECT_NE(mkdtemp(pattern.data()), nullptr);
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

class NoLookups final : public PlatformLookups {
 public:
  explicit NoLookups(fs::path folder) : folder_(std::move(folder)) {}
  std::optional<fs::path> groupContainer(std::string_view) const override { return folder_; }
  fs::path homeFolder() const override { return folder_; }
  std::optional<BundleValue> bundleValue(std::string_view) const override { return std::nullopt; }

 private:
  fs::path folder_;
};

const char* const kOddTexts[] = {
    "korvel://week/now",
    "../../../../tmp/escaped",
    "/etc/passwd",
    "a\"b'c<d>e&f",
    "<script>alert(1)</script>",
    "line\nbreak\ttab\r",
    "week?x=1#frag %2e%2e%2f",
};

TEST(HostileTexts, LinksComeFromTheFaceKindAlone) {
  for (const char* odd : kOddTexts) {
    SCOPED_TRACE(odd);
    WeekSnapshot s = sample();
    setEveryText(s, odd);
    for (const bool off : {false, true}) {
      s.off = off;
      for (const WidgetInfo& info : widgetCatalog()) {
        for (const WidgetFamily family : info.families) {
          const PlacedWidget placed = placeWidget(info.faceKind, family, {kNow, s}, TimeFormat());
          EXPECT_EQ(placed.url, "korvel://week/" + std::string(rawValue(info.faceKind)));
          const PlacedWidget empty =
              placeWidget(info.faceKind, family, {kNow, std::nullopt}, TimeFormat());
          EXPECT_EQ(placed.url, empty.url);
          EXPECT_EQ(placed.label, odd);  // the label does carry the snapshot's text
        }
      }
    }
  }
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The gallery names its files and links after the widgets alone: a snapshot full of paths, URLs
// and markup writes the same files as an empty one, nowhere else, and its texts come out escaped.
TEST(HostileTexts, GalleryFilesAndLinksIgnoreTheTexts) {
  ScratchFolder dir;
  const auto filesOf = [](const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      names.insert(fs::relative(entry.path(), folder).string());
    }
    return names;
  };

  std::ostringstream out, err;
  const NoLookups lookups(dir.path() / "nothing-here");
  ASSERT_EQ(runGallery({"", kNow, (dir.path() / "plain").string()}, TimeSettings{}, lookups, out,
                       err),
            0)
      << err.str();
  const std::set<std::string> plainFiles = filesOf(dir.path() / "plain");
  ASSERT_EQ(plainFiles.size(), 39u);

  // Drawing a whole gallery is not cheap: the three texts most likely to end up in a path or
  // break the page.
  const char* const oddTexts[] = {"../../../../tmp/escaped", "a\"b'c<d>e&f",
                                  "<script>alert(1)</script>"};
  for (std::size_t i = 0; i < std::size(oddTexts); ++i) {
    const char* odd = oddTexts[i];
    SCOPED_TRACE(odd);
    WeekSnapshot s = sample();
    setEveryText(s, odd);
    const fs::path input = dir.path() / ("odd-" + std::to_string(i) + ".json");
    std::ofstream(input, std::ios::binary) << encodeSnapshot(s);
    const fs::path output = dir.path() / ("out-" + std::to_string(i));
    ASSERT_EQ(runGallery({input.string(), kNow, output.string()}, TimeSettings{}, lookups, out, err),
              0)
        << err.str();
    EXPECT_EQ(filesOf(output), plainFiles);

    const std::string html = readFile(output / "index.html");
    EXPECT_EQ(html.find("<script"), std::string::npos);
    const std::string alt = "alt=\"" + escapeHtml(odd) + "\"";
    std::size_t labels = 0;
    for (std::size_t at = 0; (at = html.find(alt, at)) != std::string::npos; ++at) ++labels;
    EXPECT_EQ(labels, 38u);  // every image speaks the odd text, escaped
    std::set<std::string> links;
    std::size_t linkCount = 0;
    for (std::size_t at = 0; (at = html.find("<a href=\"", at)) != std::string::npos; ++at) {
      const std::size_t begin = at + 9;
      links.insert(html.substr(begin, html.find('"', begin) - begin));
      ++linkCount;
    }
    EXPECT_EQ(linkCount, 38u);
    std::set<std::string> faceLinks;
    for (const WeekFaceKind kind : allWeekFaceKinds) faceLinks.insert(deepLinkURL(kind));
    EXPECT_EQ(links, faceLinks);
  }
}

}  // namespace
}  // namespace korvel::host
