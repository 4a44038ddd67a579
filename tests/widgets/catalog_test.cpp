#include "widgets/catalog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "faces/face_kind.h"

namespace korvel {
namespace {

using enum WidgetFamily;

struct Row {
  const char* typeName;
  const char* kind;
  const char* displayName;
  const char* description;
  std::vector<WidgetFamily> families;
  WeekFaceKind faceKind;
};

const Row kCatalog[] = {
    {"AutonomyWidget", "korvel.week.autonomy", "Without you",
     "How long the agents worked this week, and how much work each of your messages started.",
     {systemSmall, systemMedium, systemLarge}, WeekFaceKind::autonomy},
    {"OutcomesWidget", "korvel.week.outcomes", "How runs ended",
     "What review accepted this week, what it accepted with remarks, and what waited for you.",
     {systemSmall, systemMedium, systemLarge}, WeekFaceKind::outcomes},
    {"ReceiptWidget", "korvel.week.receipt", "Receipt of the week",
     "What the week's work would have cost at API prices. An estimate, not what you pay.",
     {systemSmall, systemMedium, systemLarge}, WeekFaceKind::receipt},
    {"RhythmWidget", "korvel.week.rhythm", "Rhythm of the week",
     "When the agents worked, day by day and hour by hour.", {systemSmall, systemMedium},
     WeekFaceKind::rhythm},
    {"VolumeWidget", "korvel.week.volume", "Code changes",
     "Lines the agents added and removed this week.", {systemSmall, systemMedium},
     WeekFaceKind::volume},
    {"LimitsWidget", "korvel.week.limits", "Limits",
     "Claude's and Codex's limits, with a tick where an even pace would be.",
     {systemSmall, systemMedium}, WeekFaceKind::limits},
    {"NowWidget", "korvel.week.now", "Working now",
     "Which agents are working and which runs wait for you.",
     {systemSmall, systemMedium, systemLarge}, WeekFaceKind::now},
    {"WeekAtAGlanceWidget", "korvel.week.glance", "The week at a glance",
     "Hours without you, accepted runs, the receipt and the week's rhythm on one face.",
     {systemLarge}, WeekFaceKind::week},
};

TEST(Catalog, EightWidgetsInBundleOrder) {
  const auto& catalog = widgetCatalog();
  ASSERT_EQ(catalog.size(), std::size(kCatalog));
  for (std::size_t i = 0; i < catalog.size(); ++i) {
    const Row& want = kCatalog[i];
    const WidgetInfo& got = catalog[i];
    SCOPED_TRACE(want.typeName);
    EXPECT_EQ(got.typeName, want.typeName);
    EXPECT_EQ(got.kind, want.kind);
    EXPECT_EQ(got.displayName, want.displayName);
    EXPECT_EQ(got.description, want.description);
    EXPECT_EQ(got.families, want.families);
    EXPECT_EQ(got.faceKind, want.faceKind);
    EXPECT_EQ(&widgetFor(want.faceKind), &got);
  }
}

TEST(Catalog, OnlyOfferedFamiliesArePlaceable) {
  EXPECT_TRUE(widgetFor(WeekFaceKind::week).offers(systemLarge));
  EXPECT_FALSE(widgetFor(WeekFaceKind::week).offers(systemSmall));
  EXPECT_FALSE(widgetFor(WeekFaceKind::week).offers(systemMedium));
  for (const WeekFaceKind k : {WeekFaceKind::rhythm, WeekFaceKind::volume, WeekFaceKind::limits}) {
    EXPECT_TRUE(widgetFor(k).offers(systemSmall));
    EXPECT_TRUE(widgetFor(k).offers(systemMedium));
    EXPECT_FALSE(widgetFor(k).offers(systemLarge));
  }
}

TEST(Catalog, FindsWidgetsByKindStringOrFaceKind) {
  struct Case {
    const char* query;
    const char* kind;  // nullptr: not found
  } cases[] = {
      {"korvel.week.glance", "korvel.week.glance"},
      {"week", "korvel.week.glance"},
      {"limits", "korvel.week.limits"},
      {"korvel.week.limits", "korvel.week.limits"},
      {"glance", nullptr},
      {"korvel.week.week", nullptr},
      {"Limits", nullptr},
      {"", nullptr},
  };
  for (const Case& c : cases) {
    const WidgetInfo* w = findWidget(c.query);
    if (c.kind == nullptr) {
      EXPECT_EQ(w, nullptr) << c.query;
    } else {
      ASSERT_NE(w, nullptr) << c.query;
      EXPECT_EQ(w->kind, c.kind);
    }
  }
}

TEST(Families, NamesAndFaceSizes) {
  struct Case {
    WidgetFamily family;
    const char* name;
    WeekFaceSize size;
  } cases[] = {{systemSmall, "systemSmall", WeekFaceSize::small},
               {systemMedium, "systemMedium", WeekFaceSize::medium},
               {systemLarge, "systemLarge", WeekFaceSize::large}};
  for (const Case& c : cases) {
    EXPECT_EQ(familyName(c.family), c.name);
    EXPECT_EQ(widgetFamilyFromName(c.name), c.family);
    EXPECT_EQ(faceSize(c.family), c.size);
  }
  EXPECT_EQ(widgetFamilyFromName("systemExtraLarge"), std::nullopt);
  EXPECT_EQ(widgetFamilyFromName("small"), std::nullopt);
}

TEST(DeepLinks, EndInTheFaceKindsRawValue) {
  const std::pair<WeekFaceKind, const char*> cases[] = {
      {WeekFaceKind::autonomy, "korvel://week/autonomy"},
      {WeekFaceKind::outcomes, "korvel://week/outcomes"},
      {WeekFaceKind::receipt, "korvel://week/receipt"},
      {WeekFaceKind::rhythm, "korvel://week/rhythm"},
      {WeekFaceKind::volume, "korvel://week/volume"},
      {WeekFaceKind::limits, "korvel://week/limits"},
      {WeekFaceKind::now, "korvel://week/now"},
      {WeekFaceKind::week, "korvel://week/week"},
  };
  for (const auto& [kind, url] : cases) EXPECT_EQ(deepLinkURL(kind), url);
}

WeekSnapshot spokenSnapshot(bool off) {
  WeekSnapshot s;
  s.off = off;
  s.words.off = "Korvel is off";
  s.autonomy.spoken = "autonomy spoken";
  s.outcomes.spoken = "outcomes spoken";
  s.receipt.spoken = "receipt spoken";
  s.rhythm.spoken = "rhythm spoken";
  s.volume.spoken = "volume spoken";
  s.limits.spoken = "limits spoken";
  s.now.spoken = "now spoken";
  return s;
}

TEST(WidgetLabel, SpeaksTheFacesTextWhenOn) {
  const WeekEntry entry{.date = 0, .snapshot = spokenSnapshot(false)};
  const std::pair<WeekFaceKind, const char*> cases[] = {
      {WeekFaceKind::autonomy, "autonomy spoken"}, {WeekFaceKind::outcomes, "outcomes spoken"},
      {WeekFaceKind::receipt, "receipt spoken"},   {WeekFaceKind::rhythm, "rhythm spoken"},
      {WeekFaceKind::volume, "volume spoken"},     {WeekFaceKind::limits, "limits spoken"},
      {WeekFaceKind::now, "now spoken"},           {WeekFaceKind::week, "autonomy spoken"},
  };
  for (const auto& [kind, label] : cases) EXPECT_EQ(widgetLabel(kind, entry), label);
}

TEST(WidgetLabel, OffSpeaksTheOffWordsExceptLimits) {
  const WeekEntry entry{.date = 0, .snapshot = spokenSnapshot(true)};
  for (const WeekFaceKind kind : allWeekFaceKinds) {
    EXPECT_EQ(widgetLabel(kind, entry),
              kind == WeekFaceKind::limits ? "limits spoken" : "Korvel is off")
        << rawValue(kind);
  }
}

TEST(WidgetLabel, NoSnapshotSpeaksKorvel) {
  const WeekEntry entry{.date = 1.7e9, .snapshot = std::nullopt};
  for (const WeekFaceKind kind : allWeekFaceKinds) EXPECT_EQ(widgetLabel(kind, entry), "Korvel");
}

TEST(FaceKind, RawValuesRoundTripCaseSensitively) {
  const char* raws[] = {"autonomy", "outcomes", "receipt", "rhythm",
                        "volume",   "limits",   "now",     "week"};
  ASSERT_EQ(allWeekFaceKinds.size(), std::size(raws));
  for (std::size_t i = 0; i < allWeekFaceKinds.size(); ++i) {
    EXPECT_EQ(rawValue(allWeekFaceKinds[i]), raws[i]);
    EXPECT_EQ(weekFaceKindFromRaw(raws[i]), allWeekFaceKinds[i]);
    EXPECT_EQ(std::hash<WeekFaceKind>{}(allWeekFaceKinds[i]),
              std::hash<std::string_view>{}(raws[i]));
  }
  for (const char* other : {"Week", "glance", "korvel.week.now", "", "now "}) {
    EXPECT_EQ(weekFaceKindFromRaw(other), std::nullopt) << other;
  }
}

}  // namespace
}  // namespace korvel
