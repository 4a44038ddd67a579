// The text measurer contract, held by the fake that layout tests use and by Pango alike, and
// what only Pango must get right: drawing exactly what it measured, bounded work, its cache.
#include <cairo.h>
#include <glib.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "ui/pango/paint_text.h"
#include "ui/pango/pango_text_measurer.h"
#include "ui_test_support.h"

namespace korvel::ui {
namespace {

const TextMeasurer& pango() { return PangoTextMeasurer::shared(); }

TextRequest req(std::string s, double size, std::optional<double> width = std::nullopt, int limit = 0,
                std::optional<double> maxHeight = std::nullopt) {
  TextRequest r;
  r.runs.push_back(TextRunStyle{std::move(s), size, Weight::regular, Design::standard, false, Paint{"ink", 1}});
  r.width = width;
  r.maxHeight = maxHeight;
  r.lineLimit = limit;
  return r;
}

std::size_t count(const std::string& s, char c) { return static_cast<std::size_t>(std::count(s.begin(), s.end(), c)); }

// What layout relies on from any measurer. Rows marked Pango only need real fonts or test
// what only Pango has to guard against (the fake is handed clean, short texts).
TEST(TextMeasurer, Contract) {
  std::string keycaps = "a";  // one cluster far wider than its line: it cannot be broken
  for (int i = 0; i < 200; ++i) keycaps += "\u20E3";
  struct Case {
    const char* name;
    TextRequest request;
    int lines;
    bool truncated;
    const char* shown = nullptr;  // null: fonts decide where lines break
    bool pangoOnly = false;
  };
  const std::vector<Case> cases = {
      {"ideal: one line", req("Weekly limit", 12), 1, false, "Weekly limit"},
      {"explicit breaks only", req("a\nb\nc\nd", 10, 100), 4, false, "a\nb\nc\nd"},
      {"the limit counts across paragraphs", req("a\nb\nc\nd", 10, 100, 2), 2, true, "a\nb\u2026"},
      {"a limit of one cuts a wrapping text", req("alpha beta gamma delta", 10, 60, 1), 1, true},
      {"a height too small still shows one line", req("alpha beta gamma delta", 10, 60, 0, 5.0), 1, true},
      {"a long word in no width", req(std::string(100000, 'x'), 12, 0, 2), 2, true},
      {"empty", req("", 12, 100, 1), 1, false, ""},
      {"100000 characters on one line", req(std::string(100000, 'x'), 12, 364, 1), 1, true, nullptr, true},
      {"probed narrower than a glyph: at most 200 lines", req(std::string(4096, 'x'), 20, 0), 200, true, nullptr, true},
      {"under 200 lines: whole", req(std::string(150, 'x'), 20, 0), 150, false, nullptr, true},
      {"an unbreakable cluster is cut", req(keycaps, 12, 60, 1), 1, true, nullptr, true},
      {"an unbreakable cluster is cut without a limit too", req(keycaps, 12, 60), 1, true, nullptr, true},
      {"invalid UTF-8", req(std::string("ab\xff\xfe\xc3("), 12, 100), 1, false, nullptr, true},
  };
  const std::vector<std::pair<const char*, const TextMeasurer*>> measurers = {{"fake", &test::fake()}, {"pango", &pango()}};
  for (const auto& [who, measurer] : measurers) {
    for (const auto& c : cases) {
      if (c.pangoOnly && measurer != &pango()) continue;
      SCOPED_TRACE(testing::Message() << who << ": " << c.name);
      const TextMetrics m = measurer->measure(c.request);
      EXPECT_EQ(m.lines, c.lines);
      EXPECT_EQ(m.truncated, c.truncated);
      EXPECT_EQ(m.shown, c.shown ? c.shown : m.shown);
      EXPECT_TRUE(g_utf8_validate(m.shown.data(), static_cast<gssize>(m.shown.size()), nullptr));
      EXPECT_EQ(count(m.shown, '\n') + 1, static_cast<std::size_t>(m.lines));
      EXPECT_EQ(m.shown.ends_with(kEllipsis), m.truncated);
      EXPECT_EQ(m.appliedLineLimit, m.truncated ? m.lines : 0);
      const double width = c.request.width.value_or(kInfinity);
      EXPECT_LE(m.size.width, width > 0 ? width : kInfinity);
      EXPECT_GT(m.firstBaseline, 0);
      EXPECT_LE(m.firstBaseline, m.lastBaseline);
      EXPECT_LT(m.lastBaseline, m.size.height);
    }
  }
}

// Spaces hanging past a wrapped line show nothing and do not widen it; tabular digits all
// take one width.
TEST(PangoText, WidthIsWhatShows) {
  auto rounded = [](std::string s, std::optional<double> width) {
    TextRequest r = req(std::move(s), 28.9, width, 1);
    r.runs[0].weight = Weight::semibold;
    r.runs[0].design = Design::rounded;
    return pango().measure(r);
  };
  const double bare = rounded("#18 dolor", std::nullopt).size.width;
  const double spaced = rounded("#18 dolor ", std::nullopt).size.width;
  ASSERT_GT(spaced, bare + 1);
  const TextMetrics m = rounded("#18 dolor ", (bare + spaced) / 2);
  EXPECT_FALSE(m.truncated);
  EXPECT_EQ(m.shown, "#18 dolor");
  EXPECT_NEAR(m.size.width, bare, 1e-6);

  auto digits = [](const char* s, bool tabular) {
    TextRequest r = req(s, 13);
    r.runs[0].monospacedDigits = tabular;
    return pango().measure(r).size.width;
  };
  EXPECT_EQ(digits("1111", true), digits("0000", true));
  EXPECT_NE(digits("1111", false), digits("0000", false));
}

// Where a text op's ink lands when drawn alone on a white canvas at twice the scale, in points.
Rect inkOf(const Op& op) {
  constexpr int scale = 2, w = 280, h = 180;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  paintText(cr, op, [](const Paint&) { return Rgba{0, 0, 0, 1}; });
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  int x0 = w, y0 = h, x1 = -1, y1 = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const unsigned char* px = data + static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(x) * 4;
      if (px[0] + px[1] + px[2] > 3 * 200) continue;
      x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
    }
  cairo_surface_destroy(surface);
  if (x1 < 0) return {};
  return Rect{double(x0) / scale, double(y0) / scale, double(x1 + 1 - x0) / scale, double(y1 + 1 - y0) / scale};
}

// Each text drawn on its own lands inside the frame layout measured for it and fills it:
// drawing lays it out with the same runs, width and line limit.
TEST(PangoText, DrawnWhereMeasured) {
  struct Case {
    const char* name;
    View view;
    int lines;
  };
  const std::vector<Case> cases = {
      {"one line", text("Weekly limit reached").font(12), 1},
      {"wrapped and cut", text("A long line of text that wraps onto a second line and is then cut at its end").font(12).lineLimit(2), 2},
      {"mixed runs", text({TextRun{"12:05", Weight::semibold, std::nullopt, 16.0, Design::monospaced, std::nullopt},
                           TextRun{" left", std::nullopt, std::nullopt, std::nullopt, std::nullopt, true}}).font(11), 1},
      {"scaled to fit", text("Thursday afternoon").font(20).lineLimit(1).minimumScaleFactor(0.5), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DisplayList dl;
    layout(dl, c.view, Point{10, 10}, Size{120, 70}, pango());
    ASSERT_EQ(dl.ops.size(), 1u);
    const Op& op = dl.ops[0];
    EXPECT_EQ(op.text.lines, c.lines);
    const Rect ink = inkOf(op);
    const Rect& r = op.rect;
    // Inside the frame (a point for antialiasing and side bearings) ...
    EXPECT_GE(ink.x, r.x - 1);
    EXPECT_GE(ink.y, r.y - 1);
    EXPECT_LE(ink.x + ink.width, r.x + r.width + 1);
    EXPECT_LE(ink.y + ink.height, r.y + r.height + 1);
    // ... and reaching its far edge and its last line.
    EXPECT_GE(ink.x + ink.width, r.x + r.width - 2);
    EXPECT_GE(ink.y + ink.height, r.y + r.height * (c.lines - 0.5) / c.lines);
  }
}

// Pango's answers are kept process-wide: anything that changes a measurement must miss the
// cache, a colour alone must not.
TEST(PangoTextCache, MissesOnEverythingThatChangesAMeasurement) {
  const auto& measurer = PangoTextMeasurer::shared();
  measurer.clearCache();
  const TextRequest base = req("Weekly limit", 12, 80.0, 1);
  auto with = [&](auto change) {
    TextRequest r = base;
    change(r);
    return r;
  };
  const std::vector<std::pair<const char*, TextRequest>> different = {
      {"text", with([](TextRequest& r) { r.runs[0].text = "Weekly limiT"; })},
      {"size", with([](TextRequest& r) { r.runs[0].size = 12.5; })},
      {"weight", with([](TextRequest& r) { r.runs[0].weight = Weight::semibold; })},
      {"design", with([](TextRequest& r) { r.runs[0].design = Design::rounded; })},
      {"digits", with([](TextRequest& r) { r.runs[0].monospacedDigits = true; })},
      {"width", with([](TextRequest& r) { r.width = 81.0; })},
      {"ideal width", with([](TextRequest& r) { r.width.reset(); })},
      {"height", with([](TextRequest& r) { r.maxHeight = 20.0; })},
      {"line limit", with([](TextRequest& r) { r.lineLimit = 2; })},
      {"run boundary", with([](TextRequest& r) {
         r.runs = {r.runs[0], r.runs[0]};
         r.runs[0].text = "Weekly", r.runs[1].text = " limit";
       })},
  };
  measurer.measure(base);
  for (const auto& [what, request] : different) {
    const std::size_t misses = measurer.cacheStats().misses;
    measurer.measure(request);
    EXPECT_EQ(measurer.cacheStats().misses, misses + 1) << what;
  }
  TextRequest recoloured = base;
  recoloured.runs[0].color = Paint{"red", 0.5};
  const std::size_t hits = measurer.cacheStats().hits;
  EXPECT_EQ(measurer.measure(recoloured).shown, measurer.measure(base).shown);
  EXPECT_EQ(measurer.cacheStats().hits, hits + 2);
}

}  // namespace
}  // namespace korvel::ui
