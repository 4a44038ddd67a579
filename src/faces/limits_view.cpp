#include <algorithm>
#include <map>

#include "faces/face_parts.h"
#include "faces/faces.h"
#include "kit/meter.h"
#include "kit/palette.h"
#include "kit/text_primitives.h"
#include "kit/text_utils.h"

namespace korvel {

std::vector<WeekMeter> smallLimitsSelection(const std::vector<WeekMeter>& meters) {
  std::vector<WeekMeter> picked;
  std::copy_if(meters.begin(), meters.end(), std::back_inserter(picked),
               [](const WeekMeter& m) { return m.weekly; });
  if (picked.empty()) picked = meters;
  if (picked.size() > 2) picked.resize(2);
  return picked;
}

std::vector<std::vector<WeekMeter>> limitsColumns(const std::vector<WeekMeter>& meters) {
  // Canonically equivalent spellings share a column; std::string orders UTF-8 by scalar value.
  std::map<std::string, std::vector<WeekMeter>> byEngine;
  for (const WeekMeter& m : meters) byEngine[nfc(m.engine)].push_back(m);
  std::vector<std::vector<WeekMeter>> columns;
  for (auto& [engine, column] : byEngine) columns.push_back(std::move(column));
  return columns;
}

ui::View limitsView(const WeekSnapshot& s, WeekFaceSize size, const FaceHeader& h) {
  const LimitsFace& limits = s.limits;
  if (limits.empty) {
    return faceLayout(h, {
        ui::text(*limits.empty).font(12).foreground(inkSoft).lineLimit(3).padding(ui::Edges::topOnly(), 10),
        ui::spacer(0),
    });
  }
  if (size == WeekFaceSize::small) {
    const std::vector<WeekMeter> picked = smallLimitsSelection(limits.meters);
    return faceLayout(h, {
        ui::vstack(ui::HAlign::center, 8,
                   ui::forEach(picked.size(), [&](std::size_t i) -> ui::View { return Meter{picked[i], true}; }))
            .padding(ui::Edges::topOnly(), 9),
        ui::spacer(4),
        ui::text(limits.line).font(11.5).foreground(inkSoft).lineLimit(2),
    });
  }
  const auto columns = limitsColumns(limits.meters);
  return faceLayout(h, {
      ui::hstack(ui::VAlign::top, 14, ui::forEach(visibleCount(columns.size(), 14), [&](std::size_t c) {
                   const auto& column = columns[c];
                   return ui::vstack(ui::HAlign::center, 8, ui::forEach(visibleCount(column.size(), 11 + 8), [&](std::size_t i) -> ui::View {
                                       return Meter{column[i], false};
                                     }));
                 }))
          .padding(ui::Edges::topOnly(), 9),
  });
}

}  // namespace korvel
