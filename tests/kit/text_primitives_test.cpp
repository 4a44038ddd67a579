#include "kit/text_primitives.h"

#include <gtest/gtest.h>

#include "kit/text_utils.h"
#include "kit_test_support.h"

namespace korvel {
namespace {

using testing::fills;
using testing::layoutFake;
using testing::texts;

TEST(Hero, UnitIsSmallerSoftAndOptional) {
  struct Case {
    std::string unit;
    double size;
    std::size_t textCount;
  };
  for (const Case& c : {Case{"hrs", 32, 2}, Case{"", 40, 1}}) {
    const auto t = texts(layoutFake(Hero{"14.5", c.unit, c.size}, 300, 100));
    ASSERT_EQ(t.size(), c.textCount);
    const auto& value = t[0].text.runs.at(0);
    EXPECT_DOUBLE_EQ(value.size, c.size);
    EXPECT_EQ(value.weight, ui::Weight::semibold);
    EXPECT_EQ(value.design, ui::Design::rounded);
    EXPECT_TRUE(t[0].accent);
    if (c.textCount == 2) {
      EXPECT_DOUBLE_EQ(t[1].text.runs.at(0).size, c.size * 0.46);
      EXPECT_EQ(t[1].text.runs.at(0).color.color, "inkSoft");
      EXPECT_DOUBLE_EQ(t[1].rect.x, t[0].rect.x + t[0].rect.width + 3);
      EXPECT_DOUBLE_EQ(t[1].text.baseline, t[0].text.baseline);  // first baselines aligned
      EXPECT_FALSE(t[1].accent);
    }
  }
}

TEST(Hero, ValueAndUnitShrinkTogetherThenCut) {
  const auto t = texts(layoutFake(Hero{"1234567890", "hours", 40}, 150, 100));
  ASSERT_EQ(t.size(), 2u);
  const double valueSize = t[0].text.runs.at(0).size;
  const double unitSize = t[1].text.runs.at(0).size;
  EXPECT_LT(valueSize, 40);
  EXPECT_GE(valueSize, 40 * 0.6 - 1e-9);
  EXPECT_NEAR(unitSize / valueSize, 0.46, 1e-9);
  EXPECT_LE(t[1].rect.x + t[1].rect.width, 150 + 1e-9);
}

TEST(LineText, StrongLeadIsJoinedWithExactlyOneSpace) {
  struct Case {
    std::optional<std::string> strong;
    std::string joined;
    std::size_t runs;
  };
  for (const Case& c : {Case{std::nullopt, "ran alone", 2}, Case{"12 runs", "12 runs ran alone", 2},
                        Case{"ends in space ", "ends in space  ran alone", 2}}) {
    const auto t = texts(layoutFake(LineText{WeekLine{c.strong, "ran alone"}, 2}, 300, 100));
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].text.text, c.joined);
    const auto& runs = t[0].text.runs;
    EXPECT_EQ(runs.back().color.color, "inkSoft");
    EXPECT_EQ(runs.back().weight, ui::Weight::regular);
    EXPECT_DOUBLE_EQ(runs.back().size, 12);
    if (c.strong) {
      EXPECT_EQ(runs.front().weight, ui::Weight::semibold);
      EXPECT_EQ(runs.front().color.color, "ink");
    }
  }
}

TEST(LineText, OneLineLimitEndsInAnEllipsis) {
  const auto t = texts(layoutFake(LineText{WeekLine{std::nullopt, std::string(200, 'x') + " end"}, 1}, 120, 100));
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].text.lines, 1);
  EXPECT_NE(t[0].text.shown.find("\u2026"), std::string::npos);
}

TEST(Tile, PaddedBoxOnAHairlineRoundedRectangle) {
  for (const bool withNote : {false, true}) {
    const auto list = layoutFake(
        Tile{"42", "accepted", withNote ? std::optional<std::string>("3 waiting") : std::nullopt}, 110, 100);
    const auto t = texts(list);
    ASSERT_EQ(t.size(), withNote ? 3u : 2u);
    const auto box = fills(list, "hairline");
    ASSERT_EQ(box.size(), 1u);
    EXPECT_EQ(box[0].shape.kind, ui::ShapeKind::roundedRect);
    EXPECT_EQ(box[0].shape.radii, (ui::CornerRadii{11, 11, 11, 11}));
    EXPECT_EQ(box[0].shape.corners, ui::CornerStyle::continuous);
    EXPECT_DOUBLE_EQ(box[0].rect.width, 110);  // stretched to the full width
    EXPECT_DOUBLE_EQ(t[0].rect.x - box[0].rect.x, 9);
    EXPECT_DOUBLE_EQ(t[0].rect.y - box[0].rect.y, 7);
    EXPECT_DOUBLE_EQ(box[0].rect.y + box[0].rect.height - (t.back().rect.y + t.back().rect.height), 7);
    EXPECT_DOUBLE_EQ(t[0].text.runs.at(0).size, 18);
    EXPECT_DOUBLE_EQ(t[1].text.runs.at(0).size, 11);
  }
}

TEST(Facts, RowsPushLabelsLeadingAndValuesTrailing) {
  const std::vector<WeekKV> facts{{"Runs", "31"}, {"Longest", "2 h 10 m"}};
  const auto t = texts(layoutFake(Facts{facts}, 250, 100));
  ASSERT_EQ(t.size(), 4u);
  EXPECT_DOUBLE_EQ(t[0].rect.x, 0);
  EXPECT_DOUBLE_EQ(t[1].rect.x + t[1].rect.width, 250);
  EXPECT_EQ(t[1].text.runs.at(0).weight, ui::Weight::semibold);
  EXPECT_TRUE(t[1].text.runs.at(0).monospacedDigits);
  EXPECT_EQ(t[0].text.runs.at(0).color.color, "inkSoft");
  EXPECT_DOUBLE_EQ(t[0].text.runs.at(0).size, 11.5);
  EXPECT_DOUBLE_EQ(t[2].rect.y - (t[0].rect.y + t[0].rect.height), 4);
  EXPECT_TRUE(layoutFake(Facts{{}}, 250, 100).ops.empty());
}

TEST(Rules, SolidHairlineAndDashedInkFaint) {
  const auto solid = fills(layoutFake(FaceRule{}, 200, 50));
  ASSERT_EQ(solid.size(), 1u);
  EXPECT_EQ(solid[0].rect, (ui::Rect{0, 0, 200, 1}));
  EXPECT_EQ(solid[0].paint.color, "hairline");

  const auto list = layoutFake(DashedRule{}, 200, 1);
  const auto dashed = testing::opsOf(list, ui::OpKind::stroke);
  ASSERT_EQ(dashed.size(), 1u);
  EXPECT_EQ(dashed[0].paint, (ui::Paint{"inkFaint", 0.6}));
  EXPECT_EQ(dashed[0].stroke.dash, (std::vector<double>{3, 3}));
  EXPECT_DOUBLE_EQ(dashed[0].stroke.dashPhase, 0);
  EXPECT_EQ(dashed[0].stroke.lineCap, ui::LineCap::butt);
  EXPECT_EQ(dashed[0].shape.points, (std::vector<ui::Point>{{0, 0}, {200, 0}}));
}

TEST(TextUtils, GraphemesLowerCaseAndComposition) {
  struct Case {
    std::string text;
    std::size_t graphemes;
  };
  for (const Case& c : {Case{"12,345", 6}, Case{"e\u0301", 1}, Case{"\U0001F1E9\U0001F1EA", 1},
                        Case{"", 0}, Case{"\U0001F468\u200D\U0001F469\u200D\U0001F467", 1}}) {
    EXPECT_EQ(graphemeCount(c.text), c.graphemes) << c.text;
  }
  EXPECT_EQ(lowercased("Hours WITHOUT You"), "hours without you");
  EXPECT_EQ(lowercased("\u0130stanbul"), "i\u0307stanbul");
  EXPECT_EQ(lowercased("\u039F\u0394\u039F\u03A3"), "\u03BF\u03B4\u03BF\u03C2");
  EXPECT_EQ(nfc("Cafe\u0301"), "Caf\u00E9");
}

}  // namespace
}  // namespace korvel
