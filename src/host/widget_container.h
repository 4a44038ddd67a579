#pragma once
// The host's side of a placed widget: its point size per family, the default content margins,
// the rounded container that paints paper under everything and clips everything to its shape,
// and the link and spoken label the widget carries.
#include <string>

#include "faces/face_kind.h"
#include "faces/time_format.h"
#include "ui/geometry.h"
#include "ui/view.h"
#include "widgets/catalog.h"
#include "widgets/week_entry.h"

namespace korvel::host {

inline constexpr double kContentMargin = 16;
inline constexpr double kContainerCornerRadius = 22;

// small 170 x 170, medium 364 x 170, large 364 x 382 points.
ui::Size familySize(WidgetFamily family);

// The area inside the content margins, in widget coordinates.
ui::Rect contentRect(WidgetFamily family);

// Wraps `content` into the container of a widget of `size`: paper fills the rounded shape,
// the content is laid out inside the margins from its top-leading corner, and nothing it draws
// can leave the rounded shape.
ui::View widgetContainer(const ui::View& content, ui::Size size);

struct PlacedWidget {
  WeekFaceKind kind = WeekFaceKind::week;
  WidgetFamily family = WidgetFamily::systemLarge;
  ui::Size size;
  ui::Rect content;
  ui::View view;      // the whole widget, container included
  std::string label;  // the one spoken label of the whole widget
  std::string url;    // where a click anywhere on the widget leads
};

// The widget of face kind `kind` in `family`, drawing `entry`.
PlacedWidget placeWidget(WeekFaceKind kind, WidgetFamily family, const WeekEntry& entry,
                         const TimeFormat& timeFormat);

}  // namespace korvel::host
