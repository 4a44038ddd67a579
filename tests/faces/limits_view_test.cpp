#include <set>

#include "faces_fixture.h"
#include "kit/text_primitives.h"

namespace korvel::facetest {
namespace {

WeekMeter meter(std::string engine, std::string label, bool weekly) {
  return WeekMeter{.engine = std::move(engine), .label = std::move(label), .weekly = weekly,
                   .used = 10, .usedText = "10%", .elapsed = std::nullopt, .pace = std::nullopt,
                   .paceKey = std::nullopt, .severity = "ok", .resets = std::nullopt};
}

std::vector<std::string> labels(const std::vector<WeekMeter>& meters) {
  std::vector<std::string> out;
  for (const WeekMeter& m : meters) out.push_back(m.engine + " " + m.label);
  return out;
}

TEST(LimitsSelection, WeeklyMetersFirstElseAllAtMostTwo) {
  struct Case {
    std::vector<WeekMeter> meters;
    std::vector<std::string> picked;
  };
  const std::vector<Case> cases{
      {{meter("Codex", "5h", false), meter("Claude", "weekly", true), meter("Codex", "weekly", true),
        meter("Claude", "5h", false)},
       {"Claude weekly", "Codex weekly"}},
      {{meter("A", "1", false), meter("B", "2", false), meter("C", "3", false)}, {"A 1", "B 2"}},
      {{meter("A", "5h", false), meter("B", "weekly", true)}, {"B weekly"}},
      {{}, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(labels(smallLimitsSelection(c.meters)), c.picked);
}

TEST(LimitsColumns, OneColumnPerCanonicalEngineSortedByScalars) {
  struct Case {
    std::vector<WeekMeter> meters;
    std::vector<std::vector<std::string>> columns;
  };
  const std::vector<Case> cases{
      {{meter("Codex", "a", true), meter("Claude", "b", true), meter("Codex", "c", false)},
       {{"Claude b"}, {"Codex a", "Codex c"}}},
      // Letter case matters, and upper-case letters sort first.
      {{meter("codex", "a", true), meter("Codex", "b", true)}, {{"Codex b"}, {"codex a"}}},
      // An NFC and an NFD spelling of one name share a column.
      {{meter("Cod\u00e9", "a", true), meter("Code\u0301", "b", true)}, {{"Cod\u00e9 a", "Code\u0301 b"}}},
  };
  for (const Case& c : cases) {
    std::vector<std::vector<std::string>> got;
    for (const auto& column : limitsColumns(c.meters)) got.push_back(labels(column));
    EXPECT_EQ(got, c.columns);
  }
}

TEST(LimitsView, EmptyTextWinsAtEverySize) {
  for (const WeekFaceSize size : kAllSizes) {
    WeekSnapshot s = sampleWeek();
    s.limits.empty = "No limits yet";
    const auto list = layoutFace(limitsView(s, size, bareHeader()), size);
    EXPECT_EQ(bodyTexts(list), (std::vector<std::string>{"No limits yet"}));
    const ui::Op text = textOps(list).back();
    EXPECT_DOUBLE_EQ(text.rect.y, 14.4 + 10);
    EXPECT_DOUBLE_EQ(text.text.runs.at(0).size, 12);
  }
}

TEST(LimitsView, SmallFaceShowsShortMetersAndTheLine) {
  const WeekSnapshot s = sampleWeek();
  const auto list = layoutFace(limitsView(s, WeekFaceSize::small, bareHeader()), WeekFaceSize::small);
  // Engines as captions, no pace sentences, then the line at the bottom.
  EXPECT_EQ(bodyTexts(list), (std::vector<std::string>{"Claude", "62%", "Codex", "41%", s.limits.line}));
  const ui::Op line = textOps(list).back();
  EXPECT_DOUBLE_EQ(line.rect.y + line.rect.height, 138);

  WeekSnapshot none = s;
  none.limits.meters.clear();
  const auto bare = layoutFace(limitsView(none, WeekFaceSize::small, bareHeader()), WeekFaceSize::small);
  EXPECT_EQ(bodyTexts(bare), (std::vector<std::string>{s.limits.line}));
}

// A file may list thousands of meters: at most four engine columns and 24 meters a column are
// drawn, the first ones in column order.
TEST(LimitsView, ColumnsAndMetersPerColumnAreCapped) {
  WeekSnapshot s = sampleWeek();
  s.limits.meters.clear();
  for (const char* engine : {"A", "B", "C", "D", "E", "F"}) s.limits.meters.push_back(meter(engine, "W", true));
  for (int i = 0; i < 30; ++i) s.limits.meters.push_back(meter("A", "m" + std::to_string(i), false));
  const auto list = layoutFace(limitsView(s, WeekFaceSize::large, bareHeader()), WeekFaceSize::large);
  std::set<double> columns;
  std::size_t meters = 0;
  for (const ui::Op& t : textOps(list)) {
    if (t.text.text == "10%") {
      columns.insert(t.rect.x);
      ++meters;
    }
    EXPECT_NE(t.text.text, "E W");
  }
  EXPECT_EQ(columns.size(), 4u);
  EXPECT_EQ(meters, kMaxListRows + 3);  // column A capped, then B, C and D
}

TEST(LimitsView, LargerFacesPutEachEngineInItsOwnColumnAndNoLine) {
  for (const WeekFaceSize size : {WeekFaceSize::medium, WeekFaceSize::large}) {
    const WeekSnapshot s = sampleWeek();
    const auto list = layoutFace(limitsView(s, size, bareHeader()), size);
    const auto texts = textOps(list);
    std::vector<double> captionX;
    for (const ui::Op& t : texts) {
      if (t.text.text == "Weekly") captionX.push_back(t.rect.x);
      EXPECT_NE(t.text.text, s.limits.line);
    }
    ASSERT_EQ(captionX.size(), 2u);
    // Two columns of (332 - 14) / 2 = 159 each.
    EXPECT_DOUBLE_EQ(captionX[1] - captionX[0], 159 + 14);
    EXPECT_DOUBLE_EQ(texts.at(2).rect.y, 14.4 + 9);
  }
}

}  // namespace
}  // namespace korvel::facetest
