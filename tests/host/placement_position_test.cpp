// Where anchored widgets go (the layer shell's edges and margins), where the others flow, and
// which widget a pointer's click opens.
#include <gtest/gtest.h>

#include "host/deep_link.h"
#include "host/player/placement_position.h"

namespace korvel::host {
namespace {

TEST(EdgeMargins, PinsTheAnchoredEdgesOnlyWithTheirMargins) {
  // top 1, bottom 2, left 4, right 8; margins top, right, bottom, left.
  const std::vector<std::pair<const char*, EdgeMargins>> cases = {
      {"top-left+3+4", {5, {4, 0, 0, 3}}},    {"top+3+4", {1, {4, 0, 0, 0}}},
      {"top-right+3+4", {9, {4, 3, 0, 0}}},   {"left+3+4", {4, {0, 0, 0, 3}}},
      {"center+3+4", {0, {0, 0, 0, 0}}},      {"right+3+4", {8, {0, 3, 0, 0}}},
      {"bottom-left+3+4", {6, {0, 0, 4, 3}}}, {"bottom+3+4", {2, {0, 0, 4, 0}}},
      {"bottom-right+3+4", {10, {0, 3, 4, 0}}}};
  for (const auto& [text, want] : cases) {
    const auto position = std::get<PlacementPosition>(parsePosition(text));
    EXPECT_EQ(positionText(position), text);
    EXPECT_EQ(edgeMargins(position), want) << text;
  }
}

TEST(FlowPositions, SideBySideFromTheTopLeftInRowsThatFit) {
  const std::vector<ui::Size> sizes = {{170, 170}, {364, 170}, {170, 170}, {364, 382}};
  auto at = [](const std::vector<PlacementPosition>& flow) {
    std::string out;
    for (const auto& p : flow) out += positionText(p) + " ";
    return out;
  };
  EXPECT_EQ(at(flowPositions(sizes, 0, 20)),
            "top-left+20+20 top-left+210+20 top-left+594+20 top-left+784+20 ");
  // 784 + 364 + 20 passes 1000: the large one starts a row below the tallest of the first.
  EXPECT_EQ(at(flowPositions(sizes, 1000, 20)),
            "top-left+20+20 top-left+210+20 top-left+594+20 top-left+20+210 ");
  // A widget wider than the screen still takes a row of its own.
  EXPECT_EQ(at(flowPositions(sizes, 100, 20)),
            "top-left+20+20 top-left+20+210 top-left+20+400 top-left+20+590 ");
}

TEST(ClickTracker, OpensTheWidgetPressedAndReleasedOnWithoutLeaving) {
  ClickTracker clicks;
  EXPECT_EQ(clicks.release(), std::nullopt);  // a release with no press
  clicks.enter(2);
  clicks.press();
  EXPECT_EQ(clicks.release(), 2);
  EXPECT_EQ(clicks.release(), std::nullopt);  // once
  clicks.press();
  clicks.enter(1);  // dragged onto another widget
  EXPECT_EQ(clicks.release(), std::nullopt);
  clicks.press();
  clicks.leave();
  clicks.enter(1);
  EXPECT_EQ(clicks.release(), std::nullopt);
  clicks.leave();
  clicks.press();  // on the bare desktop
  EXPECT_EQ(clicks.release(), std::nullopt);
}

}  // namespace
}  // namespace korvel::host
