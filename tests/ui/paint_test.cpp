// Drawing helpers: texts drawn as measured, the clock symbol, shape outlines.
#include <cairo.h>

#include <cmath>
#include <cstdlib>

#include "ui/pango/paint_text.h"
#include "ui/pango/pango_text_measurer.h"
#include "ui/shape_path.h"
#include "ui_test_support.h"

namespace korvel::ui {
namespace {

Rgba colourOf(const Paint& p) {
  Rgba c{0.1, 0.1, 0.1, 1};
  if (p.color == "lime") c = {0.5, 0.8, 0.1, 1};
  if (p.color == "amber") c = {0.9, 0.6, 0.1, 1};
  if (p.color == "paper") c = {0.98, 0.97, 0.94, 1};
  c[3] *= p.opacity;
  return c;
}

// A minimal raster backend over the display list, enough to look at what layout produced.
cairo_surface_t* draw(const DisplayList& dl, Size size, double scale) {
  auto* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(size.width * scale),
                                             static_cast<int>(size.height * scale));
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  for (const auto& op : dl.ops) {
    const Rgba c = colourOf(op.paint);
    switch (op.op) {
      case OpKind::fill:
      case OpKind::stroke:
        cairo_new_path(cr);
        tracePath(cr, shapeOutline(op.rect, op.shape));
        cairo_set_source_rgba(cr, c[0], c[1], c[2], c[3]);
        if (op.op == OpKind::fill) {
          cairo_fill(cr);
        } else {
          cairo_set_line_width(cr, op.stroke.lineWidth);
          if (!op.stroke.dash.empty())
            cairo_set_dash(cr, op.stroke.dash.data(), static_cast<int>(op.stroke.dash.size()), op.stroke.dashPhase);
          cairo_stroke(cr);
          cairo_set_dash(cr, nullptr, 0, 0);
        }
        break;
      case OpKind::text: paintText(cr, op, colourOf); break;
      case OpKind::symbol: paintSymbol(cr, op, c); break;
      case OpKind::clip:
        cairo_save(cr);
        cairo_new_path(cr);
        tracePath(cr, shapeOutline(op.rect, op.shape));
        cairo_clip(cr);
        break;
      case OpKind::unclip: cairo_restore(cr); break;
    }
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  return surface;
}

// Darkest pixel's luminance inside a rect (points), to tell whether ink landed there.
double inkIn(cairo_surface_t* s, Rect r, double scale) {
  const int stride = cairo_image_surface_get_stride(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  double darkest = 255;
  for (int y = static_cast<int>(r.y * scale); y < static_cast<int>((r.y + r.height) * scale); ++y)
    for (int x = static_cast<int>(r.x * scale); x < static_cast<int>((r.x + r.width) * scale); ++x) {
      const unsigned char* px = data + y * stride + x * 4;
      darkest = std::min(darkest, (px[0] + px[1] + px[2]) / 3.0);
    }
  return darkest;
}

View sample() {
  return vstack(HAlign::leading, 6, {
      hstack(VAlign::center, 4, {symbol("clock"), text("App closed \u00b7 3 hr. ago")}).foreground(Paint{"amber", 1}).font(11, Weight::medium),
      hstack(VAlign::lastTextBaseline, 0, {text("1234").font(40, Weight::bold, Design::rounded),
                                           text("h").font(18.4, Weight::bold, Design::rounded).foreground(Paint{"ink", 0.5})})
          .lineLimit(1).minimumScaleFactor(0.6),
      text("A long line of text that wraps onto a second line and is then cut with an ellipsis at its end, because it goes on and on for a while").font(12).lineLimit(2),
      text({TextRun{"12:05", Weight::semibold, Paint{"lime", 1}, std::nullopt, Design::monospaced, std::nullopt},
            TextRun{"  tnum 1111", std::nullopt, std::nullopt, std::nullopt, std::nullopt, true}}).font(12),
      hstack(VAlign::center, 6, {roundedRectangle(10).fill(Paint{"lime", 1}).frame(60, 28),
                                 capsule().fill(Paint{"amber", 1}).frame(40, 14),
                                 circle().stroke(Paint{"ink", 1}, StrokeStyle{.lineWidth = 2, .dash = {3, 2}}).frame(20, 20)}),
  }).padding(Edges::all(), 16);
}

TEST(Paint, SampleDrawsWhereLayoutPutIt) {
  const Size size{364, 220};
  LayoutStats stats;
  auto dl = layout(sample(), size, PangoTextMeasurer::shared(), &stats);
  auto* surface = draw(dl, size, 2);
  if (const char* out = std::getenv("KORVEL_UI_PNG")) cairo_surface_write_to_png(surface, out);
  for (const auto& op : dl.ops) {
    if (op.op != OpKind::text && op.op != OpKind::symbol) continue;
    SCOPED_TRACE(op.text.shown);
    EXPECT_LT(inkIn(surface, op.rect, 2), 160);  // ink inside the frame
    // ... and none just right of a text with nothing beside it (drawn as measured).
    if (op.text.lines == 2) {
      EXPECT_EQ(inkIn(surface, Rect{op.rect.x + op.rect.width + 1, op.rect.y, 2, op.rect.height}, 2), 255);
    }
  }
  cairo_surface_destroy(surface);
  auto texts = test::opsOf(dl, OpKind::text);
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(texts[3].text.lines, 2);
  EXPECT_EQ(texts[3].text.shown.substr(texts[3].text.shown.size() - 3), "\u2026");
}

TEST(Paint, SymbolSitsOnTheTextLine) {
  auto dl = layout(hstack(VAlign::firstTextBaseline, 3, {symbol("clock"), text("Hx")}).font(10), Size{100, 50},
                   PangoTextMeasurer::shared());
  ASSERT_EQ(dl.ops.size(), 2u);
  const Op& sym = dl.ops[0];
  EXPECT_EQ(sym.op, OpKind::symbol);
  EXPECT_EQ(sym.symbol, "clock");
  EXPECT_EQ(sym.rect.width, 10);
  EXPECT_EQ(sym.rect.height, 10);
  // Centred on the capitals: its middle is half a cap height above the baseline.
  EXPECT_NEAR(sym.rect.y + 5, dl.ops[1].text.baseline - 7.27 / 2, 0.05);
  EXPECT_EQ(dl.ops[1].rect.x, 13);
}

TEST(ShapePath, ContinuousCornerNumbers) {
  // Radius 10 in a 100 x 50 rect: starts 15.29 in from the corner on each edge.
  auto p = roundedRectOutline(Rect{0, 0, 100, 50}, {10, 10, 10, 10}, CornerStyle::continuous);
  ASSERT_EQ(p.front().kind, PathSegment::Kind::move);
  EXPECT_NEAR(p.front().to.x, 15.2866483, 1e-6);
  EXPECT_EQ(p.front().to.y, 0);
  EXPECT_NEAR(p[1].to.x, 100 - 15.2866483, 1e-6);
  EXPECT_NEAR(p[2].to.x, 100 - 6.6993427, 1e-6);
  EXPECT_NEAR(p[2].to.y, 0.6549600, 1e-6);
  EXPECT_NEAR(p[5].to.x, 100, 1e-9);
  EXPECT_NEAR(p[5].to.y, 15.2866483, 1e-6);
  EXPECT_EQ(p.back().kind, PathSegment::Kind::close);
  EXPECT_EQ(p.size(), 2u + 4 * 5);
}

TEST(ShapePath, CornerFallsBackToCircularAtHalfTheShorterSide) {
  struct Case {
    CornerRadii radii;
    CornerStyle style;
    std::size_t segments;
    double startX;
  };
  const std::vector<Case> cases = {
      {{25, 25, 25, 25}, CornerStyle::continuous, 2 + 4 * 2, 25},      // capsule-like: arcs
      {{99, 99, 99, 99}, CornerStyle::continuous, 2 + 4 * 2, 25},      // clamped to half
      {{20, 20, 20, 20}, CornerStyle::continuous, 2 + 4 * 5, 25},      // reach limited to half
      {{10, 10, 10, 10}, CornerStyle::circular, 2 + 4 * 2, 10},
      {{0, 5, 0, 0}, CornerStyle::circular, 2 + 3 + 2, 0},
  };
  for (const auto& c : cases) {
    auto p = roundedRectOutline(Rect{0, 0, 100, 50}, c.radii, c.style);
    EXPECT_EQ(p.size(), c.segments);
    EXPECT_NEAR(p.front().to.x, c.startX, 1e-6);
  }
  auto circleArc = roundedRectOutline(Rect{0, 0, 20, 20}, {10, 10, 10, 10}, CornerStyle::circular);
  EXPECT_NEAR(circleArc[2].c1.x, 10 + 10 * 0.5522847498, 1e-9);  // quarter-circle control distance
}

TEST(ShapePath, OutlinesOfEveryKind) {
  ShapeGeometry path{ShapeKind::path, {}, CornerStyle::circular, {{1, 2}, {3, 4}, {5, 0}}, false};
  auto p = shapeOutline(Rect{0, 0, 10, 10}, path);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[2].to, (Point{5, 0}));
  path.closed = true;
  EXPECT_EQ(shapeOutline(Rect{}, path).back().kind, PathSegment::Kind::close);
  auto c = shapeOutline(Rect{0, 0, 40, 20}, ShapeGeometry{ShapeKind::circle});
  EXPECT_NEAR(c.front().to.x, 20, 1e-9);  // inscribed, centred: starts at the top middle
  EXPECT_NEAR(c.front().to.y, 0, 1e-9);
  EXPECT_EQ(shapeOutline(Rect{0, 0, 40, 20}, ShapeGeometry{ShapeKind::rect}).size(), 6u);
  auto bad = shapeOutline(Rect{std::nan(""), 0, kInfinity, -5}, ShapeGeometry{ShapeKind::roundedRect, {4, 4, 4, 4}});
  for (const auto& s : bad) EXPECT_TRUE(std::isfinite(s.to.x) && std::isfinite(s.to.y));
}

}  // namespace
}  // namespace korvel::ui
