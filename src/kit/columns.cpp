#include <algorithm>

#include "kit/day_charts.h"
#include "kit/palette.h"

namespace korvel {

ui::View Columns::body() const {
  std::vector<double> present;
  for (const auto& v : values) {
    if (v) present.push_back(*v);
  }
  const double peak = chart::peakOf(present);
  return chart::dayColumns(
      days, today, {.labelSpacing = 4, .showLabels = showLabels},
      [values = values, today = today, peak](std::size_t i, double width, double height) {
        ui::View bar = ui::capsule().fill(hairline).frame(width, 2.5);
        if (i < values.size() && values[i] && *values[i] > 0) {
          bar = ui::roundedRectangle(ui::CornerRadii{3.5, 3.5, 0, 0})
                    .fill(lime.opacity_(chart::isToday(today, i) ? 1.0 : 0.42))
                    .frame(width, std::max(*values[i] / peak * height, 3.0));
        }
        return ui::vstack(ui::HAlign::center, std::nullopt, {ui::spacer(0), bar});
      });
}

}  // namespace korvel
