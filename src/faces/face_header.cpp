#include "faces/face_header.h"

#include "kit/palette.h"
#include "kit/week_mark.h"

namespace korvel {
namespace {

using ui::Weight;

// Stale: clock, the reason with a trailing dot, and the age. An age that cannot be told (a time
// beyond the calendar) takes its dot with it.
ui::View staleForm(const FaceHeader& h, double since) {
  const std::string age = h.format.relativeAge(since, h.asOf);
  std::vector<ui::View> items{ui::symbol("clock")};
  if (h.staleWords) items.push_back(ui::text(*h.staleWords + (age.empty() ? "" : " \u00B7")));
  items.push_back(ui::text(age));
  return ui::hstack(ui::VAlign::center, 3, std::move(items))
      .font(10.5, Weight::semibold)
      .foreground(amber)
      .lineLimit(1);
}

// Fresh: the trailing text, then " · " and the clock time when there is a time to show.
ui::View freshForm(const FaceHeader& h) {
  std::vector<ui::View> items{ui::text(h.trailing)};
  const std::string clock = h.time ? h.format.clockTime(*h.time) : std::string();
  if (!clock.empty()) {
    const std::string separator = h.trailing.empty() ? "" : " \u00B7 ";
    items.push_back(ui::text(separator + clock));
  }
  return ui::hstack(ui::VAlign::center, 0, std::move(items))
      .font(11, Weight::medium)
      .foreground(inkFaint)
      .lineLimit(1);
}

}  // namespace

ui::View header(const FaceHeader& h) {
  return ui::hstack(ui::VAlign::center, 5, {
      WeekMark::shape().fill(lime).frame(8, 12).accentable(),
      ui::text(h.title).font(12, Weight::semibold).foreground(inkSoft).lineLimit(1)
          .layoutPriority(1),
      ui::spacer(4),
      h.staleSince ? staleForm(h, *h.staleSince) : freshForm(h),
  });
}

}  // namespace korvel
