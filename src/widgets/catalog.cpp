#include "widgets/catalog.h"

#include <algorithm>

#include "base/enum_names.h"

namespace korvel {

namespace {

using enum WidgetFamily;

}  // namespace

std::string_view familyName(WidgetFamily family) { return enumName(family); }

std::optional<WidgetFamily> widgetFamilyFromName(std::string_view name) { return enumFromName<WidgetFamily>(name); }

WeekFaceSize faceSize(WidgetFamily family) {
  switch (family) {
    case systemSmall: return WeekFaceSize::small;
    case systemMedium: return WeekFaceSize::medium;
    default: return WeekFaceSize::large;
  }
}

bool WidgetInfo::offers(WidgetFamily family) const {
  return std::find(families.begin(), families.end(), family) != families.end();
}

const std::array<WidgetInfo, 8>& widgetCatalog() {
  static const std::array<WidgetInfo, 8> catalog{{
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
       "When the agents worked, day by day and hour by hour.",
       {systemSmall, systemMedium}, WeekFaceKind::rhythm},
      {"VolumeWidget", "korvel.week.volume", "Code changes",
       "Lines the agents added and removed this week.",
       {systemSmall, systemMedium}, WeekFaceKind::volume},
      {"LimitsWidget", "korvel.week.limits", "Limits",
       "Claude's and Codex's limits, with a tick where an even pace would be.",
       {systemSmall, systemMedium}, WeekFaceKind::limits},
      {"NowWidget", "korvel.week.now", "Working now",
       "Which agents are working and which runs wait for you.",
       {systemSmall, systemMedium, systemLarge}, WeekFaceKind::now},
      {"WeekAtAGlanceWidget", "korvel.week.glance", "The week at a glance",
       "Hours without you, accepted runs, the receipt and the week's rhythm on one face.",
       {systemLarge}, WeekFaceKind::week},
  }};
  return catalog;
}

const WidgetInfo& widgetFor(WeekFaceKind kind) {
  const auto& catalog = widgetCatalog();
  for (const WidgetInfo& info : catalog) {
    if (info.faceKind == kind) return info;
  }
  return catalog.back();  // unreachable: every face kind has a widget
}

const WidgetInfo* findWidget(std::string_view kindOrFaceKind) {
  for (const WidgetInfo& info : widgetCatalog()) {
    if (info.kind == kindOrFaceKind || rawValue(info.faceKind) == kindOrFaceKind) return &info;
  }
  return nullptr;
}

std::string deepLinkURL(WeekFaceKind kind) {
  return "korvel://week/" + std::string(rawValue(kind));
}

std::string widgetLabel(WeekFaceKind kind, const WeekEntry& entry) {
  if (!entry.snapshot) return "Korvel";
  const WeekSnapshot& s = *entry.snapshot;
  if (s.off && kind != WeekFaceKind::limits) return s.words.off;
  switch (kind) {
    case WeekFaceKind::autonomy: return s.autonomy.spoken;
    case WeekFaceKind::outcomes: return s.outcomes.spoken;
    case WeekFaceKind::receipt: return s.receipt.spoken;
    case WeekFaceKind::rhythm: return s.rhythm.spoken;
    case WeekFaceKind::volume: return s.volume.spoken;
    case WeekFaceKind::limits: return s.limits.spoken;
    case WeekFaceKind::now: return s.now.spoken;
    case WeekFaceKind::week: return s.autonomy.spoken;
  }
  return "Korvel";
}

}  // namespace korvel
