#include <algorithm>

#include "kit/day_charts.h"
#include "kit/palette.h"

namespace korvel {

namespace {

ui::Paint cellPaint(const HeatGrid& grid, std::size_t row, std::size_t hour, double peak) {
  if (row >= grid.heat.size() || !grid.heat[row]) return hairline.opacity_(0.5);
  const auto& counts = *grid.heat[row];
  if (hour >= counts.size() || counts[hour] < 1) return hairline;
  const double ratio = static_cast<double>(counts[hour]) / peak;
  if (ratio > 0.75) return lime;
  if (ratio > 0.5) return lime.opacity_(0.7);
  if (ratio > 0.22) return lime.opacity_(0.45);
  return lime.opacity_(0.22);
}

}  // namespace

ui::View HeatGrid::body() const {
  std::vector<double> counts;
  for (const auto& row : heat) {
    if (!row) continue;
    for (const std::int64_t n : *row) counts.push_back(static_cast<double>(n));
  }
  const double peak = chart::peakOf(counts);
  constexpr std::size_t kHours = 24;

  std::vector<ui::View> rows = ui::forEach(kWeekDays, [&](std::size_t r) {
    std::vector<ui::View> items;
    if (labels) {
      items.push_back(ui::text(chart::dayLabel(days, r))
                          .font(9)
                          .foreground(inkFaint)
                          .lineLimit(1)
                          .minimumScaleFactor(0.8)
                          .frame(21, std::nullopt, ui::leading));
    }
    items.push_back(ui::hstack(ui::VAlign::center, gap, ui::forEach(kHours, [&](std::size_t h) {
                                 return ui::roundedRectangle(1.5)
                                     .fill(cellPaint(*this, r, h, peak))
                                     .frame(cell, cell + (labels ? 2 : 3));
                               })));
    return ui::hstack(ui::VAlign::center, 4, std::move(items));
  });

  if (labels) {
    std::vector<ui::View> scale;
    for (const char* mark : {"00", "06", "12", "18", "24"}) {
      if (!scale.empty()) scale.push_back(ui::spacer(0));
      scale.push_back(ui::text(mark).font(9).foreground(inkFaint));
    }
    rows.push_back(ui::hstack(ui::VAlign::center, std::nullopt, std::move(scale))
                       .padding(ui::Edges::leadingOnly(), 25)
                       .frame(24 * cell + 23 * gap + 25, std::nullopt));
  }
  return ui::vstack(ui::HAlign::leading, gap, std::move(rows));
}

}  // namespace korvel
