#include "widgets/widget_view.h"

#include "faces/face_view.h"

namespace korvel {

// The extension places every widget on the Mac, and the entry's date is the face's now.
ui::View widgetContent(WeekFaceKind kind, WeekFaceSize size, const WeekEntry& entry,
                       const TimeFormat& timeFormat) {
  return WeekFaceView{
      .kind = kind,
      .size = size,
      .snapshot = entry.snapshot,
      .place = WeekPlace::mac,
      .now = entry.date,
      .format = timeFormat,
  }.view();
}

}  // namespace korvel
