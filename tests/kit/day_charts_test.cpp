#include "kit/day_charts.h"

#include <gtest/gtest.h>

#include <limits>

#include "kit_test_support.h"

namespace korvel {
namespace {

using testing::fills;
using testing::layoutFake;
using testing::texts;

const std::vector<std::string> kDays{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

// Bars (rounded rects and plain rects) and capsules of a chart, in paint order.
std::vector<ui::Op> shapesOf(const ui::DisplayList& list, ui::ShapeKind kind) {
  std::vector<ui::Op> out;
  for (const ui::Op& op : fills(list)) {
    if (op.shape.kind == kind) out.push_back(op);
  }
  return out;
}

// The bar area of each day is the clip rect around its bar.
std::vector<ui::Rect> barAreas(const ui::DisplayList& list) {
  std::vector<ui::Rect> out;
  for (const ui::Op& op : testing::opsOf(list, ui::OpKind::clip)) {
    if (op.shape.kind == ui::ShapeKind::rect) out.push_back(op.rect);
  }
  return out;
}

TEST(Columns, AllAbsentDrawsSevenHairlineCapsules) {
  const auto list = layoutFake(Columns{{std::nullopt, std::nullopt}, kDays, 2, true}, 200, 80);
  const auto capsules = shapesOf(list, ui::ShapeKind::capsule);
  ASSERT_EQ(capsules.size(), 7u);
  for (const ui::Op& c : capsules) {
    EXPECT_EQ(c.paint.color, "hairline");
    EXPECT_DOUBLE_EQ(c.rect.height, 2.5);
  }
  EXPECT_EQ(texts(list).size(), 7u);
}

TEST(Columns, BarHeightsScaleToPeakWithAThreePointMinimum) {
  const std::vector<std::optional<double>> values{10, 0.1, 5, 0, -3};
  const auto list = layoutFake(Columns{values, kDays, 0, false}, 200, 60);
  const auto areas = barAreas(list);
  ASSERT_EQ(areas.size(), 7u);
  const double h = areas[0].height;
  EXPECT_DOUBLE_EQ(h, 60);  // no labels: the bar area takes the whole height
  const auto bars = shapesOf(list, ui::ShapeKind::roundedRect);
  ASSERT_EQ(bars.size(), 3u);
  EXPECT_DOUBLE_EQ(bars[0].rect.height, 60);
  EXPECT_DOUBLE_EQ(bars[1].rect.height, 3);
  EXPECT_DOUBLE_EQ(bars[2].rect.height, 30);
  EXPECT_DOUBLE_EQ(bars[0].paint.opacity, 1.0);   // today
  EXPECT_DOUBLE_EQ(bars[1].paint.opacity, 0.42);
  EXPECT_EQ(bars[0].shape.radii, (ui::CornerRadii{3.5, 3.5, 0, 0}));
  // Bars stand on the bottom of their area, at most 22 wide and centred.
  for (std::size_t i : {0u, 1u}) {
    EXPECT_DOUBLE_EQ(bars[i].rect.y + bars[i].rect.height, areas[i].y + areas[i].height);
  }
  EXPECT_DOUBLE_EQ(bars[0].rect.width, std::min(22.0, areas[0].width));
  // Zero, negative and missing days are capsules: days 3, 4, 5, 6.
  EXPECT_EQ(shapesOf(list, ui::ShapeKind::capsule).size(), 4u);
  EXPECT_TRUE(texts(list).empty());
}

// Values near the largest double: value x height would overflow to infinity; the share of the
// peak does not.
TEST(Columns, HugeValuesStayInsideTheirArea) {
  const double huge = std::numeric_limits<double>::max();
  const auto list = layoutFake(Columns{{huge, huge / 2}, kDays, 0, false}, 200, 60);
  const auto bars = shapesOf(list, ui::ShapeKind::roundedRect);
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_DOUBLE_EQ(bars[0].rect.height, 60);
  EXPECT_DOUBLE_EQ(bars[1].rect.height, 30);
}

TEST(Columns, TodayOutsideTheWeekHighlightsNothing) {
  for (const std::int64_t today : {std::int64_t{7}, std::int64_t{-1}}) {
    const auto list = layoutFake(Columns{{1, 2, 3, 4, 5, 6, 7}, kDays, today, true}, 200, 80);
    for (const ui::Op& bar : shapesOf(list, ui::ShapeKind::roundedRect)) {
      EXPECT_DOUBLE_EQ(bar.paint.opacity, 0.42);
    }
    for (const ui::Op& label : texts(list)) {
      EXPECT_EQ(label.text.runs.at(0).weight, ui::Weight::regular);
      EXPECT_EQ(label.text.runs.at(0).color.color, "inkFaint");
    }
  }
}

TEST(Stacks, PeakUsesDayTotalsAndSegmentsStackWaitingOnTop) {
  const DaySeries perDay{std::vector<std::int64_t>{5, 5}, std::vector<std::int64_t>{9},
                         std::vector<std::int64_t>{0, 0, 0}, std::vector<std::int64_t>{0, 2, 1},
                         std::nullopt};
  const auto list = layoutFake(Stacks{perDay, kDays, 1}, 200, 100);
  const double h = barAreas(list).at(0).height;
  const auto segments = shapesOf(list, ui::ShapeKind::rect);
  // day 0: debt, passed; day 1: passed; day 3: waiting, debt
  ASSERT_EQ(segments.size(), 5u);
  EXPECT_EQ(segments[0].paint.color, "blue");
  EXPECT_EQ(segments[1].paint.color, "green");
  EXPECT_DOUBLE_EQ(segments[2].rect.height, h * 9 / 10 - 1.5);
  EXPECT_EQ(segments[2].paint.color, "green");
  EXPECT_EQ(segments[3].paint.color, "orange");
  EXPECT_EQ(segments[4].paint.color, "blue");
  EXPECT_LT(segments[3].rect.y, segments[4].rect.y);
  EXPECT_DOUBLE_EQ(segments[4].rect.y - (segments[3].rect.y + segments[3].rect.height), 1.5);
  EXPECT_DOUBLE_EQ(segments[3].rect.height, std::max(h * 1 / 10 - 1.5, 2.0));
  // Stacks never dim other days.
  for (const ui::Op& s : segments) EXPECT_DOUBLE_EQ(s.paint.opacity, 1.0);
  // [0,0,0], null and the two days beyond the list are capsules.
  EXPECT_EQ(shapesOf(list, ui::ShapeKind::capsule).size(), 4u);
}

TEST(Stacks, ASingleCountDrawsOnlyThePassedSegment) {
  const auto list = layoutFake(Stacks{{std::vector<std::int64_t>{3}}, kDays, 0}, 200, 100);
  const auto segments = shapesOf(list, ui::ShapeKind::rect);
  ASSERT_EQ(segments.size(), 1u);
  EXPECT_EQ(segments[0].paint.color, "green");
}

TEST(Stacks, SegmentsLiftedToTheirMinimumStayInsideTheColumn) {
  // Three tiny counts beside a huge day: each segment is lifted to 2 points, so the day's stack
  // (2 + 1.5 + 2 + 1.5 + 2 = 9) is taller than a 5-point bar area. It stands on the bottom and
  // is clipped to the area, so nothing reaches into the label or above the chart.
  const DaySeries perDay{std::vector<std::int64_t>{1, 1, 1}, std::vector<std::int64_t>{1000000}};
  // The fake measurer's 9.5-point label is 11.4 tall, 4 above it the 5-point bar area.
  const auto list = layoutFake(Stacks{perDay, kDays, 0}, 200, 20.4);
  const ui::Rect area = barAreas(list).at(0);
  EXPECT_NEAR(area.height, 5, 1e-9);
  const auto segments = shapesOf(list, ui::ShapeKind::rect);
  ASSERT_GE(segments.size(), 3u);
  EXPECT_NEAR(segments[2].rect.y + segments[2].rect.height, area.y + area.height, 1e-9);
  EXPECT_LT(segments[0].rect.y, area.y);  // drawn above, but the clip before it hides that part
  const auto clips = testing::opsOf(list, ui::OpKind::clip);
  const auto firstClip = std::find_if(list.ops.begin(), list.ops.end(),
                                      [](const ui::Op& op) { return op.op == ui::OpKind::clip; });
  ASSERT_NE(firstClip, list.ops.end());
  EXPECT_EQ(firstClip->rect, area);
}

TEST(Diverging, UpAndDownBarsShareOnePeakAndTheDownSideDoublesUpToItsBand) {
  const DaySeries perDay{std::vector<std::int64_t>{4}, std::vector<std::int64_t>{0, 3},
                         std::vector<std::int64_t>{8, 4}, std::vector<std::int64_t>{},
                         std::vector<std::int64_t>{2, 8}};
  const auto list = layoutFake(Diverging{perDay, kDays, 2}, 200, 100);
  const ui::Rect area = barAreas(list).at(0);
  const double h = area.height;
  const double lower = 0.32 * h - 1;
  std::vector<ui::Op> up, down;
  for (const ui::Op& op : shapesOf(list, ui::ShapeKind::roundedRect)) {
    (op.paint.color == "lime" ? up : down).push_back(op);
  }
  ASSERT_EQ(up.size(), 3u);    // days 0, 2, 4
  ASSERT_EQ(down.size(), 3u);  // days 1, 2, 4
  EXPECT_DOUBLE_EQ(up[0].rect.height, 0.68 * h * 4 / 8);
  EXPECT_DOUBLE_EQ(up[1].rect.height, 0.68 * h);
  EXPECT_DOUBLE_EQ(up[1].paint.opacity, 1.0);
  EXPECT_DOUBLE_EQ(up[0].paint.opacity, 0.55);
  EXPECT_DOUBLE_EQ(down[0].rect.height, lower * 2 * 3 / 8);
  EXPECT_DOUBLE_EQ(down[1].rect.height, lower);  // half the peak fills the band
  EXPECT_DOUBLE_EQ(down[2].rect.height, lower);  // capped
  EXPECT_DOUBLE_EQ(down[0].paint.opacity, 0.7);
  EXPECT_EQ(down[0].shape.radii, (ui::CornerRadii{0, 0, 3, 3}));
  // The up bar stands on the midline and the down bar hangs from it.
  const auto midlines = shapesOf(list, ui::ShapeKind::rect);
  ASSERT_EQ(midlines.size(), 7u);
  EXPECT_EQ(midlines[0].paint, (ui::Paint{"inkFaint", 0.5}));
  EXPECT_DOUBLE_EQ(midlines[0].rect.y, area.y + 0.68 * h);
  EXPECT_DOUBLE_EQ(up[0].rect.y + up[0].rect.height, midlines[0].rect.y);
  EXPECT_DOUBLE_EQ(down[0].rect.y, midlines[1].rect.y + 1);
}

TEST(HeatGrid, OpacityThresholdsAreStrict) {
  const std::vector<std::int64_t> row{100, 76, 75, 51, 50, 23, 22, 1, 0, -4};
  const auto list = layoutFake(HeatGrid{{row}, kDays, 6, 1.5, true}, 364, 200);
  const auto cells = shapesOf(list, ui::ShapeKind::roundedRect);
  ASSERT_EQ(cells.size(), 7u * 24u);
  const std::vector<double> expected{1.0, 1.0, 0.7, 0.7, 0.45, 0.45, 0.22, 0.22};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(cells[i].paint.color, "lime") << i;
    EXPECT_DOUBLE_EQ(cells[i].paint.opacity, expected[i]) << i;
  }
  EXPECT_EQ(cells[8].paint, (ui::Paint{"hairline", 1.0}));   // zero
  EXPECT_EQ(cells[9].paint, (ui::Paint{"hairline", 1.0}));   // negative
  EXPECT_EQ(cells[10].paint, (ui::Paint{"hairline", 1.0}));  // beyond the row
  EXPECT_EQ(cells[24].paint, (ui::Paint{"hairline", 0.5}));  // row absent
  EXPECT_DOUBLE_EQ(cells[0].rect.width, 6);
  EXPECT_DOUBLE_EQ(cells[0].rect.height, 8);
  EXPECT_DOUBLE_EQ(cells[1].rect.x - cells[0].rect.x, 7.5);
  // Seven row labels then the five hour marks, the first one 25 points in.
  const auto t = texts(list);
  ASSERT_EQ(t.size(), 12u);
  EXPECT_EQ(t[7].text.text, "00");
  EXPECT_EQ(t[11].text.text, "24");
  EXPECT_DOUBLE_EQ(t[7].rect.x, 25);
  EXPECT_DOUBLE_EQ(t[11].rect.x + t[11].rect.width, 24 * 6 + 23 * 1.5 + 25);
  EXPECT_DOUBLE_EQ(cells[0].rect.x, 25);  // 21-point label column and 4 spacing
}

TEST(HeatGrid, WithoutLabelsCellsAreTallerAndNothingIsWritten) {
  const auto list = layoutFake(HeatGrid{{}, kDays, 4, 1, false}, 170, 100);
  const auto cells = shapesOf(list, ui::ShapeKind::roundedRect);
  ASSERT_EQ(cells.size(), 7u * 24u);
  EXPECT_DOUBLE_EQ(cells[0].rect.height, 7);
  EXPECT_DOUBLE_EQ(cells[0].rect.x, 0);
  EXPECT_DOUBLE_EQ(cells[24].rect.y - cells[0].rect.y, 8);
  EXPECT_TRUE(texts(list).empty());
}

TEST(ChartPeaks, FloorOfOneAndEntriesBeyondTheWeekCount) {
  EXPECT_DOUBLE_EQ(chart::peakOf({}), 1);
  EXPECT_DOUBLE_EQ(chart::peakOf({0.2, 0.5}), 1);
  EXPECT_DOUBLE_EQ(chart::peakOf({3, 9}), 9);
  // An eighth value is never drawn but still sets the scale.
  const auto list = layoutFake(Columns{{5, 5, 5, 5, 5, 5, 5, 10}, kDays, 0, false}, 200, 60);
  EXPECT_DOUBLE_EQ(shapesOf(list, ui::ShapeKind::roundedRect).at(0).rect.height, 30);
}

}  // namespace
}  // namespace korvel
