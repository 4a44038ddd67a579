#include "faces_fixture.h"

namespace korvel::facetest {
namespace {

WeekSnapshot withLines(std::size_t n, std::optional<std::string> empty = std::nullopt) {
  WeekSnapshot s = sampleWeek();
  s.autonomy.lines.clear();
  for (std::size_t i = 0; i < n; ++i) {
    s.autonomy.lines.push_back(WeekLine{std::nullopt, "line" + std::to_string(i) + " " + std::string(120, 'w')});
  }
  s.autonomy.empty = std::move(empty);
  return s;
}

bool chartDrawn(const ui::DisplayList& list) {
  for (const ui::Op& op : list.ops) {
    if (op.op == ui::OpKind::clip && op.shape.kind == ui::ShapeKind::rect) return true;
  }
  return false;
}

TEST(AutonomyView, SmallFaceDropsTheChartThenALineAsHeightShrinks) {
  // Header 14.4, hero 8 + 40.8; lead 4 + 14.4 per line; chart 6 + 15.
  struct Case {
    double height;
    bool chart;
    int lines;
  };
  for (const Case c : {Case{200, true, 3}, Case{131.4, true, 3}, Case{131, false, 3},
                       Case{110.4, false, 3}, Case{110, false, 2}, Case{40, false, 2}}) {
    const WeekSnapshot s = withLines(2);
    const auto list = layoutFake(autonomyView(s, WeekFaceSize::small, bareHeader()), 138, c.height);
    EXPECT_EQ(chartDrawn(list), c.chart) << c.height;
    const auto texts = textOps(list);
    ASSERT_EQ(texts.size(), 5u);  // title, trailing, hero value and unit, lead
    EXPECT_EQ(texts[4].text.lines, c.lines) << c.height;
  }
}

TEST(AutonomyView, WithoutLinesTheFirstCandidateIsTheChartAlone) {
  const WeekSnapshot s = withLines(0);
  const auto list = layoutFace(autonomyView(s, WeekFaceSize::small, bareHeader()), WeekFaceSize::small);
  EXPECT_TRUE(chartDrawn(list));
  EXPECT_EQ(textOps(list).size(), 4u);
}

TEST(AutonomyView, EmptyTextReplacesEveryLineOnEverySize) {
  for (const WeekFaceSize size : kAllSizes) {
    const WeekSnapshot s = withLines(3, "Nothing yet");
    const auto list = layoutFace(autonomyView(s, size, bareHeader()), size);
    std::vector<std::string> lines;
    for (const std::string& t : bodyTexts(list)) {
      if (t.rfind("line", 0) == 0 || t == "Nothing yet") lines.push_back(t);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"Nothing yet"}));
  }
}

TEST(AutonomyView, WhichLinesEachSizeShows) {
  struct Case {
    WeekFaceSize size;
    std::size_t lines;
    std::vector<std::string> shown;  // prefixes of the drawn lines, in paint order
  };
  const std::vector<Case> cases{
      {WeekFaceSize::small, 3, {"line0"}},
      {WeekFaceSize::medium, 3, {"line0", "line1"}},
      {WeekFaceSize::medium, 1, {"line0"}},
      {WeekFaceSize::large, 3, {"line2", "line0"}},  // the third beside the hero, then the lead
      {WeekFaceSize::large, 2, {"line0"}},
  };
  for (const Case& c : cases) {
    const WeekSnapshot s = withLines(c.lines);
    const auto list = layoutFace(autonomyView(s, c.size, bareHeader()), c.size);
    std::vector<std::string> shown;
    for (const std::string& t : bodyTexts(list)) {
      if (t.rfind("line", 0) == 0) shown.push_back(t.substr(0, 5));
    }
    EXPECT_EQ(shown, c.shown);
  }
}

TEST(AutonomyView, ChartValuesKeepGapsAndLength) {
  WeekSnapshot s = withLines(1);
  s.autonomy.perDay = {4, std::nullopt, 0, 8};
  const auto list = layoutFace(autonomyView(s, WeekFaceSize::large, bareHeader()), WeekFaceSize::large);
  EXPECT_EQ(fillsOf(list, ui::ShapeKind::roundedRect, "lime").size(), 2u);
  EXPECT_EQ(fillsOf(list, ui::ShapeKind::capsule, "hairline").size(), 5u);
}

}  // namespace
}  // namespace korvel::facetest
