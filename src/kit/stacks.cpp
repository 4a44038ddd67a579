#include <algorithm>
#include <array>

#include "kit/day_charts.h"
#include "kit/palette.h"

namespace korvel {

namespace {
// The series of a day's list, by position.
constexpr std::array<const char*, 3> kSegmentKeys{"passed", "debt", "waiting"};
}  // namespace

ui::View Stacks::body() const {
  std::vector<double> totals;
  for (const auto& day : perDay) {
    if (day) totals.push_back(chart::total(*day));
  }
  const double peak = chart::peakOf(totals);
  return chart::dayColumns(
      days, today, {.labelSpacing = 4}, [perDay = perDay, peak](std::size_t i, double width, double height) {
        const auto* day = i < perDay.size() && perDay[i] ? &*perDay[i] : nullptr;
        ui::View bar = ui::capsule().fill(hairline).frame(width, 2.5);
        if (day && chart::total(*day) >= 1) {
          std::vector<ui::View> segments;  // "waiting" on top, "passed" at the bottom
          for (std::size_t k = kSegmentKeys.size(); k-- > 0;) {
            if (k >= day->size() || (*day)[k] < 1) continue;
            const double count = static_cast<double>((*day)[k]);
            segments.push_back(ui::rectangle()
                                   .fill(outcomeKeyColor(kSegmentKeys[k]))
                                   .frame(width, std::max(height * count / peak - 1.5, 2.0)));
          }
          bar = ui::vstack(ui::HAlign::center, 1.5, std::move(segments))
                    .clipShape(ui::roundedRectangle(ui::CornerRadii{3.5, 3.5, 0, 0}));
        }
        return ui::vstack(ui::HAlign::center, 0, {ui::spacer(0), bar});
      });
}

}  // namespace korvel
