#include <limits>

#include "faces_fixture.h"

namespace korvel::facetest {
namespace {

TEST(ReceiptView, SmallHeroSizeByUserPerceivedCharacters) {
  struct Case {
    std::string hero;
    double size;
  };
  for (const Case& c : {Case{"$184.20", 30}, Case{"$1,184.2", 26}, Case{"\u20AC1\u0301\u0301.00", 30}}) {
    EXPECT_DOUBLE_EQ(receiptHeroSize(c.hero), c.size) << c.hero;
    WeekSnapshot s = sampleWeek();
    s.receipt.hero = c.hero;
    const auto list = layoutFace(receiptView(s, WeekFaceSize::small, bareHeader()), WeekFaceSize::small);
    const auto texts = textOps(list);
    EXPECT_EQ(textsOf(texts), (std::vector<std::string>{"T", "", s.receipt.caption, c.hero,
                                                        s.receipt.tokens, s.receipt.note}));
    EXPECT_DOUBLE_EQ(texts[3].text.runs.at(0).size, c.size);
    EXPECT_DOUBLE_EQ(texts[5].text.runs.at(0).size, 10.5);
    EXPECT_EQ(texts[5].text.runs.at(0).design, ui::Design::standard);
  }
}

TEST(ReceiptView, BlockWithoutRowsIsTheRuleAndTheTotal) {
  WeekSnapshot s = sampleWeek();
  s.receipt.rows.clear();
  const auto list = layoutFace(receiptView(s, WeekFaceSize::medium, bareHeader()), WeekFaceSize::medium);
  const auto texts = textOps(list);
  EXPECT_EQ(bodyTexts(list), (std::vector<std::string>{s.receipt.total.label, s.receipt.total.value,
                                                       s.receipt.note}));
  for (std::size_t i : {2u, 3u}) {
    EXPECT_EQ(texts[i].text.runs.at(0).weight, ui::Weight::bold);
    EXPECT_EQ(texts[i].text.runs.at(0).design, ui::Design::monospaced);
    EXPECT_EQ(texts[i].text.runs.at(0).color.color, "ink");
    EXPECT_DOUBLE_EQ(texts[i].text.runs.at(0).size, 11);
  }
  std::size_t rules = 0;
  for (const ui::Op& op : list.ops) rules += op.op == ui::OpKind::stroke;
  EXPECT_EQ(rules, 1u);
  EXPECT_EQ(texts.back().text.runs.at(0).design, ui::Design::monospaced);  // the note
  EXPECT_DOUBLE_EQ(texts.back().text.runs.at(0).size, 10);
}

struct Bars {
  std::vector<ui::Op> bars, capsules, labels;
  std::vector<ui::Rect> areas;
};

Bars largeBars(const WeekSnapshot& s) {
  const auto list = layoutFace(receiptView(s, WeekFaceSize::large, bareHeader()), WeekFaceSize::large);
  Bars out{fillsOf(list, ui::ShapeKind::roundedRect, "lime"),
           fillsOf(list, ui::ShapeKind::capsule, "hairline"), {}, {}};
  for (const ui::Op& op : list.ops) {
    if (op.op == ui::OpKind::clip && op.shape.kind == ui::ShapeKind::rect) out.areas.push_back(op.rect);
    if (op.op == ui::OpKind::text && op.text.runs.at(0).size == 9.5) out.labels.push_back(op);
  }
  return out;
}

TEST(ReceiptView, DayBarsScaleToTheLargestValueButNotBelowOne) {
  struct Case {
    std::vector<std::optional<double>> perDay;
    std::size_t bars;
    double firstHeightShare;  // of the bar area; 0 for a fixed minimum
  };
  const std::vector<Case> cases{
      {{std::nullopt, std::nullopt, std::nullopt}, 0, 0},
      {{0.2}, 1, 0.2},
      {{40, 10, 0, -5}, 2, 1.0},
      {{1e-6, 50}, 2, 0},
      {{std::numeric_limits<double>::max(), std::numeric_limits<double>::max()}, 2, 1.0},
  };
  for (const Case& c : cases) {
    WeekSnapshot s = sampleWeek();
    s.receipt.perDay = c.perDay;
    const Bars b = largeBars(s);
    ASSERT_EQ(b.areas.size(), 7u);
    EXPECT_EQ(b.bars.size(), c.bars);
    EXPECT_EQ(b.capsules.size(), 7u - c.bars);
    for (const ui::Op& cap : b.capsules) EXPECT_DOUBLE_EQ(cap.rect.height, 2);
    if (c.bars == 0) continue;
    const double expected = c.firstHeightShare > 0 ? c.firstHeightShare * b.areas[0].height : 3;
    EXPECT_NEAR(b.bars[0].rect.height, expected, 1e-9);
    EXPECT_EQ(b.bars.back().shape.radii, (ui::CornerRadii{3, 3, 0, 0}));
  }
}

TEST(ReceiptView, DayBarsDimOtherDaysToHalfAndLabelsNeverMarkToday) {
  for (const std::int64_t today : {std::int64_t{2}, std::int64_t{7}, std::int64_t{-1}}) {
    WeekSnapshot s = sampleWeek();
    s.today = today;
    s.receipt.perDay = {1, 2, 3, 4, 5, 6, 7};
    const Bars b = largeBars(s);
    ASSERT_EQ(b.bars.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
      EXPECT_DOUBLE_EQ(b.bars[i].paint.opacity, static_cast<std::int64_t>(i) == today ? 1.0 : 0.5);
    }
    ASSERT_EQ(b.labels.size(), 7u);
    for (const ui::Op& label : b.labels) {
      EXPECT_EQ(label.text.runs.at(0).weight, ui::Weight::regular);
      EXPECT_EQ(label.text.runs.at(0).color.color, "inkFaint");
      EXPECT_NEAR(label.rect.y - (b.areas[0].y + b.areas[0].height), 3, 1e-9);
    }
  }
}

TEST(ReceiptView, ShortSeriesAndLabelsLeaveEmptyDays) {
  WeekSnapshot s = sampleWeek();
  s.receipt.perDay = {3, 4};
  s.days = {"A", "B", "C"};
  const Bars b = largeBars(s);
  EXPECT_EQ(b.bars.size(), 2u);
  ASSERT_EQ(b.labels.size(), 7u);
  EXPECT_EQ(b.labels[2].text.text, "C");
  EXPECT_EQ(b.labels[3].text.text, "");
}

}  // namespace
}  // namespace korvel::facetest
