#include "faces_fixture.h"

namespace korvel::facetest {
namespace {

TEST(WeekAtAGlance, TitlesAreLowerCasedWithoutLocale) {
  WeekSnapshot s = sampleWeek();
  s.autonomy.title = "\u00DCber DICH";
  s.volume.title = "Code \u0130ZMIR";
  const auto texts = bodyTexts(layoutFace(weekAtAGlance(s, bareHeader()), WeekFaceSize::large));
  EXPECT_NE(std::find(texts.begin(), texts.end(), "\u00FCber dich"), texts.end());
  EXPECT_NE(std::find(texts.begin(), texts.end(), "code i\u0307zmir"), texts.end());
}

TEST(WeekAtAGlance, FirstTileNoteIsTheLastLegendEntry) {
  struct Case {
    std::vector<WeekLegend> legend;
    std::optional<std::string> note;
  };
  const std::vector<Case> cases{
      {{{"passed", "first"}, {"debt", "second"}, {"waiting", "third"}}, "third"},
      {{}, std::nullopt},
  };
  for (const Case& c : cases) {
    WeekSnapshot s = sampleWeek();
    s.outcomes.legend = c.legend;
    const auto texts = bodyTexts(layoutFace(weekAtAGlance(s, bareHeader()), WeekFaceSize::large));
    const auto unit = std::find(texts.begin(), texts.end(), s.outcomes.unit);
    ASSERT_NE(unit, texts.end());
    const std::string next = *(unit + 1);
    EXPECT_EQ(next, c.note.value_or(s.receipt.hero));  // no note: the next tile follows
  }
}

TEST(WeekAtAGlance, HeroRowLineOnlyWithoutEmpty) {
  for (const bool withEmpty : {false, true}) {
    WeekSnapshot s = sampleWeek();
    s.autonomy.empty = withEmpty ? std::optional<std::string>("not on this face") : std::nullopt;
    const auto texts = bodyTexts(layoutFace(weekAtAGlance(s, bareHeader()), WeekFaceSize::large));
    const std::string lead = *s.autonomy.lines[0].strong + " " + s.autonomy.lines[0].text;
    EXPECT_EQ(std::find(texts.begin(), texts.end(), lead) != texts.end(), !withEmpty);
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "not on this face"), texts.end());
  }
}

TEST(WeekAtAGlance, GridFallsBackFromTenToNineToEight) {
  struct Case {
    double width;
    double cell;
  };
  for (const Case c : {Case{332, 10}, Case{299.5, 10}, Case{299, 9}, Case{275.5, 9}, Case{275, 8}, Case{200, 8}}) {
    const auto list = layoutFake(weekAtAGlance(sampleWeek(), bareHeader()), c.width, 350);
    const auto cells = fillsOf(list, ui::ShapeKind::roundedRect);
    ASSERT_GE(cells.size(), 7u * 24u);
    EXPECT_DOUBLE_EQ(cells.back().rect.width, c.cell) << c.width;
  }
}

}  // namespace
}  // namespace korvel::facetest
