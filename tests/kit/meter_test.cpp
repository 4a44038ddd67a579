#include "kit/meter.h"

#include <gtest/gtest.h>

#include <limits>

#include "kit_test_support.h"

namespace korvel {
namespace {

using testing::fills;
using testing::layoutFake;
using testing::texts;

WeekMeter meterWith(std::int64_t used, std::optional<std::int64_t> elapsed,
                    std::string severity = "ok") {
  return WeekMeter{.engine = "Claude",
                   .label = "Claude weekly",
                   .weekly = true,
                   .used = used,
                   .usedText = std::to_string(used) + "%",
                   .elapsed = elapsed,
                   .pace = "Ahead of pace",
                   .paceKey = "ahead",
                   .severity = std::move(severity),
                   .resets = std::nullopt};
}

// The fill is the second capsule of the bar; the tick the ink one.
struct BarOps {
  ui::Op track, fill;
  std::optional<ui::Op> tick;
};

BarOps barOps(const ui::DisplayList& list) {
  std::vector<ui::Op> capsules;
  for (const ui::Op& op : fills(list)) {
    if (op.shape.kind == ui::ShapeKind::capsule) capsules.push_back(op);
  }
  EXPECT_GE(capsules.size(), 2u);
  BarOps out{capsules.at(0), capsules.at(1), std::nullopt};
  if (capsules.size() > 2) out.tick = capsules[2];
  return out;
}

// Over the limit the fill runs past the track by the share, up to ten tracks for runaway values.
TEST(Meter, FillWidthFollowsUsedFromTwoUpToTenTracks) {
  struct Case {
    std::int64_t used;
    double width;
  };
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  for (const Case c : {Case{50, 100}, Case{0, 2}, Case{-20, 2}, Case{130, 260}, Case{100, 200},
                       Case{1000, 2000}, Case{kMax, 2000}, Case{-kMax - 1, 2}}) {
    const auto bar = barOps(layoutFake(Meter{meterWith(c.used, std::nullopt)}, 200, 60));
    EXPECT_DOUBLE_EQ(bar.track.rect.width, 200) << c.used;
    EXPECT_DOUBLE_EQ(bar.fill.rect.width, c.width) << c.used;
    EXPECT_DOUBLE_EQ(bar.fill.rect.height, 5);
    EXPECT_DOUBLE_EQ(bar.fill.rect.x, bar.track.rect.x);
    EXPECT_TRUE(bar.fill.accent);
    EXPECT_FALSE(bar.track.accent);
  }
}

TEST(Meter, TickIsCentredOnElapsedAndStaysOnTheTrack) {
  struct Case {
    std::int64_t elapsed;
    double x;
  };
  for (const Case c : {Case{0, 0}, Case{50, 99}, Case{100, 198}, Case{150, 198}, Case{-5, 0}}) {
    const auto bar = barOps(layoutFake(Meter{meterWith(40, c.elapsed)}, 200, 60));
    ASSERT_TRUE(bar.tick) << c.elapsed;
    EXPECT_EQ(bar.tick->paint.color, "ink");
    EXPECT_DOUBLE_EQ(bar.tick->rect.x - bar.track.rect.x, c.x) << c.elapsed;
    EXPECT_DOUBLE_EQ(bar.tick->rect.width, 2);
    EXPECT_DOUBLE_EQ(bar.tick->rect.height, 11);
    // With a tick the overlay is 11 tall from the top of the area: the track sits 3 lower.
    EXPECT_DOUBLE_EQ(bar.track.rect.y - bar.tick->rect.y, 3);
  }
}

TEST(Meter, WithoutTickTheTrackSitsInTheMiddleOfItsElevenPoints) {
  const auto list = layoutFake(Meter{meterWith(40, std::nullopt)}, 200, 60);
  const auto bar = barOps(list);
  EXPECT_FALSE(bar.tick);
  const ui::Op caption = texts(list).front();
  // caption, 3 spacing, 3 padding, then the 5-point track
  EXPECT_DOUBLE_EQ(bar.track.rect.y, caption.rect.y + caption.rect.height + 3 + 3);
}

TEST(Meter, SeverityColourByExactComparison) {
  struct Case {
    const char* severity;
    const char* color;
  };
  for (const Case c : {Case{"bad", "red"}, Case{"warn", "amber"}, Case{"Bad", "lime"},
                       Case{"WARN", "lime"}, Case{"", "lime"}, Case{"ok", "lime"}}) {
    EXPECT_EQ(barOps(layoutFake(Meter{meterWith(10, std::nullopt, c.severity)}, 200, 60)).fill.paint.color,
              c.color)
        << c.severity;
  }
}

TEST(Meter, CaptionAndPaceDependOnShortAndPaceKey) {
  struct Case {
    bool isShort;
    std::optional<std::string> paceKey;
    std::vector<std::string> shown;
    std::string paceColor;
  };
  const std::vector<Case> cases{
      {false, "ahead", {"Claude weekly", "40%", "Ahead of pace"}, "amber"},
      {false, "behind", {"Claude weekly", "40%", "Ahead of pace"}, "inkFaint"},
      {false, std::nullopt, {"Claude weekly", "40%", "Ahead of pace"}, "inkFaint"},
      {true, "ahead", {"Claude", "40%"}, ""},
  };
  for (const Case& c : cases) {
    WeekMeter m = meterWith(40, 50);
    m.paceKey = c.paceKey;
    const auto list = layoutFake(Meter{m, c.isShort}, 200, 80);
    std::vector<std::string> shown;
    for (const ui::Op& op : texts(list)) shown.push_back(op.text.text);
    EXPECT_EQ(shown, c.shown);
    if (!c.paceColor.empty()) {
      EXPECT_EQ(texts(list).back().text.runs.at(0).color.color, c.paceColor);
    }
  }
}

TEST(RunRow, DotColourFollowsWaitingAndTimeSitsAtTheTrailingEdge) {
  for (const bool waiting : {true, false}) {
    const WeekRun run{.name = "Fix the flaky test", .time = "12m", .waiting = waiting, .sinceMs = 1};
    const auto list = layoutFake(RunRow{run}, 300, 40);
    const auto dots = fills(list);
    ASSERT_EQ(dots.size(), 1u);
    EXPECT_EQ(dots[0].shape.kind, ui::ShapeKind::circle);
    EXPECT_EQ(dots[0].paint.color, waiting ? "orange" : "lime");
    EXPECT_DOUBLE_EQ(dots[0].rect.width, 7);
    const auto t = texts(list);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_DOUBLE_EQ(t[1].rect.x + t[1].rect.width, 300);
    EXPECT_EQ(t[1].text.runs.at(0).color.color, "inkFaint");
    EXPECT_DOUBLE_EQ(t[1].text.runs.at(0).size, 11);
    EXPECT_DOUBLE_EQ(t[0].text.runs.at(0).size, 12);
  }
}

}  // namespace
}  // namespace korvel
