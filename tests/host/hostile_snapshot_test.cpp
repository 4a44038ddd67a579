// Every widget in every family it offers, in light and dark, drawn from hostile but valid
// snapshots: the work is bounded in counts, everything drawn stays inside the widget, the display
// list holds only finite numbers and palette colours, visible texts are valid UTF-8 within the
// text cap, and Cairo draws the list without entering an error state.
#include "host/hostile_snapshot.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <memory>
#include <string>
#include <variant>

#include "host/render/cairo_painter.h"
#include "host/render/render_widget.h"
#include "host/widget_container.h"
#include "kit/palette.h"
#include "snapshot/decode.h"
#include "ui/layout.h"
#include "ui/pango/pango_text_measurer.h"
#include "ui/utf8.h"

namespace korvel::host {
namespace {

using hostile::Theme;

// Bounds per widget and family (appearance does not change the layout). The most any widget
// needed over every case here: 204 ops, 73 texts, 144 measure calls, 7 401 node measures and
// 66 x kMaxTextBytes handed to the text engine. A face that walked a 10 000-element list or
// measured 100 000 characters whole passes these by far.
constexpr std::size_t kMaxOps = 300;
constexpr std::size_t kMaxTextsMeasured = 120;
constexpr std::size_t kMaxMeasureCalls = 300;
constexpr std::size_t kMaxNodeMeasures = 12000;
constexpr std::size_t kMaxBytesMeasured = 96 * ui::kMaxTextBytes;
// A visible text: the capped text, a cut ellipsis on top of the cap's, and a line break per
// drawn line.
constexpr std::size_t kEllipsisBytes = 3;

struct CaseSpec {
  Theme theme;
  std::uint64_t seed;
};

std::string caseName(const CaseSpec& c) {
  return std::string(hostile::themeName(c.theme)) + "_" + std::to_string(c.seed);
}

bool finite(double v) { return std::isfinite(v); }

constexpr double kNoBottom = std::numeric_limits<double>::max();

bool inside(const ui::Rect& r, ui::Size size) {
  constexpr double e = 1e-6;
  return r.x >= -e && r.y >= -e && r.x + r.width <= size.width + e &&
         r.y + r.height <= size.height + e;
}

// The most a case needed, per counter, over all its widgets.
struct Observed {
  std::size_t ops = 0, texts = 0, calls = 0, nodes = 0, bytes = 0, shown = 0;
  void add(const ui::LayoutStats& s) {
    ops = std::max(ops, s.opsEmitted);
    texts = std::max(texts, s.textsMeasured);
    calls = std::max(calls, s.measureCalls);
    nodes = std::max(nodes, s.nodeMeasures);
    bytes = std::max(bytes, s.bytesMeasured);
  }
};

// Checks one op; `clipped` says whether a clip inside the widget is active around it, `where`
// names the widget in failure messages.
void checkOp(const ui::Op& op, ui::Size size, bool clipped, const std::string& where,
             Observed& observed) {
  const ui::Rect& r = op.rect;
  ASSERT_TRUE(finite(r.x) && finite(r.y) && finite(r.width) && finite(r.height)) << where;
  EXPECT_GE(r.width, 0) << where;
  EXPECT_GE(r.height, 0) << where;
  if (op.op == ui::OpKind::unclip) return;

  // Inside the widget; a stroke's ink may reach half its line width past its frame.
  double tolerance = 1e-6;
  if (op.op == ui::OpKind::stroke) {
    ASSERT_TRUE(finite(op.stroke.lineWidth) && finite(op.stroke.miterLimit) &&
                finite(op.stroke.dashPhase))
        << where;
    for (const double d : op.stroke.dash) ASSERT_TRUE(finite(d)) << where;
    tolerance += op.stroke.lineWidth / 2;
  }
  // Texts are cut and bars stay in their areas; a list longer than the widget runs past the
  // bottom and a meter over its limit past its track, but only under a clip that ends there.
  const double bottom = clipped ? kNoBottom : size.height + tolerance;
  const double right = clipped ? kNoBottom : size.width + tolerance;
  EXPECT_GE(r.x, -tolerance) << where << " op " << static_cast<int>(op.op);
  EXPECT_GE(r.y, -tolerance) << where << " op " << static_cast<int>(op.op);
  EXPECT_LE(r.x + r.width, right)
      << where << " op " << static_cast<int>(op.op) << " x " << r.x << " width " << r.width;
  EXPECT_LE(r.y + r.height, bottom)
      << where << " op " << static_cast<int>(op.op) << " y " << r.y << " height " << r.height;
  for (const double radius : op.shape.radii) ASSERT_TRUE(finite(radius)) << where;
  for (const ui::Point& p : op.shape.points) {
    ASSERT_TRUE(finite(p.x) && finite(p.y)) << where;
    EXPECT_TRUE(p.x >= -tolerance && p.x <= right && p.y >= -tolerance &&
                p.y <= bottom)
        << where << " path point " << p.x << "," << p.y;
  }

  // Colours: palette names with finite opacities, finite once resolved in both appearances.
  auto checkPaint = [&](const ui::Paint& paint) {
    ASSERT_TRUE(finite(paint.opacity) && paint.opacity >= 0 && paint.opacity <= 1) << where;
    EXPECT_NE(findPaletteColor(paint.color), nullptr) << where << " colour " << paint.color;
    for (const Appearance a : {Appearance::light, Appearance::dark}) {
      const Rgba c = resolve(paint, a);
      ASSERT_TRUE(finite(c.r) && finite(c.g) && finite(c.b) && finite(c.a)) << where;
    }
  };
  if (op.op != ui::OpKind::clip && op.op != ui::OpKind::text) checkPaint(op.paint);

  if (op.op == ui::OpKind::text) {
    const ui::TextContent& t = op.text;
    ASSERT_TRUE(finite(t.baseline)) << where;
    // Finite, or +infinity for a text laid out one line per paragraph.
    EXPECT_TRUE(t.wrapWidth >= 0 && (finite(t.wrapWidth) || t.wrapWidth == ui::kInfinity)) << where;
    EXPECT_GE(t.lines, 0) << where;
    EXPECT_EQ(ui::validUtf8(t.shown), t.shown) << where;
    EXPECT_EQ(ui::validUtf8(t.text), t.text) << where;
    const auto lines = static_cast<std::size_t>(std::max(t.lines, 1));
    EXPECT_LE(t.shown.size(), ui::kMaxTextBytes + 2 * kEllipsisBytes + lines - 1)
        << where << " shows " << t.shown.size() << " bytes on " << t.lines << " lines";
    observed.shown = std::max(observed.shown, t.shown.size());
    std::size_t runBytes = 0;
    for (const ui::TextRunStyle& run : t.runs) {
      ASSERT_TRUE(finite(run.size) && run.size > 0) << where;
      checkPaint(run.color);
      runBytes += run.text.size();
    }
    EXPECT_LE(runBytes, ui::kMaxTextBytes + kEllipsisBytes) << where;
  }
}

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};

// Paints the list at two pixels per point; the paper under everything makes the centre opaque.
void paintAndCheck(const ui::DisplayList& list, ui::Size size, Appearance appearance,
                   const std::string& where) {
  const int width = static_cast<int>(size.width * 2), height = static_cast<int>(size.height * 2);
  std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface{
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)};
  ASSERT_EQ(cairo_surface_status(surface.get()), CAIRO_STATUS_SUCCESS);
  {
    std::unique_ptr<cairo_t, ContextDeleter> cr{cairo_create(surface.get())};
    cairo_scale(cr.get(), 2, 2);
    paintDisplayList(cr.get(), list, appearance);
    ASSERT_EQ(cairo_status(cr.get()), CAIRO_STATUS_SUCCESS)
        << where << ": " << cairo_status_to_string(cairo_status(cr.get()));
  }
  cairo_surface_flush(surface.get());
  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  const auto* centre = reinterpret_cast<const std::uint32_t*>(data + (height / 2) * stride) + width / 2;
  EXPECT_EQ(*centre >> 24, 0xFFu) << where << " " << name(appearance);
}

class HostileSnapshot : public ::testing::TestWithParam<CaseSpec> {};

TEST_P(HostileSnapshot, EveryWidgetLaysOutAndDrawsWithBoundedWork) {
  const hostile::HostileCase c = hostile::makeCase(GetParam().theme, GetParam().seed);

  // What a file can carry: the generated records survive encoding and the strict decoder.
  const std::string json = encodeSnapshot(c.snapshot);
  DecodeResult decoded = decodeSnapshotDetailed(json);
  ASSERT_TRUE(std::holds_alternative<WeekSnapshot>(decoded))
      << std::get<DecodeError>(decoded).describe();
  ASSERT_TRUE(std::get<WeekSnapshot>(decoded) == c.snapshot) << "the snapshot does not round-trip";
  const WeekEntry entry{c.now, std::move(std::get<WeekSnapshot>(decoded))};

  const TimeFormat format;
  const ui::TextMeasurer& measurer = ui::PangoTextMeasurer::shared();
  Observed observed;
  for (const WidgetInfo& info : widgetCatalog()) {
    for (const WidgetFamily family : info.families) {
      const std::string where = std::string(info.kind) + " " + std::string(familyName(family));
      const PlacedWidget w = placeWidget(info.faceKind, family, entry, format);
      ui::LayoutStats stats;
      const ui::DisplayList list = ui::layout(w.view, w.size, measurer, &stats);
      observed.add(stats);

      EXPECT_EQ(stats.opsEmitted, list.ops.size()) << where;
      EXPECT_LE(stats.opsEmitted, kMaxOps) << where;
      EXPECT_LE(stats.textsMeasured, kMaxTextsMeasured) << where;
      EXPECT_LE(stats.measureCalls, kMaxMeasureCalls) << where;
      EXPECT_LE(stats.nodeMeasures, kMaxNodeMeasures) << where;
      EXPECT_LE(stats.bytesMeasured, kMaxBytesMeasured) << where;
      // No call hands the text engine more than one capped text.
      EXPECT_LE(stats.bytesMeasured, stats.measureCalls * (ui::kMaxTextBytes + kEllipsisBytes)) << where;
      // The container: paper and the rounded clip exactly the widget's size around the rest.
      ASSERT_GE(list.ops.size(), 3u) << where;
      const ui::Rect whole{0, 0, w.size.width, w.size.height};
      EXPECT_EQ(list.ops.front().rect, whole) << where;
      EXPECT_EQ(list.ops[1].op, ui::OpKind::clip) << where;
      EXPECT_EQ(list.ops[1].rect, whole) << where;
      EXPECT_EQ(list.ops.back().op, ui::OpKind::unclip) << where;
      std::vector<bool> clips;  // per active clip: inside the widget
      for (const ui::Op& op : list.ops) {
        const bool clipped = std::find(clips.begin(), clips.end(), true) != clips.end();
        checkOp(op, w.size, clipped, where, observed);
        if (::testing::Test::HasFatalFailure()) return;
        if (op.op == ui::OpKind::clip) clips.push_back(inside(op.rect, w.size));
        if (op.op == ui::OpKind::unclip) {
          ASSERT_FALSE(clips.empty()) << where;
          clips.pop_back();
        }
      }
      EXPECT_TRUE(clips.empty()) << where;
      for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
        paintAndCheck(list, w.size, appearance, where);
      }
    }
  }

  // The whole road to a PNG for the busiest widget.
  for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
    RenderRequest request;
    request.kind = WeekFaceKind::week;
    request.family = WidgetFamily::systemLarge;
    request.entry = entry;
    request.appearance = appearance;
    const RenderResult png = renderWidget(request);
    ASSERT_TRUE(png.ok()) << png.error;
    EXPECT_EQ(png.bytes.substr(0, 8), "\x89PNG\r\n\x1A\n");
  }

  if (std::getenv("KORVEL_HOSTILE_REPORT") != nullptr) {
    std::cout << caseName(GetParam()) << ": json " << json.size() << " bytes, ops " << observed.ops
              << ", texts " << observed.texts << ", calls " << observed.calls << ", nodes "
              << observed.nodes << ", bytes " << observed.bytes << ", shown " << observed.shown
              << "\n";
  }
}

// Every fixed theme once (integer edges twice), and random mixes of everything.
const CaseSpec kCases[] = {
    {Theme::empty, 1},          {Theme::hugeTexts, 1},   {Theme::combiningMarks, 1},
    {Theme::rightToLeft, 1},    {Theme::emoji, 1},       {Theme::int64Max, 1},
    {Theme::int64Min, 1},       {Theme::int64Edges, 1},  {Theme::int64Edges, 2},
    {Theme::hugeLists, 1},      {Theme::nullSeries, 1},  {Theme::extremeDoubles, 1},
    {Theme::random, 1},         {Theme::random, 2},      {Theme::random, 3},
    {Theme::random, 4},         {Theme::random, 5},      {Theme::random, 6},
};

INSTANTIATE_TEST_SUITE_P(Cases, HostileSnapshot, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return caseName(param.param); });

// The generator makes what the cases above rely on: the same case for the same seed, and the
// extremes each theme promises.
TEST(HostileGenerator, IsDeterministicPerThemeAndSeed) {
  EXPECT_TRUE(hostile::makeCase(Theme::random, 3).snapshot ==
              hostile::makeCase(Theme::random, 3).snapshot);
  EXPECT_EQ(encodeSnapshot(hostile::makeCase(Theme::random, 3).snapshot),
            encodeSnapshot(hostile::makeCase(Theme::random, 3).snapshot));
  EXPECT_FALSE(hostile::makeCase(Theme::random, 3).snapshot ==
               hostile::makeCase(Theme::random, 4).snapshot);
  EXPECT_FALSE(hostile::makeCase(Theme::int64Edges, 1).snapshot ==
               hostile::makeCase(Theme::int64Edges, 2).snapshot);
}

std::size_t codePoints(const std::string& s) { return ui::decodeUtf8(s).size(); }

TEST(HostileGenerator, TextsAreOfTheirKindAndLength) {
  using hostile::TextKind;
  struct Row {
    TextKind kind;
    std::size_t length;
  };
  for (const Row row : {Row{TextKind::latin, 100000}, Row{TextKind::unbroken, 5000},
                        Row{TextKind::combining, 100000}, Row{TextKind::rightToLeft, 300},
                        Row{TextKind::emoji, 200}, Row{TextKind::bidiControls, 50},
                        Row{TextKind::lineBreaks, 20}, Row{TextKind::controls, 40}}) {
    const std::string t = hostile::makeText(row.kind, row.length, 7);
    SCOPED_TRACE(static_cast<int>(row.kind));
    EXPECT_GE(codePoints(t), row.length);
    EXPECT_LT(codePoints(t), row.length + 12);  // at most one piece more
    std::string withoutNul = t;  // NUL is valid UTF-8, though the toolkit replaces it
    std::replace(withoutNul.begin(), withoutNul.end(), '\0', ' ');
    EXPECT_EQ(ui::validUtf8(withoutNul), withoutNul);
  }
  EXPECT_EQ(hostile::makeText(TextKind::latin, 0, 1), "");
  EXPECT_EQ(hostile::makeText(TextKind::empty, 50, 1), "");
  EXPECT_NE(hostile::makeText(TextKind::latin, 10, 1), hostile::makeText(TextKind::latin, 10, 2));

  // Combining marks only: U+0300...U+036F and U+20D0...U+20F0.
  for (const ui::CodePoint& c : ui::decodeUtf8(hostile::makeText(TextKind::combining, 500, 3))) {
    EXPECT_TRUE((c.value >= 0x300 && c.value <= 0x36F) || (c.value >= 0x20D0 && c.value <= 0x20F0))
        << std::hex << static_cast<std::uint32_t>(c.value);
  }
  const std::string emoji = hostile::makeText(TextKind::emoji, 60, 0);
  EXPECT_NE(emoji.find("\u200D"), std::string::npos);                  // ZWJ sequences
  EXPECT_NE(emoji.find("\U0001F1EF\U0001F1F5"), std::string::npos);    // a flag
  EXPECT_NE(hostile::makeText(TextKind::controls, 40, 0).find('\0'), std::string::npos);
  EXPECT_NE(hostile::makeText(TextKind::rightToLeft, 10, 0).find("\u05E9"), std::string::npos);
}

TEST(HostileGenerator, ThemesReachTheirExtremes) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  for (const Theme theme : {Theme::empty, Theme::hugeTexts, Theme::int64Max, Theme::int64Min,
                            Theme::hugeLists, Theme::nullSeries, Theme::extremeDoubles,
                            Theme::random}) {
    const WeekSnapshot s = hostile::makeCase(theme, 1).snapshot;
    EXPECT_GE(s.v, 1) << hostile::themeName(theme);
    EXPECT_EQ(s.days.size(), 7u) << hostile::themeName(theme);
  }

  const WeekSnapshot empty = hostile::makeCase(Theme::empty, 1).snapshot;
  EXPECT_EQ(empty.week, "");
  EXPECT_EQ(empty.days, std::vector<std::string>(7));
  EXPECT_TRUE(empty.now.runs.empty() && empty.limits.meters.empty() &&
              empty.autonomy.perDay.empty() && empty.rhythm.heat.empty());

  const WeekSnapshot huge = hostile::makeCase(Theme::hugeTexts, 1).snapshot;
  std::size_t hugeTexts = 0;
  for (const std::string* t : {&huge.week, &huge.period, &huge.words.off, &huge.words.offHint,
                               &huge.autonomy.title, &huge.autonomy.hero, &huge.limits.title}) {
    hugeTexts += codePoints(*t) >= hostile::kHugeText;
  }
  EXPECT_GE(hugeTexts, 3u);

  const WeekSnapshot max = hostile::makeCase(Theme::int64Max, 1).snapshot;
  EXPECT_EQ(max.generatedMs, kMax);
  EXPECT_EQ(max.today, kMax);
  ASSERT_FALSE(max.autonomy.perDay.empty());
  EXPECT_EQ(max.autonomy.perDay[0], kMax);
  ASSERT_FALSE(max.limits.meters.empty());
  EXPECT_EQ(max.limits.meters[0].used, kMax);
  EXPECT_EQ(max.limits.meters[0].elapsed, kMax);

  const WeekSnapshot min = hostile::makeCase(Theme::int64Min, 1).snapshot;
  EXPECT_EQ(min.generatedMs, kMin);
  EXPECT_EQ(min.today, kMin);
  EXPECT_EQ(min.v, 1);
  ASSERT_FALSE(min.now.runs.empty());
  EXPECT_EQ(min.now.runs[0].sinceMs, kMin);

  const WeekSnapshot lists = hostile::makeCase(Theme::hugeLists, 1).snapshot;
  EXPECT_EQ(lists.now.runs.size(), hostile::kHugeList);
  EXPECT_EQ(lists.limits.meters.size(), hostile::kHugeList);
  EXPECT_EQ(lists.autonomy.perDay.size(), hostile::kHugeList);
  EXPECT_EQ(lists.rhythm.heat.size(), hostile::kHugeList);

  const WeekSnapshot gaps = hostile::makeCase(Theme::nullSeries, 1).snapshot;
  for (const auto& v : gaps.autonomy.perDay) EXPECT_FALSE(v.has_value());
  for (const auto& v : gaps.receipt.perDay) EXPECT_FALSE(v.has_value());
  for (const auto& v : gaps.rhythm.heat) EXPECT_FALSE(v.has_value());

  std::size_t extremes = 0;
  for (const auto& v : hostile::makeCase(Theme::extremeDoubles, 1).snapshot.receipt.perDay) {
    if (v && (std::abs(*v) == DBL_MAX || std::abs(*v) == std::numeric_limits<double>::denorm_min()))
      ++extremes;
  }
  EXPECT_GT(extremes, 0u);
}

}  // namespace
}  // namespace korvel::host
