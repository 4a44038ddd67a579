#include "faces_fixture.h"

namespace korvel::facetest {
namespace {

double drawnCellWidth(const ui::DisplayList& list) {
  const auto cells = fillsOf(list, ui::ShapeKind::roundedRect);
  return cells.empty() ? 0 : cells.front().rect.width;
}

TEST(RhythmView, GridChoiceFallsBackFromEightToSevenToSixByWidth) {
  // A grid is 24 cells, 23 gaps of 1.5 and 25 for the labels.
  struct Case {
    double width;
    double cell;
  };
  const WeekSnapshot s = sampleWeek();
  for (const Case c : {Case{260, 8}, Case{251.5, 8}, Case{251, 7}, Case{227.5, 7}, Case{227, 6},
                       Case{50, 6}}) {
    const auto list = layoutFake(heatGridChoice(s, {{{8, 1.5}, {7, 1.5}, {6, 1.5}}}), c.width, 138);
    EXPECT_DOUBLE_EQ(drawnCellWidth(list), c.cell) << c.width;
    EXPECT_EQ(fillsOf(list, ui::ShapeKind::roundedRect).size(), 7u * 24u);  // one grid drawn
  }
}

TEST(RhythmView, FaceGivesTheGridWhatTheFiguresColumnLeaves) {
  // With figures narrower than the column's 64-point minimum, the grid gets the rest less 12.
  WeekSnapshot s = sampleWeek();
  s.rhythm.peakLabel = s.rhythm.activeLabel = "P";
  s.rhythm.peak = s.rhythm.active = "1";
  s.rhythm.activeOf = "";
  struct Case {
    double width;
    double cell;
  };
  for (const Case c : {Case{332, 8}, Case{327.5, 8}, Case{327, 7}, Case{303.5, 7}, Case{303, 6}}) {
    const auto list = layoutFake(rhythmView(s, WeekFaceSize::medium, bareHeader()), c.width, 138);
    EXPECT_DOUBLE_EQ(drawnCellWidth(list), c.cell) << c.width;
  }
}

TEST(RhythmView, FiguresColumnNeverNarrowerThanSixtyFour) {
  const WeekSnapshot s = sampleWeek();
  const auto list = layoutFake(rhythmView(s, WeekFaceSize::medium, bareHeader()), 150, 138);
  const auto cells = fillsOf(list, ui::ShapeKind::roundedRect);
  const double gridRight = cells.back().rect.x + cells.back().rect.width;
  for (const ui::Op& t : textOps(list)) {
    if (t.text.text == s.rhythm.peakLabel) {
      EXPECT_DOUBLE_EQ(t.rect.x, gridRight + 12);
    }
  }
}

TEST(RhythmView, SmallShowsCompactGridAndLineOnly) {
  const WeekSnapshot s = sampleWeek();
  const auto list = layoutFace(rhythmView(s, WeekFaceSize::small, bareHeader()), WeekFaceSize::small);
  EXPECT_EQ(bodyTexts(list), (std::vector<std::string>{s.rhythm.line}));
  const auto cells = fillsOf(list, ui::ShapeKind::roundedRect);
  ASSERT_EQ(cells.size(), 7u * 24u);
  EXPECT_DOUBLE_EQ(cells[0].rect.width, 4);
  EXPECT_DOUBLE_EQ(cells[0].rect.height, 7);
  EXPECT_DOUBLE_EQ(cells[0].rect.y, 14.4 + 10);
}

TEST(RhythmView, ActiveFigureAndItsTotalShareABaseline) {
  const WeekSnapshot s = sampleWeek();
  const auto list = layoutFace(rhythmView(s, WeekFaceSize::large, bareHeader()), WeekFaceSize::large);
  const auto texts = textOps(list);
  const ui::Op* active = nullptr;
  const ui::Op* of = nullptr;
  for (const ui::Op& t : texts) {
    if (t.text.text == s.rhythm.active) active = &t;
    if (t.text.text == s.rhythm.activeOf) of = &t;
  }
  ASSERT_TRUE(active && of);
  EXPECT_DOUBLE_EQ(active->text.baseline, of->text.baseline);
  EXPECT_DOUBLE_EQ(of->rect.x, active->rect.x + active->rect.width);  // no spacing of its own
  EXPECT_EQ(of->text.runs.at(0).color.color, "inkFaint");
}

}  // namespace
}  // namespace korvel::facetest
