#include "faces/empty_face.h"

#include "kit/palette.h"
#include "kit/week_mark.h"

namespace korvel {

std::string emptyFaceMessage(WeekPlace place) {
  switch (place) {
    case WeekPlace::mac: return "Open Korvel and this fills in within minutes.";
    case WeekPlace::phone: return "Connect to Korvel on your Mac and this fills in.";
  }
  return "Open Korvel and this fills in within minutes.";
}

ui::View emptyFace(WeekPlace place) {
  // The two spacers share the free height, centring the message below the mark.
  return ui::vstack(ui::HAlign::leading, 6, {
      WeekMark::shape().fill(lime).frame(8, 12),
      ui::spacer(0),
      ui::text(emptyFaceMessage(place)).font(13, ui::Weight::semibold).foreground(inkSoft)
          .lineLimit(4),
      ui::spacer(0),
  });
}

}  // namespace korvel
