// The text measurer contract, held by the fake that layout tests use and by Pango alike, and
// what only Pango must get right: drawing exactly what it measured, bounded work, its cache.
// Here rather than with the toolkit's tests: Pango measures with the product's fonts.
#include <cairo.h>
#include <glib.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "host/render/product_fonts.h"
#include "host/render/text_painter.h"
#include "ui/pango/pango_text_measurer.h"
#include "ui/pango/text_layout.h"
#include "ui/ui_test_support.h"

namespace korvel::ui::test {
namespace {

const TextMeasurer& pango() { return host::productTextMeasurer(); }
// Tests that reach below the measurer (Pango's context, the shared layouts) need the fonts too.
[[maybe_unused]] const bool kFontsReady = (host::useProductFonts(), true);

TextRequest req(std::string s, double size, std::optional<double> width = std::nullopt, int limit = 0,
                std::optional<double> maxHeight = std::nullopt) {
  return {{TextRunStyle{.text = std::move(s), .size = size, .color = Paint{"ink", 1}}}, width, maxHeight, limit};
}

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
  const std::vector<std::pair<const char*, const TextMeasurer*>> measurers = {{"fake", &fake()}, {"pango", &pango()}};
  for (const auto& [who, measurer] : measurers) {
    for (const auto& c : cases) {
      if (c.pangoOnly && measurer != &pango()) continue;
      SCOPED_TRACE(::testing::Message() << who << ": " << c.name);
      const TextMetrics m = measurer->measure(c.request);
      EXPECT_EQ(m.lines, c.lines);
      EXPECT_EQ(m.truncated, c.truncated);
      EXPECT_EQ(m.shown, c.shown ? c.shown : m.shown);
      EXPECT_TRUE(g_utf8_validate(m.shown.data(), static_cast<gssize>(m.shown.size()), nullptr));
      EXPECT_EQ(std::ranges::count(m.shown, '\n') + 1, m.lines);
      EXPECT_EQ(m.shown.ends_with(kEllipsis), m.truncated);
      EXPECT_EQ(m.appliedLineLimit, m.truncated ? m.lines : 0);
      EXPECT_LE(m.size.width, c.request.width > 0 ? *c.request.width : kInfinity);
      EXPECT_GT(m.firstBaseline, 0);
      EXPECT_LE(m.firstBaseline, m.lastBaseline);
      EXPECT_LT(m.lastBaseline, m.size.height);
    }
  }
}

// Spaces hanging past a wrapped line show nothing and do not widen it; tabular digits all
// take one width.
TEST(PangoText, WidthIsWhatShows) {
  auto rounded = [](const char* s, std::optional<double> width) {
    return pango().measure({{{.text = s, .size = 28.9, .weight = Weight::semibold, .design = Design::rounded}}, width, std::nullopt, 1});
  };
  const double bare = rounded("#18 dolor", std::nullopt).size.width;
  const double spaced = rounded("#18 dolor ", std::nullopt).size.width;
  ASSERT_GT(spaced, bare + 1);
  const TextMetrics m = rounded("#18 dolor ", (bare + spaced) / 2);
  EXPECT_FALSE(m.truncated);
  EXPECT_EQ(m.shown, "#18 dolor");
  EXPECT_NEAR(m.size.width, bare, 1e-6);

  auto digits = [](const char* s, bool tabular) {
    return pango().measure({{{.text = s, .size = 13, .monospacedDigits = tabular}}}).size.width;
  };
  EXPECT_EQ(digits("1111", true), digits("0000", true));
  EXPECT_NE(digits("1111", false), digits("0000", false));
}

// Where a text op's ink lands when drawn alone on a white canvas at twice the scale, in points.
Rect inkOf(const DrawText& op) {
  constexpr int scale = 2, w = 280, h = 180;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  host::paintText(cr, op, [](const Paint&) { return std::array<double, 4>{0, 0, 0, 1}; });
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  int x0 = w, y0 = h, x1 = -1, y1 = -1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (const unsigned char* px = data + y * stride + x * 4; px[0] + px[1] + px[2] <= 3 * 200)
        x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
  cairo_surface_destroy(surface);
  if (x1 < 0) return {};
  return Rect{double(x0) / scale, double(y0) / scale, double(x1 + 1 - x0) / scale, double(y1 + 1 - y0) / scale};
}

// Each text drawn on its own lands inside the frame layout measured for it and fills it:
// drawing lays it out with the same runs, width and line limit.
// Scripts our faces lack draw in the system's fonts (the test set-up installs a CJK fallback).
TEST(PangoText, ScriptsOurFacesLackUseTheSystemsFonts) {
  for (const char* name : {"テストを修正", "مراجعة الشيفرة"}) {
    PangoLayout* layout = pango_layout_new(pango::sharedContext());
    PangoFontDescription* font = pango_font_description_from_string("Inter 12");
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, name, -1);
    EXPECT_EQ(pango_layout_get_unknown_glyphs_count(layout), 0) << name;
    pango_font_description_free(font);
    g_object_unref(layout);
  }
}

// The rounded face's figures stand evenly apart: the gaps between the inks of adjacent digits agree.
TEST(PangoText, RoundedDigitsAreEvenlySpaced) {
  TextRequest r;
  r.runs = {TextRunStyle{.text = "1184120479", .size = 100, .weight = Weight::semibold, .design = Design::rounded}};
  const pango::BuiltText t = pango::buildText(r, nullptr);
  PangoLayoutIter* it = pango_layout_get_iter(t.lines.front().layout);
  std::vector<int> gaps;
  for (int right = -1; right == -1 || pango_layout_iter_next_cluster(it);) {
    PangoRectangle ink;
    pango_layout_iter_get_cluster_extents(it, &ink, nullptr);
    if (right != -1) gaps.push_back(ink.x - right);
    right = ink.x + ink.width;
  }
  pango_layout_iter_free(it);
  ASSERT_EQ(gaps.size(), 9u);
  const auto [least, most] = std::minmax_element(gaps.begin(), gaps.end());
  EXPECT_LE(*most - *least, *least / 5) << *least << " to " << *most;
}

TEST(PangoText, DrawnWhereMeasured) {
  const std::vector<std::tuple<const char*, View, int>> cases = {
      {"one line", text("Weekly limit reached").font(12), 1},
      {"wrapped and cut", text("A long line of text that wraps onto a second line and is then cut at its end").font(12).lineLimit(2), 2},
      {"mixed runs", text({TextRun{"12:05", Weight::semibold, std::nullopt, 16.0, Design::monospaced, std::nullopt},
                           TextRun{" left", std::nullopt, std::nullopt, std::nullopt, std::nullopt, true}}).font(11), 1},
      {"scaled to fit", text("Thursday afternoon").font(20).lineLimit(1).minimumScaleFactor(0.5), 1},
  };
  for (const auto& [name, view, lines] : cases) {
    SCOPED_TRACE(name);
    DisplayList dl;
    layout(dl, view, Point{10, 10}, Size{120, 70}, pango());
    ASSERT_EQ(dl.ops.size(), 1u);
    const DrawText& op = std::get<DrawText>(dl.ops[0]);
    EXPECT_EQ(op.text.lines, lines);
    const Rect ink = inkOf(op);
    const Rect& r = op.rect;
    // Inside the frame (a point for antialiasing and side bearings), reaching its far edge and its last line.
    EXPECT_GE(ink.x, r.x - 1);
    EXPECT_GE(ink.y, r.y - 1);
    EXPECT_NEAR(ink.x + ink.width, r.x + r.width - 0.5, 1.5);
    EXPECT_LE(ink.y + ink.height, r.y + r.height + 1);
    EXPECT_GE(ink.y + ink.height, r.y + r.height * (lines - 0.5) / lines);
  }
}

// Pango's answers are kept process-wide: anything that changes a measurement must miss the
// cache, a colour alone must not.
TEST(PangoTextCache, MissesOnEverythingThatChangesAMeasurement) {
  const auto& measurer = host::productTextMeasurer();
  measurer.clearCache();
  const TextRequest base = req("Weekly limit", 12, 80.0, 1);
  auto with = [&](auto change) { TextRequest r = base; change(r); return r; };
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
      {"run boundary", with([](TextRequest& r) { r.runs = {req("Weekly", 12).runs[0], req(" limit", 12).runs[0]}; })},
  };
  measurer.measure(base);
  for (const auto& [what, request] : different) {
    const std::size_t misses = measurer.cacheStats().misses;
    measurer.measure(request);
    EXPECT_EQ(measurer.cacheStats().misses, misses + 1) << what;
  }
  const TextRequest recoloured = with([](TextRequest& r) { r.runs[0].color = Paint{"red", 0.5}; });
  const std::size_t hits = measurer.cacheStats().hits;
  EXPECT_EQ(measurer.measure(recoloured).shown, measurer.measure(base).shown);
  EXPECT_EQ(measurer.cacheStats().hits, hits + 2);
}

}  // namespace
}  // namespace korvel::ui::test
