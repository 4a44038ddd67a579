#include "faces/face_parts.h"
#include "faces/faces.h"
#include "kit/day_charts.h"
#include "kit/palette.h"
#include "kit/text_primitives.h"

namespace korvel {

std::optional<ui::View> autonomyLeadText(const AutonomyFace& autonomy, int lines) {
  if (autonomy.empty) return ui::text(*autonomy.empty).font(12).foreground(inkSoft).lineLimit(lines);
  if (!autonomy.lines.empty()) return LineText{autonomy.lines[0], lines}.body();
  return std::nullopt;
}

namespace {

std::vector<std::optional<double>> chartValues(const std::vector<std::optional<std::int64_t>>& perDay) {
  std::vector<std::optional<double>> values;
  values.reserve(perDay.size());
  for (const auto& v : perDay) values.push_back(v ? std::optional<double>(static_cast<double>(*v)) : std::nullopt);
  return values;
}

// A line beyond the lead is shown only when there is no `empty` text and the line exists.
const WeekLine* extraLine(const AutonomyFace& autonomy, std::size_t index) {
  return !autonomy.empty && autonomy.lines.size() > index ? &autonomy.lines[index] : nullptr;
}

}  // namespace

ui::View autonomyView(const WeekSnapshot& s, WeekFaceSize size, const FaceHeader& h) {
  const AutonomyFace& autonomy = s.autonomy;
  const auto lead = [&](int lines) { return autonomyLeadText(autonomy, lines).value_or(ui::View()); };
  const auto columns = [&](bool labels) -> ui::View {
    return Columns{chartValues(autonomy.perDay), s.days, s.today, labels};
  };
  const auto top = ui::Edges::topOnly();

  switch (size) {
    case WeekFaceSize::small:
      return faceLayout(h, {
          Hero{autonomy.hero, autonomy.unit, 34}.body().padding(top, 8),
          ui::viewThatFits(ui::Axis::vertical,
                           {
                               ui::vstack(ui::HAlign::leading, 0,
                                          {lead(3).padding(top, 4), ui::spacer(6), columns(false).frame(std::nullopt, 15)}),
                               lead(3).padding(top, 4),
                               lead(2).padding(top, 4),
                           }),
      });
    case WeekFaceSize::medium: {
      std::vector<ui::View> column{Hero{autonomy.hero, autonomy.unit, 36}, lead(2)};
      if (const WeekLine* second = extraLine(autonomy, 1)) {
        column.push_back(LineText{*second, 1}.body().minimumScaleFactor(0.85));
      }
      return faceLayout(h, {
          ui::hstack(ui::VAlign::top, 14,
                     {
                         ui::vstack(ui::HAlign::leading, 5, std::move(column)).frame(136, std::nullopt, ui::leading),
                         columns(true).padding(top, 6),
                     })
              .padding(top, 8),
      });
    }
    case WeekFaceSize::large:
      break;
  }
  std::vector<ui::View> heroRow{Hero{autonomy.hero, autonomy.unit, 40}};
  if (const WeekLine* third = extraLine(autonomy, 2)) heroRow.push_back(LineText{*third, 1});
  return faceLayout(h, {
      ui::hstack(ui::VAlign::firstTextBaseline, 12, std::move(heroRow)).padding(top, 8),
      lead(2).padding(top, 3),
      columns(true).padding(top, 10),
      ui::View(FaceRule{}).padding(ui::Edges::vertical(), 9),
      Facts{autonomy.facts},
  });
}

}  // namespace korvel
