#include "widgets/bundle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/layout.h"
#include "ui/text_measurer.h"
#include "widgets/widget_view.h"

namespace korvel {
namespace {

using enum WidgetFamily;

constexpr double kNow = 1749750127;  // an hour after the snapshot below was generated

WeekSnapshot snapshot(bool off) {
  WeekSnapshot s;
  s.v = 1;
  s.generatedMs = 1749746527123;
  s.period = "Jun 9 \u2013 15";
  s.days = {"Mo", "Tu", "We", "Th", "Fr", "Sa", "Su"};
  s.off = off;
  s.words = {.off = "Korvel is off", .offHint = "hint", .turnOn = "Turn on",
             .appClosed = "App closed", .macAway = "Mac away", .week = "week", .now = "right now"};
  s.limits.title = "Limits";
  s.limits.spoken = "limits spoken";
  s.volume.title = "Code";
  s.volume.longTitle = "Code changes";
  s.volume.spoken = "volume spoken";
  s.autonomy.spoken = "autonomy spoken";
  return s;
}

// Counts the providers made and hands each the same fixed entry source.
struct Providers {
  int made = 0;
  std::optional<WeekSnapshot> loaded;
  ProviderFactory factory() {
    return [this] {
      ++made;
      return WeekProvider([this] { return loaded; }, [] { return kNow; });
    };
  }
};

struct Expected {
  const char* kind;
  const char* name;
  const char* description;
  std::vector<WidgetFamily> families;
  WeekFaceKind face;
};

const Expected kBundle[] = {
    {"korvel.week.autonomy", "Without you",
     "How long the agents worked this week, and how much work each of your messages started.",
     {systemSmall, systemMedium, systemLarge}, WeekFaceKind::autonomy},
    {"korvel.week.outcomes", "How runs ended",
     "What review accepted this week, what it accepted with remarks, and what waited for you.",
     {systemSmall, systemMedium, systemLarge}, WeekFaceKind::outcomes},
    {"korvel.week.receipt", "Receipt of the week",
     "What the week's work would have cost at API prices. An estimate, not what you pay.",
     {systemSmall, systemMedium, systemLarge}, WeekFaceKind::receipt},
    {"korvel.week.rhythm", "Rhythm of the week",
     "When the agents worked, day by day and hour by hour.", {systemSmall, systemMedium},
     WeekFaceKind::rhythm},
    {"korvel.week.volume", "Code changes", "Lines the agents added and removed this week.",
     {systemSmall, systemMedium}, WeekFaceKind::volume},
    {"korvel.week.limits", "Limits",
     "Claude's and Codex's limits, with a tick where an even pace would be.",
     {systemSmall, systemMedium}, WeekFaceKind::limits},
    {"korvel.week.now", "Working now", "Which agents are working and which runs wait for you.",
     {systemSmall, systemMedium, systemLarge}, WeekFaceKind::now},
    {"korvel.week.glance", "The week at a glance",
     "Hours without you, accepted runs, the receipt and the week's rhythm on one face.",
     {systemLarge}, WeekFaceKind::week},
};

TEST(Bundle, EightStaticConfigurationsInOrder) {
  Providers providers;
  const std::vector<WidgetConfiguration> body = KorvelMacWidgets{}.body(providers.factory());
  ASSERT_EQ(body.size(), std::size(kBundle));
  for (std::size_t i = 0; i < body.size(); ++i) {
    SCOPED_TRACE(kBundle[i].kind);
    EXPECT_EQ(body[i].kind, kBundle[i].kind);
    // No catalogue is installed, so the localised texts are their English keys.
    EXPECT_EQ(body[i].configurationDisplayName, kBundle[i].name);
    EXPECT_EQ(body[i].description, kBundle[i].description);
    EXPECT_EQ(body[i].supportedFamilies, kBundle[i].families);
    EXPECT_EQ(body[i].faceKind, kBundle[i].face);
  }
  EXPECT_EQ(providers.made, 8);  // every widget binds a new provider
}

TEST(Bundle, ContentBindsTheFaceKindToTheEntry) {
  Providers providers;
  for (const WidgetConfiguration& c : KorvelMacWidgets{}.body(providers.factory())) {
    const WeekEntry entry{kNow, snapshot(false)};
    const WeekWidgetView view = c.content(entry);
    EXPECT_EQ(view.kind, c.faceKind) << c.kind;
    EXPECT_EQ(view.entry, entry) << c.kind;
  }
}

TEST(Bundle, ProvidersReadOnlyWhenAsked) {
  Providers providers;
  providers.loaded = snapshot(false);
  const std::vector<WidgetConfiguration> body = KorvelMacWidgets{}.body(providers.factory());
  WeekEntry entry;
  body[5].provider.getSnapshot([&entry](WeekEntry e) { entry = std::move(e); });
  EXPECT_EQ(entry.date, kNow);
  EXPECT_EQ(entry.snapshot, providers.loaded);
  EXPECT_EQ(body[5].provider.placeholder().snapshot, std::nullopt);
}

// The first text a widget's content draws, laid out in its family's content area.
std::vector<std::string> drawnTexts(const WeekWidgetView& view, WidgetFamily family) {
  static const ui::FakeTextMeasurer measurer;
  const ui::Size area = family == systemSmall    ? ui::Size{138, 138}
                        : family == systemMedium ? ui::Size{332, 138}
                                                 : ui::Size{332, 350};
  const ui::DisplayList list =
      ui::layout(widgetContent(view.kind, faceSize(family), view.entry,
                               TimeFormat(TimeSettings{"en_US", "UTC"})),
                 area, measurer);
  std::vector<std::string> texts;
  for (const ui::Op& op : list.ops) {
    if (op.op == ui::OpKind::text) texts.push_back(op.text.text);
  }
  return texts;
}

TEST(WidgetContent, EveryWidgetAndFamilyWithoutASnapshotShowsTheEmptyFace) {
  Providers providers;
  for (const WidgetConfiguration& c : KorvelMacWidgets{}.body(providers.factory())) {
    for (const WidgetFamily family : c.supportedFamilies) {
      const WeekWidgetView view = c.content(c.provider.placeholder());
      EXPECT_EQ(drawnTexts(view, family),
                (std::vector<std::string>{"Open Korvel and this fills in within minutes."}))
          << c.kind << " " << familyName(family);
      EXPECT_EQ(widgetLabel(view.kind, view.entry), "Korvel");
    }
  }
}

TEST(WidgetContent, FamilyChoosesTheFaceSize) {
  Providers providers;
  const auto body = KorvelMacWidgets{}.body(providers.factory());
  const WeekWidgetView limits = body[5].content(WeekEntry{kNow, snapshot(false)});
  // Small: title only at the right an empty text; medium: words.now and the time.
  const auto small = drawnTexts(limits, systemSmall);
  const auto medium = drawnTexts(limits, systemMedium);
  ASSERT_GE(small.size(), 2u);
  ASSERT_GE(medium.size(), 3u);
  EXPECT_EQ((std::vector<std::string>{small[0], small[1]}),
            (std::vector<std::string>{"Limits", ""}));
  EXPECT_EQ((std::vector<std::string>{medium[0], medium[1], medium[2]}),
            (std::vector<std::string>{"Limits", "right now", " \u00B7 4:42\u202FPM"}));

  const WeekWidgetView volume = body[4].content(WeekEntry{kNow, snapshot(false)});
  EXPECT_EQ(drawnTexts(volume, systemSmall)[0], "Code");
  EXPECT_EQ(drawnTexts(volume, systemMedium)[0], "Code changes");
}

TEST(WidgetContent, OffKeepsOnlyTheLimitsFaceAndItsLabel) {
  Providers providers;
  for (const WidgetConfiguration& c : KorvelMacWidgets{}.body(providers.factory())) {
    const WeekWidgetView view = c.content(WeekEntry{kNow, snapshot(true)});
    const auto texts = drawnTexts(view, c.supportedFamilies.front());
    ASSERT_FALSE(texts.empty());
    if (c.faceKind == WeekFaceKind::limits) {
      EXPECT_EQ(texts[0], "Limits");
      EXPECT_EQ(widgetLabel(view.kind, view.entry), "limits spoken");
    } else {
      EXPECT_EQ(texts[0], "Korvel is off") << c.kind;
      EXPECT_EQ(widgetLabel(view.kind, view.entry), "Korvel is off") << c.kind;
    }
  }
}

TEST(WidgetContent, WeekAtAGlanceSpeaksTheAutonomyText) {
  Providers providers;
  const auto body = KorvelMacWidgets{}.body(providers.factory());
  const WeekWidgetView glance = body[7].content(WeekEntry{kNow, snapshot(false)});
  EXPECT_EQ(widgetLabel(glance.kind, glance.entry), "autonomy spoken");
  EXPECT_EQ(deepLinkURL(glance.kind), "korvel://week/week");
}

}  // namespace
}  // namespace korvel
