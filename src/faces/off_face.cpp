#include "faces/off_face.h"

#include "kit/palette.h"
#include "kit/week_mark.h"

namespace korvel {

ui::View offFace(const WeekSnapshot& snapshot, WeekFaceSize size) {
  const WeekWords& words = snapshot.words;
  std::vector<ui::View> items{
      WeekMark::shape().fill(lime).frame(8, 12),
      ui::spacer(0),
      ui::text(words.off).font(15, ui::Weight::semibold).lineLimit(2),
  };
  // Small widgets have no room for the hint; it is left out entirely, spacing included.
  if (size != WeekFaceSize::small) {
    items.push_back(ui::text(words.offHint).font(12).foreground(inkSoft).lineLimit(2));
  }
  // Only text: the whole widget opens the companion through its deep link.
  items.push_back(ui::text(words.turnOn + " \u2192").font(12, ui::Weight::semibold)
                      .foreground(lime));
  items.push_back(ui::spacer(0));
  return ui::vstack(ui::HAlign::leading, 6, std::move(items));
}

}  // namespace korvel
