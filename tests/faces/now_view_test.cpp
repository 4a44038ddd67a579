#include "faces_fixture.h"

namespace korvel::facetest {
namespace {

WeekSnapshot withRuns(std::size_t n, std::string count) {
  WeekSnapshot s = sampleWeek();
  s.now.runs.clear();
  for (std::size_t i = 0; i < n; ++i) {
    // Equal fields on purpose: rows are counted by position, not by content.
    s.now.runs.push_back(WeekRun{.name = "run", .time = "1m", .waiting = i % 2 == 1, .sinceMs = std::nullopt});
  }
  s.now.count = std::move(count);
  return s;
}

TEST(NowView, RunCountsBySizeAndCount) {
  struct Case {
    WeekFaceSize size;
    std::string count;
    std::size_t runs;
    std::size_t rows;
    bool hero;
  };
  const std::vector<Case> cases{
      {WeekFaceSize::small, "0", 5, 3, false},   {WeekFaceSize::small, "2", 5, 2, true},
      {WeekFaceSize::small, "00", 5, 2, true},   {WeekFaceSize::small, " 0", 5, 2, true},
      {WeekFaceSize::small, "0", 2, 2, false},   {WeekFaceSize::medium, "0", 6, 4, false},
      {WeekFaceSize::medium, "3", 6, 4, false},  {WeekFaceSize::large, "3", 12, 9, false},
      {WeekFaceSize::large, "0", 3, 3, false},
  };
  for (const Case& c : cases) {
    const WeekSnapshot s = withRuns(c.runs, c.count);
    const auto list = layoutFace(nowView(s, c.size, bareHeader()), c.size);
    const auto texts = bodyTexts(list);
    EXPECT_EQ(fillsOf(list, ui::ShapeKind::circle).size(), c.rows) << c.count << " " << c.runs;
    const bool heroShown = !texts.empty() && texts.front() == c.count;
    EXPECT_EQ(heroShown, c.hero) << c.count;
  }
}

TEST(NowView, WaitingLineOnlyOnLargerFacesAndOnlyWhenPresent) {
  for (const WeekFaceSize size : kAllSizes) {
    for (const bool present : {true, false}) {
      WeekSnapshot s = withRuns(3, "2");
      s.now.waiting = present ? std::optional<std::string>("2 wait for you") : std::nullopt;
      const auto list = layoutFace(nowView(s, size, bareHeader()), size);
      const auto texts = bodyTexts(list);
      const bool shown = std::find(texts.begin(), texts.end(), "2 wait for you") != texts.end();
      EXPECT_EQ(shown, present && size != WeekFaceSize::small);
      if (shown) {
        const ui::Op waiting = textOps(list).back();
        EXPECT_EQ(waiting.text.runs.at(0).color.color, "orange");
        EXPECT_DOUBLE_EQ(waiting.text.runs.at(0).size, 11.5);
      }
    }
  }
}

TEST(NowView, NoRunsShowsOnlyTheEmptyTextCutAfterThreeLines) {
  for (const WeekFaceSize size : kAllSizes) {
    WeekSnapshot s = withRuns(0, "3");
    s.now.waiting = "never shown";
    s.now.empty = std::string(400, 'x') + " nobody";
    const auto list = layoutFace(nowView(s, size, bareHeader()), size);
    const auto texts = textOps(list);
    ASSERT_EQ(texts.size(), 3u);  // title, trailing, empty
    const ui::Op& empty = texts[2];
    EXPECT_EQ(empty.text.lines, 3);
    EXPECT_DOUBLE_EQ(empty.text.runs.at(0).size, size == WeekFaceSize::small ? 15 : 13);
    EXPECT_EQ(empty.text.runs.at(0).weight, ui::Weight::semibold);
    EXPECT_EQ(empty.text.runs.at(0).color.color, "inkSoft");
    EXPECT_DOUBLE_EQ(empty.rect.y, 14.4 + 12);
    EXPECT_TRUE(fillsOf(list, ui::ShapeKind::circle).empty());
  }
}

}  // namespace
}  // namespace korvel::facetest
