#include "kit/week_mark.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <regex>
#include <set>
#include <string>

#include "kit/palette.h"
#include "kit_test_support.h"

namespace korvel {
namespace {

std::vector<std::string> pieces(std::string_view text) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    const std::size_t end = std::min(text.find(' ', pos), text.size());
    out.emplace_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  return out;
}

TEST(MarkOutline, TextFormat) {
  EXPECT_EQ(markOutline.size(), 1495u);
  EXPECT_NE(markOutline.front(), ' ');
  EXPECT_NE(markOutline.back(), ' ');
  EXPECT_EQ(markOutline.find("  "), std::string_view::npos);
  EXPECT_EQ(markOutline.find_first_not_of("0123456789. "), std::string_view::npos);
  const auto numbers = pieces(markOutline);
  ASSERT_EQ(numbers.size(), 258u);
  const std::regex decimal{R"(\d+(\.\d)?)"};
  for (const std::string& n : numbers) EXPECT_TRUE(std::regex_match(n, decimal)) << n;
}

TEST(MarkOutline, FixedEndPoints) {
  const auto& p = markPoints();
  ASSERT_EQ(p.size(), 129u);
  EXPECT_EQ(p[0], (ui::Point{550.1, 216}));
  EXPECT_EQ(p[1], (ui::Point{567.9, 216}));
  EXPECT_EQ(p[127], (ui::Point{521.7, 225.8}));
  EXPECT_EQ(p[128], (ui::Point{529.8, 221.7}));
}

TEST(MarkOutline, BoundingBoxIsMarkBounds) {
  const auto& p = markPoints();
  const auto [minX, maxX] = std::minmax_element(p.begin(), p.end(),
      [](ui::Point a, ui::Point b) { return a.x < b.x; });
  const auto [minY, maxY] = std::minmax_element(p.begin(), p.end(),
      [](ui::Point a, ui::Point b) { return a.y < b.y; });
  EXPECT_EQ(minX->x, 324);
  EXPECT_EQ(maxX->x, 725.5);
  EXPECT_EQ(minY->y, 216);
  EXPECT_EQ(maxY->y, 807);
  EXPECT_EQ(markBounds, (ui::Rect{324, 216, 401.5, 591}));
  EXPECT_EQ(maxX->x - minX->x, markBounds.width);
  EXPECT_EQ(maxY->y - minY->y, markBounds.height);
}

TEST(MarkOutline, NoPointRepeats) {
  std::set<std::pair<double, double>> seen;
  for (const ui::Point& p : markPoints()) EXPECT_TRUE(seen.insert({p.x, p.y}).second);
}

// Orientation of the triangle a, b, c: positive, negative or zero (collinear).
int orient(ui::Point a, ui::Point b, ui::Point c) {
  const double v = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
  return (v > 0) - (v < 0);
}

bool within(ui::Point a, ui::Point q, ui::Point b) {
  return std::min(a.x, b.x) <= q.x && q.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= q.y &&
         q.y <= std::max(a.y, b.y);
}

// True when the closed segments ab and cd share any point.
bool touch(ui::Point a, ui::Point b, ui::Point c, ui::Point d) {
  const int o1 = orient(a, b, c), o2 = orient(a, b, d), o3 = orient(c, d, a),
            o4 = orient(c, d, b);
  if (o1 != o2 && o3 != o4) return true;
  return (o1 == 0 && within(a, c, b)) || (o2 == 0 && within(a, d, b)) ||
         (o3 == 0 && within(c, a, d)) || (o4 == 0 && within(c, b, d));
}

TEST(MarkOutline, IsASimplePolygon) {
  const auto& p = markPoints();
  const std::size_t n = p.size();
  for (std::size_t i = 0; i < n; ++i) {
    const ui::Point a = p[i], b = p[(i + 1) % n];
    // Neighbouring edges share exactly their common vertex: they must not fold back onto
    // each other.
    const ui::Point next = p[(i + 2) % n];
    EXPECT_FALSE(orient(a, b, next) == 0 && within(a, next, b)) << i;
    for (std::size_t j = i + 2; j < n; ++j) {
      if (i == 0 && j == n - 1) continue;  // the closing edge meets the first at p[0]
      EXPECT_FALSE(touch(a, b, p[j], p[(j + 1) % n])) << "edges " << i << " and " << j;
    }
  }
}

TEST(MarkOutline, ParsingRules) {
  struct Case {
    const char* text;
    std::vector<ui::Point> points;
  } cases[] = {
      {"", {}},
      {"5", {}},
      {"1 2", {{1, 2}}},
      {"1 2 3", {{1, 2}}},
      {"1  2   3 4", {{1, 2}, {3, 4}}},
      {" 1 2 ", {{1, 2}}},
      {"1 x 2", {{1, 2}}},
      {"1 2x 3", {{1, 3}}},
      {"nan 1 inf 2", {{1, 2}}},
      {"0.5 216 550.1 807", {{0.5, 216}, {550.1, 807}}},
  };
  for (const Case& c : cases) EXPECT_EQ(parseMarkOutline(c.text), c.points) << c.text;
}

ui::Rect bounds(const std::vector<ui::Point>& points) {
  double minX = std::numeric_limits<double>::infinity(), minY = minX, maxX = -minX, maxY = -minX;
  for (const ui::Point& p : points) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  return {minX, minY, maxX - minX, maxY - minY};
}

TEST(WeekMarkPath, SquareFitsTheHeightAndCentresTheWidth) {
  const auto path = WeekMark::path({0, 0, 100, 100});
  ASSERT_EQ(path.size(), 129u);
  const ui::Rect b = bounds(path);
  const double width = 401.5 * 100 / 591;  // 67.93...
  EXPECT_NEAR(b.width, width, 1e-9);
  EXPECT_NEAR(b.height, 100, 1e-9);
  EXPECT_NEAR(b.x, (100 - width) / 2, 1e-9);
  EXPECT_NEAR(b.y, 0, 1e-9);
  EXPECT_NEAR(std::round(b.width * 10) / 10, 67.9, 1e-12);
}

TEST(WeekMarkPath, HeaderFrameIsEightWideAndCentredVertically) {
  const auto path = WeekMark::path({16, 16, 8, 12});
  const ui::Rect b = bounds(path);
  const double height = 591 * 8 / 401.5;  // 11.776
  EXPECT_NEAR(b.x, 16, 1e-9);
  EXPECT_NEAR(b.width, 8, 1e-9);
  EXPECT_NEAR(b.height, height, 1e-9);
  EXPECT_NEAR(b.y, 16 + (12 - height) / 2, 1e-9);  // about 0.11 free above and below
  // The first point maps through the same affine transform.
  const double scale = 8 / 401.5;
  EXPECT_NEAR(path[0].x, 20 - 524.75 * scale + 550.1 * scale, 1e-9);
  EXPECT_NEAR(path[0].y, 22 - 511.5 * scale + 216 * scale, 1e-9);
}

TEST(WeekMarkPath, RectsWithoutAreaCollapseToTheirCentre) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    ui::Rect rect;
    ui::Point centre;
  } cases[] = {
      {{10, 20, 0, 50}, {10, 45}},
      {{10, 20, 40, 0}, {30, 20}},
      {{0, 0, 0, 0}, {0, 0}},
      {{10, 20, -40, 50}, {-10, 45}},
      {{0, 0, nan, 10}, {nan, 5}},
  };
  for (const Case& c : cases) {
    const auto path = WeekMark::path(c.rect);
    ASSERT_EQ(path.size(), 129u);
    for (const ui::Point& p : path) {
      if (std::isnan(c.centre.x)) {
        EXPECT_TRUE(std::isnan(p.x));
      } else {
        EXPECT_EQ(p.x, c.centre.x);
      }
      EXPECT_EQ(p.y, c.centre.y);
    }
  }
}

TEST(WeekMarkShape, DrawsOneClosedPathOf129PointsInItsFrame) {
  const auto list = testing::layoutFake(
      WeekMark::shape().fill(lime).frame(8, 12).frame(ui::FlexFrame{
          .maxWidth = ui::kInfinity, .maxHeight = ui::kInfinity, .alignment = ui::topLeading}),
      100, 100);
  const auto marks = testing::fills(list, "lime");
  ASSERT_EQ(marks.size(), 1u);
  const ui::Op& op = marks[0];
  EXPECT_EQ(op.rect, (ui::Rect{0, 0, 8, 12}));
  EXPECT_EQ(op.shape.kind, ui::ShapeKind::path);
  EXPECT_TRUE(op.shape.closed);
  EXPECT_EQ(op.shape.points, WeekMark::path({0, 0, 8, 12}));
}

}  // namespace
}  // namespace korvel
