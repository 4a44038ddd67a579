#include "faces_fixture.h"

namespace korvel::facetest {
namespace {

TEST(VolumeView, SmallAddedSizeCountsUserPerceivedCharacters) {
  struct Case {
    std::string added;
    double size;
  };
  for (const Case& c : {Case{"+12,4800", 27}, Case{"+12,48000", 24}, Case{"+1\U0001F1E9\U0001F1EA4,800", 27},
                        Case{"+e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301", 27}, Case{"", 27}}) {
    EXPECT_DOUBLE_EQ(smallAddedFontSize(c.added), c.size) << c.added;
    WeekSnapshot s = sampleWeek();
    s.volume.added = c.added;
    const auto list = layoutFace(volumeView(s, WeekFaceSize::small, bareHeader()), WeekFaceSize::small);
    const ui::Op added = textOps(list).at(2);
    EXPECT_EQ(added.text.text, c.added);
    EXPECT_TRUE(added.accent);
  }
}

TEST(VolumeView, LineOnSmallDetailAndChartOnLarger) {
  const WeekSnapshot s = sampleWeek();
  for (const WeekFaceSize size : kAllSizes) {
    const auto list = layoutFace(volumeView(s, size, bareHeader()), size);
    const auto texts = bodyTexts(list);
    const bool small = size == WeekFaceSize::small;
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[0], s.volume.added);
    EXPECT_EQ(texts[1], s.volume.removed);
    EXPECT_EQ(texts[2], small ? s.volume.line : s.volume.detail);
    const ui::Op removed = textOps(list).at(3);
    EXPECT_EQ(removed.text.runs.at(0).color.color, "red");
    EXPECT_DOUBLE_EQ(removed.text.runs.at(0).size, small ? 20 : 19);
    EXPECT_DOUBLE_EQ(textOps(list).at(2).text.runs.at(0).size, small ? 27 : 26);
    // The diverging chart draws its midlines only on the larger faces.
    EXPECT_EQ(fillsOf(list, ui::ShapeKind::rect, "inkFaint").size(), small ? 0u : 7u);
  }
}

TEST(VolumeView, LongAddedShrinksButStaysOnOneLine) {
  WeekSnapshot s = sampleWeek();
  s.volume.added = "+1,234,567,890,123";
  const auto list = layoutFace(volumeView(s, WeekFaceSize::small, bareHeader()), WeekFaceSize::small);
  const ui::Op added = textOps(list).at(2);
  EXPECT_EQ(added.text.lines, 1);
  EXPECT_GE(added.text.runs.at(0).size, 24 * 0.6 - 1e-9);
  EXPECT_LT(added.text.runs.at(0).size, 24);
}

}  // namespace
}  // namespace korvel::facetest
