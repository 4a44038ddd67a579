#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "kit/day_charts.h"
#include "kit/palette.h"

namespace korvel {

ui::Paint outcomeKeyColor(const std::string& key) {
  if (key == "passed") return green;
  if (key == "debt") return blue;
  return orange;
}

namespace chart {

std::string dayLabel(const std::vector<std::string>& days, std::size_t i) {
  return i < days.size() ? days[i] : std::string();
}

bool isToday(std::int64_t today, std::size_t i) {
  return today >= 0 && static_cast<std::uint64_t>(today) == i;
}

double peakOf(const std::vector<double>& figures) {
  double peak = 1;
  for (const double f : figures) {
    if (std::isfinite(f)) peak = std::max(peak, f);
  }
  return peak;
}

double total(const std::vector<std::int64_t>& counts) {
  double sum = 0;  // a double cannot overflow on int64 inputs and keeps the ratio meaningful
  for (const std::int64_t c : counts) sum += static_cast<double>(c);
  return sum;
}

ui::View barArea(std::function<ui::View(double width, double height)> content) {
  return ui::geometryReader([content = std::move(content)](ui::Size area) {
    const double width = std::min(area.width, kMaxBarWidth);
    return content(width, area.height)
        .frame(width, area.height, ui::bottom)
        .clipShape(ui::rectangle())
        .frame(ui::FlexFrame{.maxWidth = ui::kInfinity, .maxHeight = ui::kInfinity});
  });
}

ui::View dayColumns(const std::vector<std::string>& days, std::int64_t today, DayColumnStyle style,
                    const std::function<ui::View(std::size_t, double, double)>& bar) {
  // Bar areas are built at layout time, after this call has returned: they hold their own copy.
  const auto shared = std::make_shared<const std::function<ui::View(std::size_t, double, double)>>(bar);
  return ui::hstack(ui::VAlign::bottom, 4, ui::forEach(kWeekDays, [&](std::size_t i) {
                      std::vector<ui::View> column{
                          barArea([shared, i](double w, double h) { return (*shared)(i, w, h); })};
                      if (style.showLabels) {
                        const bool marked = style.labelMarksToday && isToday(today, i);
                        column.push_back(ui::text(dayLabel(days, i))
                                             .font(9.5, marked ? ui::Weight::semibold
                                                               : ui::Weight::regular)
                                             .foreground(marked ? ink : inkFaint)
                                             .lineLimit(style.labelLines));
                      }
                      return ui::vstack(ui::HAlign::center, style.labelSpacing, std::move(column));
                    }));
}

}  // namespace chart
}  // namespace korvel
