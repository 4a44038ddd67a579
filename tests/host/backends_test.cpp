// What the pixels hold after the Cairo backend: paper inside the corners only, translucency
// unpremultiplied, clips, absurd geometry survived. Sizes, formats and scale limits are in the
// command-line transcripts.
#include <cairo.h>
#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "host/render/png_encoder.h"
#include "host/render/render_widget.h"
#include "kit/palette.h"
#include "ui/limits.h"

namespace korvel::host {
namespace {

struct Decoded {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;
  std::array<int, 4> at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                           static_cast<std::size_t>(x)) * 4;
    return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
  }
};

// Reads a PNG back with libpng's simplified API, independent of our encoder's code path.
Decoded decodePng(const std::string& bytes) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Decoded out;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return out;
  image.format = PNG_FORMAT_RGBA;
  out.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) return {};
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  return out;
}

ui::FillShape fill(ui::Rect rect, ui::Paint paint, ui::ShapeKind kind = ui::ShapeKind::rect) {
  return {.rect = rect, .paint = std::move(paint), .shape = {.kind = kind}};
}

LaidOutWidget medium(std::vector<ui::Op> ops) {
  LaidOutWidget w;
  w.widget.kind = WeekFaceKind::limits;
  w.widget.family = WidgetFamily::systemMedium;
  w.widget.size = {364, 170};
  w.widget.content = {16, 16, 332, 138};
  w.widget.label = "Korvel";
  w.widget.url = "korvel://week/limits";
  w.list.ops = std::move(ops);
  return w;
}

ui::FillShape paperContainer() {
  ui::FillShape op = fill({0, 0, 364, 170}, paper, ui::ShapeKind::roundedRect);
  op.shape.radii = {22, 22, 22, 22};
  return op;
}

RenderRequest request(RenderFormat format, Appearance appearance = Appearance::light,
                      double scale = 2) {
  RenderRequest r;
  r.kind = WeekFaceKind::limits;
  r.family = WidgetFamily::systemMedium;
  r.format = format;
  r.appearance = appearance;
  r.scale = scale;
  r.entry.date = 1700000000;
  return r;
}

// The bytes of a drawing that must succeed.
std::string drawn(const LaidOutWidget& widget, const RenderRequest& request) {
  RenderResult result = renderLaidOut(widget, request);
  if (const auto* error = std::get_if<Error>(&result)) ADD_FAILURE() << error->describe();
  auto* bytes = std::get_if<std::string>(&result);
  return bytes ? std::move(*bytes) : std::string();
}

bool near(const std::array<int, 4>& got, const std::array<int, 4>& want, int tolerance = 1) {
  for (std::size_t i = 0; i < 4; ++i) {
    if (std::abs(got[i] - want[i]) > tolerance) return false;
  }
  return true;
}

TEST(PngBackend, PaperFillsInsideTheRoundedCornersOnly) {
  for (const Appearance a : {Appearance::light, Appearance::dark}) {
    const Decoded d = decodePng(drawn(medium({paperContainer()}), request(RenderFormat::png, a)));
    ASSERT_EQ(d.width, 728);
    const std::array<int, 4> paperPx = a == Appearance::light ? std::array{243, 246, 238, 255}
                                                              : std::array{22, 41, 28, 255};
    EXPECT_TRUE(near(d.at(364, 170), paperPx)) << d.at(364, 170)[0];
    EXPECT_TRUE(near(d.at(20, 170), paperPx));
    EXPECT_EQ(d.at(0, 0)[3], 0);      // outside the rounded corner
    EXPECT_EQ(d.at(727, 339)[3], 0);
    EXPECT_EQ(d.at(4, 4)[3], 0);      // continuous corners reach further in than r = 22
  }
}

TEST(PngBackend, TranslucentColoursAreStoredUnpremultiplied) {
  const Decoded d = decodePng(drawn(medium({fill({0, 0, 364, 170}, hairline)}),
                                    request(RenderFormat::png, Appearance::dark, 1)));
  // White at 8 %: alpha 20 of 255, colour still full white once unpremultiplied.
  EXPECT_TRUE(near(d.at(100, 100), {255, 255, 255, 20}));
}

// Absurd numbers as the layout hands them on: through the toolkit's limits, as every op it emits.
TEST(PngBackend, AbsurdGeometryNeitherCrashesNorStopsLaterDrawing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<ui::Op> ops;
  ops.push_back(fill({nan, 0, 1e19, 1e19}, paper));
  ops.push_back(fill({-inf, inf, -5, nan}, ink, ui::ShapeKind::circle));
  ui::FillShape path = fill({}, red, ui::ShapeKind::path);
  path.shape.points = {{nan, 1}, {1e300, -1e300}, {inf, 3}};
  ops.push_back(path);
  ui::StrokeShape stroke{.rect = {0, 0, 10, 10}, .paint = ink, .shape = {.kind = ui::ShapeKind::roundedRect}};
  stroke.shape.radii = {nan, -3, 1e12, 4};
  stroke.stroke.dash = {0, 0};  // Cairo refuses an all-zero dash
  ops.push_back(stroke);
  stroke.stroke.dash = {-1, 2};  // and a negative one
  stroke.stroke.lineWidth = nan;
  stroke.stroke.miterLimit = -inf;
  ops.push_back(stroke);
  ops.push_back(ui::PopClip{});  // without a clip before it
  ops.push_back(fill({10, 10, 20, 20}, lime));
  for (ui::Op& op : ops) ui::clampOp(op);
  const Decoded d = decodePng(drawn(medium(ops), request(RenderFormat::png)));
  EXPECT_TRUE(near(d.at(40, 40), {76, 122, 24, 255})) << d.at(40, 40)[0];
}

// A PNG is drawn a band of rows at a time: ink that reaches into a band from an op whose frame
// lies outside it (a wide stroke, a path beyond its frame) must still land there.
TEST(PngBackend, DrawnInBandsAsOnOneSurface) {
  ui::StrokeShape wide{.rect = {100, 40, 50, 2}, .paint = ink, .shape = {.kind = ui::ShapeKind::rect}};
  wide.stroke.lineWidth = 30;
  ui::FillShape path = fill({0, 0, 1, 1}, red, ui::ShapeKind::path);
  path.shape.points = {{10, 30}, {300, 60}, {200, 160}};
  for (const std::vector<ui::Op>& ops : {std::vector<ui::Op>{wide}, std::vector<ui::Op>{path}}) {
    const LaidOutWidget widget = medium(ops);
    cairo_surface_t* whole = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 728, 340);
    ASSERT_TRUE(std::holds_alternative<std::monostate>(paintLaidOut(whole, widget, Appearance::light, 2)));
    const auto expected = encodePng(whole, PngOptions{.pixelsPerPoint = 2});
    cairo_surface_destroy(whole);
    ASSERT_TRUE(expected.has_value());
    EXPECT_EQ(drawn(widget, request(RenderFormat::png)), *expected);
  }
}

TEST(PngBackend, ClipsNestAndUnclipRestores) {
  const ui::PushClip clip{.rect = {0, 0, 100, 100}};
  const Decoded d = decodePng(
      drawn(medium({clip, fill({0, 0, 364, 170}, lime), ui::PopClip{}, fill({200, 0, 164, 170}, ink)}),
            request(RenderFormat::png, Appearance::light, 1)));
  EXPECT_EQ(d.at(50, 50)[3], 255);   // inside the clip
  EXPECT_EQ(d.at(150, 50)[3], 0);    // clipped away
  EXPECT_EQ(d.at(300, 50)[3], 255);  // drawn after the clip was lifted
}

// A base stacked with a hundred marks stays inside its line instead of running over what is above.
TEST(PngBackend, StackedMarksStayInsideTheirLine) {
  std::string marked = "5";
  for (int i = 0; i < 100; ++i) marked += "\u0301";
  ui::DrawText text{.rect = {100, 100, 20, 40}};
  text.text.runs = {ui::TextRunStyle{.text = marked, .size = 32, .design = ui::Design::rounded, .color = ink}};
  const Decoded d =
      decodePng(drawn(medium({text}), request(RenderFormat::png, Appearance::light, 1)));
  std::array<int, 2> inked{};  // above the line, in it
  for (int y = 0; y < 140; ++y) {
    for (int x = 0; x < 364; ++x) inked[y >= 92] += d.at(x, y)[3] > 0;  // a descent: 8 points
  }
  EXPECT_EQ(inked[0], 0);
  EXPECT_GT(inked[1], 50);
}

TEST(VectorBackends, PdfIsDatedByTheEntryAndReproducible) {
  const std::string a = drawn(medium({paperContainer()}), request(RenderFormat::pdf));
  EXPECT_EQ(a, drawn(medium({paperContainer()}), request(RenderFormat::pdf)));
  // 1700000000 s after 1970 is 2023-11-14 22:13:20 UTC (Cairo 1.16 leaves out the "D:").
  const std::size_t at = a.find("/CreationDate (");
  ASSERT_NE(at, std::string::npos);
  EXPECT_NE(a.substr(at, 40).find("20231114221320"), std::string::npos);
}

}  // namespace
}  // namespace korvel::host
