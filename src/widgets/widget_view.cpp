#include "widgets/widget_view.h"

#include "kit/palette.h"
#include "kit/week_mark.h"

namespace korvel {

// Until face selection exists every widget shows its mark where the header will start.
ui::View widgetContent(WeekFaceKind /*kind*/, WeekFaceSize /*size*/, const WeekEntry& /*entry*/,
                       const TimeFormat& /*timeFormat*/) {
  ui::FlexFrame fill;
  fill.maxWidth = ui::kInfinity;
  fill.maxHeight = ui::kInfinity;
  fill.alignment = ui::topLeading;
  return WeekMark::shape().fill(lime).frame(8, 12).frame(fill);
}

}  // namespace korvel
