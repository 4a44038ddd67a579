// Looking widgets up, what a widget speaks, the bundle, and what a widget draws for an entry.
#include "widgets/catalog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "snapshot/decode.h"
#include "support/files.h"
#include "ui/layout.h"
#include "ui/text_measurer.h"
#include "widgets/bundle.h"
#include "widgets/widget_view.h"

namespace korvel {
namespace {

using enum WidgetFamily;
using enum WeekFaceKind;
constexpr double kGenerated = 1749746527.123;  // the sample's generatedMs

TEST(Catalog, FindsWidgetsAndFamiliesByTheirExactNames) {
  const WidgetInfo& glance = widgetFor(week);
  EXPECT_EQ(findWidget("korvel.week.glance"), &glance);
  EXPECT_EQ(findWidget("week"), &glance);  // the face kind's raw value
  for (const char* unknown : {"glance", "korvel.week.week", "Limits", ""}) {
    EXPECT_EQ(findWidget(unknown), nullptr) << unknown;
  }
  for (const WidgetFamily family : {systemSmall, systemMedium, systemLarge}) {
    EXPECT_EQ(widgetFamilyFromName(familyName(family)), family);
  }
  EXPECT_EQ(faceSize(systemLarge), WeekFaceSize::large);  // small and medium: see WidgetContent
}

TEST(WidgetLabel, SpeaksTheFaceOrTheOffWords) {
  const WeekSnapshot on{.words = {.off = "off words"},
                        .autonomy = {.spoken = "autonomy"},
                        .outcomes = {.spoken = "outcomes"},
                        .receipt = {.spoken = "receipt"},
                        .rhythm = {.spoken = "rhythm"},
                        .volume = {.spoken = "volume"},
                        .limits = {.spoken = "limits"},
                        .now = {.spoken = "now"}};
  WeekSnapshot off = on;
  off.off = true;
  for (const WeekFaceKind kind : allWeekFaceKinds) {
    // The week at a glance speaks the autonomy text; only limits keep their face while off.
    EXPECT_EQ(widgetLabel(kind, {0, on}), kind == week ? "autonomy" : std::string(rawValue(kind)));
    EXPECT_EQ(widgetLabel(kind, {0, off}), kind == limits ? "limits" : "off words");
  }
}

TEST(Bundle, EachWidgetGetsANewProviderAndShowsItsEntries) {
  const auto sample = decodeSnapshot(testing::exampleText("week.json"));
  int made = 0;
  const auto body = KorvelMacWidgets{}.body([&] {
    ++made;
    return WeekProvider([&] { return sample; }, [] { return kGenerated; });
  });
  EXPECT_EQ(made, 8);
  for (const WidgetConfiguration& c : body) {
    c.provider.getSnapshot([&](WeekEntry e) {
      EXPECT_EQ(c.content(e).kind, c.faceKind);
      EXPECT_EQ(c.content(e).entry, (WeekEntry{kGenerated, sample}));
    });
  }
}

TEST(WidgetContent, FamilyDateAndStateChooseWhatIsDrawn) {
  const auto sample = decodeSnapshot(testing::exampleText("week.json"));
  // The entry's date is the face's now: four hours on, the snapshot is stale.
  const WeekEntry fresh{kGenerated, sample}, stale{kGenerated + 4 * 3600, sample}, none{};
  const struct {
    const char* name;
    WeekFaceKind kind;
    WidgetFamily family;
    WeekEntry entry;
    std::vector<std::string> texts;  // the first ones drawn
  } cases[] = {
      {"SmallTitle", volume, systemSmall, fresh, {"Code"}},
      {"MediumTitle", volume, systemMedium, fresh, {"Code changes"}},
      {"MediumTime", limits, systemMedium, fresh, {"Limits", "Now", " \u00B7 4:42\u202FPM"}},
      {"StaleOnTheMac", limits, systemMedium, stale, {"Limits", "Korvel closed \u00B7"}},
      {"NoSnapshot", limits, systemSmall, none, {"Open Korvel and this fills in within minutes."}},
  };
  const ui::FakeTextMeasurer measurer;
  const TimeFormat format(TimeSettings{"en_US", "UTC"});
  for (const auto& c : cases) {
    const ui::Size area{c.family == systemSmall ? 138.0 : 332.0, 138};
    const ui::View content = widgetContent(c.kind, faceSize(c.family), c.entry, format);
    std::vector<std::string> texts;  // the first ones drawn
    for (const ui::Op& op : ui::layout(content, area, measurer).ops) {
      const auto* text = std::get_if<ui::DrawText>(&op);
      if (text && texts.size() < c.texts.size()) texts.push_back(text->text.text);
    }
    EXPECT_EQ(texts, c.texts) << c.name;
  }
}

}  // namespace
}  // namespace korvel
