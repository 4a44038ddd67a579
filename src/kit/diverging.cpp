#include <algorithm>

#include "kit/day_charts.h"
#include "kit/palette.h"

namespace korvel {

ui::View Diverging::body() const {
  std::vector<double> values;  // up and down values compete for the peak
  for (const auto& day : perDay) {
    if (!day) continue;
    for (const std::int64_t v : *day) values.push_back(static_cast<double>(v));
  }
  const double peak = chart::peakOf(values);
  return chart::dayColumns(
      days, today, {.labelSpacing = 3}, [perDay = perDay, today = today, peak](std::size_t i, double width, double height) {
        const auto* day = i < perDay.size() && perDay[i] ? &*perDay[i] : nullptr;
        const bool marked = chart::isToday(today, i);
        const double upper = 0.68 * height;
        const double lower = std::max(0.32 * height - 1, 0.0);

        std::vector<ui::View> upBand{ui::spacer(0)};
        if (day && !day->empty() && (*day)[0] >= 1) {
          const double u = static_cast<double>((*day)[0]);
          upBand.push_back(ui::roundedRectangle(ui::CornerRadii{3, 3, 0, 0})
                               .fill(lime.opacity_(marked ? 1.0 : 0.55))
                               .frame(width, std::max(upper * u / peak, 2.0)));
        }
        std::vector<ui::View> downBand;
        if (day && day->size() >= 2 && (*day)[1] >= 1) {
          // The down side is drawn at twice the scale of the up side, capped at its band.
          const double r = 2 * static_cast<double>((*day)[1]) / peak;
          downBand.push_back(ui::roundedRectangle(ui::CornerRadii{0, 0, 3, 3})
                                 .fill(red.opacity_(marked ? 1.0 : 0.7))
                                 .frame(width, std::max(r < 1 ? lower * r : lower, 2.0)));
        }
        downBand.push_back(ui::spacer(0));

        return ui::vstack(ui::HAlign::center, 0,
                          {
                              ui::vstack(ui::HAlign::center, std::nullopt, std::move(upBand))
                                  .frame(width, upper),
                              ui::rectangle().fill(inkFaint.opacity_(0.5)).frame(width, 1),
                              ui::vstack(ui::HAlign::center, std::nullopt, std::move(downBand))
                                  .frame(width, lower),
                          });
      });
}

}  // namespace korvel
