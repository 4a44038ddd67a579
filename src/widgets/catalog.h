#pragma once
// The eight widgets the desktop offers, in the order the widget gallery lists them, with the
// identity, texts and sizes each one declares to the host, plus the deep link and spoken label
// every placed widget carries.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "faces/face_kind.h"
#include "widgets/week_entry.h"

namespace korvel {

// The host's widget families.
enum class WidgetFamily { systemSmall, systemMedium, systemLarge };
BOOST_DESCRIBE_ENUM(WidgetFamily, systemSmall, systemMedium, systemLarge)

// "systemSmall", "systemMedium", "systemLarge".
std::string_view familyName(WidgetFamily family);
std::optional<WidgetFamily> widgetFamilyFromName(std::string_view name);

// small and medium map to themselves; every other family draws the large face.
WeekFaceSize faceSize(WidgetFamily family);

struct WidgetInfo {
  std::string_view typeName;     // e.g. "AutonomyWidget"
  std::string_view kind;         // the widget's identity with the host, e.g. "korvel.week.autonomy"
  std::string_view displayName;  // localisable; the English text is the key
  std::string_view description;  // localisable; the English text is the key
  std::vector<WidgetFamily> families;  // offered, in the order the gallery shows them
  WeekFaceKind faceKind;

  bool offers(WidgetFamily family) const;
};

// The eight widgets in bundle order.
const std::array<WidgetInfo, 8>& widgetCatalog();

// The widget drawing a face kind (each face kind has exactly one widget).
const WidgetInfo& widgetFor(WeekFaceKind kind);

// A widget by its kind string ("korvel.week.glance") or its face kind's raw value ("week").
const WidgetInfo* findWidget(std::string_view kindOrFaceKind);

// "korvel://week/" followed by the face kind's raw value.
std::string deepLinkURL(WeekFaceKind kind);

// The one spoken label of a whole widget: "Korvel" without a snapshot, the off words while the
// companion is off (except for limits, which keeps its face), else the face's spoken text.
std::string widgetLabel(WeekFaceKind kind, const WeekEntry& entry);

}  // namespace korvel
