// Shape outlines every backend draws: continuous corners by the public approximation of the
// iOS 7 curve (in units of the radius), circular arcs once a radius reaches half the shorter side.
#include <cmath>
#include <tuple>

#include "ui/shape_path.h"
#include "ui_test_support.h"

namespace korvel::ui::test {
namespace {

// The top-trailing corner of a 100 x 50 rectangle with radius 10: a point (a, b) of the curve
// is a * r in from the right edge and b * r down from the top.
TEST(ShapePath, ContinuousCornerFollowsTheCurve) {
  const auto p = roundedRectOutline(Rect{0, 0, 100, 50}, {10, 10, 10, 10}, CornerStyle::continuous);
  ASSERT_EQ(p.size(), 2u + 4 * 5);  // move, five segments a corner, close
  const auto at = [](double a, double b) { return Point{100 - 10 * a, 10 * b}; };
  const std::vector<std::pair<std::size_t, Point>> cases = {
      {0, {15.2866483, 0}},                   // move
      {1, at(1.52866471, 0)},                 // line
      {2, at(0.66993427, 0.06549600)},        // curve
      {3, at(0.63149399, 0.07491100)},        // line
      {4, at(0.07491176, 0.63149399)},        // curve
      {5, at(0, 1.52866483)},                 // curve, onto the trailing edge
  };
  for (const auto& [i, to] : cases) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(p[i].to.x, to.x, 1e-5);
    EXPECT_NEAR(p[i].to.y, to.y, 1e-5);
  }
  EXPECT_NEAR(p[2].c1.x, 100 - 10.8849323, 1e-6);
  EXPECT_NEAR(p[4].c1.y, 1.6905899, 1e-6);
  EXPECT_EQ(p.back().kind, PathSegment::Kind::close);
}

TEST(ShapePath, CornersByStyleAndRadius) {
  // Each: the radii, the style, how many segments and where the top edge begins.
  const std::vector<std::tuple<const char*, CornerRadii, CornerStyle, std::size_t, double>> cases = {
      {"half the shorter side: circular arcs", {25, 25, 25, 25}, CornerStyle::continuous, 2 + 4 * 2, 25},
      {"larger radii are clamped to half", {99, 99, 99, 99}, CornerStyle::continuous, 2 + 4 * 2, 25},
      {"a continuous corner reaches at most half the side", {20, 20, 20, 20}, CornerStyle::continuous, 2 + 4 * 5, 25},
      {"circular", {10, 10, 10, 10}, CornerStyle::circular, 2 + 4 * 2, 10},
      {"square corners are one line each", {0, 5, 0, 0}, CornerStyle::circular, 2 + 3 + 2, 0},
  };
  for (const auto& [name, radii, style, segments, startX] : cases) {
    SCOPED_TRACE(name);
    const auto p = roundedRectOutline(Rect{0, 0, 100, 50}, radii, style);
    EXPECT_EQ(p.size(), segments);
    EXPECT_NEAR(p.front().to.x, startX, 1e-6);
  }
  // A quarter circle's control points lie 0.5523 r from the ends.
  const auto arc = roundedRectOutline(Rect{0, 0, 20, 20}, {10, 10, 10, 10}, CornerStyle::circular);
  EXPECT_NEAR(arc[2].c1.x, 10 + 10 * 0.5522847498, 1e-9);
}

TEST(ShapePath, OutlinesOfEveryKind) {
  ShapeGeometry path{ShapeKind::path, {}, CornerStyle::circular, {{1, 2}, {3, 4}, {5, 0}}, false};
  EXPECT_EQ(shapeOutline(Rect{0, 0, 10, 10}, path).size(), 3u);  // open: no close
  path.closed = true;
  EXPECT_EQ(shapeOutline(Rect{}, path).back().kind, PathSegment::Kind::close);
  // A circle is inscribed and centred: it starts at the top middle.
  const auto c = shapeOutline(Rect{0, 0, 40, 20}, ShapeGeometry{ShapeKind::circle});
  EXPECT_NEAR(c.front().to.x, 20, 1e-9);
  EXPECT_NEAR(c.front().to.y, 0, 1e-9);
  // A capsule's ends are half circles.
  EXPECT_NEAR(shapeOutline(Rect{0, 0, 40, 20}, ShapeGeometry{ShapeKind::capsule}).front().to.x, 10, 1e-9);
  for (const auto& s : shapeOutline(Rect{std::nan(""), 0, kInfinity, -5}, ShapeGeometry{ShapeKind::roundedRect, {4, 4, 4, 4}}))
    EXPECT_TRUE(std::isfinite(s.to.x) && std::isfinite(s.to.y));
}

}  // namespace
}  // namespace korvel::ui::test
