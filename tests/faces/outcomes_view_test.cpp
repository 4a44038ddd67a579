#include "faces_fixture.h"
#include "kit/text_primitives.h"

namespace korvel::facetest {
namespace {

TEST(OutcomesView, SmallFaceBranches) {
  const WeekLine one{"12", "passed"}, two{std::nullopt, "waiting on you"}, three{std::nullopt, "never"};
  struct Case {
    std::optional<std::string> empty;
    std::vector<WeekLine> lines;
    std::vector<std::string> body;
    std::size_t dots;
  };
  const std::vector<Case> cases{
      {"Nothing ended", {one, two}, {"41", "accepted", "Nothing ended"}, 0},
      {std::nullopt, {}, {"41", "accepted"}, 0},
      {std::nullopt, {one}, {"41", "accepted", "12 passed"}, 0},
      {std::nullopt, {one, two, three}, {"41", "accepted", "12 passed", "waiting on you"}, 1},
  };
  for (const Case& c : cases) {
    WeekSnapshot s = sampleWeek();
    s.outcomes.hero = "41";
    s.outcomes.unit = "accepted";
    s.outcomes.empty = c.empty;
    s.outcomes.lines = c.lines;
    const auto list = layoutFace(outcomesView(s, WeekFaceSize::small, bareHeader()), WeekFaceSize::small);
    EXPECT_EQ(bodyTexts(list), c.body);
    const auto dots = fillsOf(list, ui::ShapeKind::circle, "orange");
    EXPECT_EQ(dots.size(), c.dots);
    EXPECT_DOUBLE_EQ(textOps(list).at(2).text.runs.at(0).size, 34);
  }
}

TEST(OutcomesView, LegendSwatchesByExactKey) {
  WeekSnapshot s = sampleWeek();
  s.outcomes.legend = {{"passed", "a"}, {"debt", "b"}, {"waiting", "c"}, {"Passed", "d"}, {"", "e"}};
  s.outcomes.empty = "ignored on larger faces";
  for (const WeekFaceSize size : {WeekFaceSize::medium, WeekFaceSize::large}) {
    const auto list = layoutFace(outcomesView(s, size, bareHeader()), size);
    std::vector<std::string> colors;
    for (const ui::Op& op : fillsOf(list, ui::ShapeKind::roundedRect)) {
      if (op.rect.width == 7 && op.rect.height == 7) colors.push_back(op.paint.color);
    }
    EXPECT_EQ(colors, (std::vector<std::string>{"green", "blue", "orange", "orange", "orange"}));
    for (const std::string& t : bodyTexts(list)) EXPECT_NE(t, "ignored on larger faces");
  }
}

// Legend entries, facts and receipt rows beyond the 24 the tallest widget could show are not
// drawn.
TEST(OutcomesView, LongListsAreCutToTheRowCap) {
  WeekSnapshot s = sampleWeek();
  s.outcomes.legend.clear();
  s.outcomes.facts.clear();
  s.receipt.rows.clear();
  for (int i = 0; i < 40; ++i) {
    s.outcomes.legend.push_back({"passed", "legend " + std::to_string(i)});
    s.outcomes.facts.push_back({"fact " + std::to_string(i), "v"});
    s.receipt.rows.push_back({"row " + std::to_string(i), "r"});
  }
  const auto count = [](const ui::DisplayList& list, const std::string& prefix) {
    std::size_t n = 0;
    for (const std::string& t : bodyTexts(list)) n += t.starts_with(prefix);
    return n;
  };
  const auto outcomes = layoutFace(outcomesView(s, WeekFaceSize::large, bareHeader()), WeekFaceSize::large);
  EXPECT_EQ(count(outcomes, "legend "), kMaxListRows);
  EXPECT_EQ(count(outcomes, "fact "), kMaxListRows);
  const auto receipt = layoutFace(receiptView(s, WeekFaceSize::large, bareHeader()), WeekFaceSize::large);
  EXPECT_EQ(count(receipt, "row "), kMaxListRows);
}

TEST(OutcomesView, MediumHeroColumnIsFixedAndLargeEndsWithFacts) {
  const WeekSnapshot s = sampleWeek();
  const auto medium = layoutFace(outcomesView(s, WeekFaceSize::medium, bareHeader()), WeekFaceSize::medium);
  for (const ui::Op& op : medium.ops) {
    if (op.op == ui::OpKind::clip && op.shape.kind == ui::ShapeKind::rect) {
      EXPECT_GE(op.rect.x, 132 + 14);  // the chart starts after the 132-point column
    }
  }
  const auto large = layoutFace(outcomesView(s, WeekFaceSize::large, bareHeader()), WeekFaceSize::large);
  const auto texts = textOps(large);
  EXPECT_EQ(texts.back().text.text, s.outcomes.facts.back().value);
  EXPECT_DOUBLE_EQ(texts.at(2).text.runs.at(0).size, 40);
  EXPECT_EQ(fillsOf(large, ui::ShapeKind::rect, "hairline").size(), 1u);  // the rule
}

}  // namespace
}  // namespace korvel::facetest
