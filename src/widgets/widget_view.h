#pragma once
// What a placed widget draws inside its container's margins for one timeline entry.
#include "faces/face_kind.h"
#include "faces/time_format.h"
#include "ui/view.h"
#include "widgets/week_entry.h"

namespace korvel {

// The content of a widget of face kind `kind` drawn at `size` for `entry`, laid out from the
// top-leading corner of the content area; `timeFormat` carries the user's locale and zone for
// the few dates a face formats. The container (background, clip, margins, link and label) is
// the host's.
ui::View widgetContent(WeekFaceKind kind, WeekFaceSize size, const WeekEntry& entry,
                       const TimeFormat& timeFormat);

}  // namespace korvel
