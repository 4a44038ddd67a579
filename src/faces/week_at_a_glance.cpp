#include "faces/face_parts.h"
#include "faces/faces.h"
#include "kit/palette.h"
#include "kit/text_primitives.h"
#include "kit/text_utils.h"

namespace korvel {

ui::View weekAtAGlance(const WeekSnapshot& s, const FaceHeader& h) {
  const AutonomyFace& autonomy = s.autonomy;
  std::vector<ui::View> titleColumn{ui::text(lowercased(autonomy.title)).font(12).foreground(inkSoft)};
  if (!autonomy.lines.empty() && !autonomy.empty) titleColumn.push_back(LineText{autonomy.lines[0], 2});

  const auto& legend = s.outcomes.legend;
  const std::optional<std::string> lastLegend =
      legend.empty() ? std::nullopt : std::optional<std::string>(legend.back().text);

  return faceLayout(h, {
      ui::hstack(ui::VAlign::lastTextBaseline, 10,
                 {
                     Hero{autonomy.hero, autonomy.unit, 44},
                     ui::vstack(ui::HAlign::leading, 1, std::move(titleColumn)).padding(ui::Edges::bottomOnly(), 5),
                 })
          .padding(ui::Edges::topOnly(), 6),
      ui::hstack(ui::VAlign::center, 8,
                 {
                     Tile{s.outcomes.hero, s.outcomes.unit, lastLegend},
                     Tile{s.receipt.hero, s.receipt.caption, s.receipt.note},
                     Tile{s.volume.added, lowercased(s.volume.title), s.volume.removed},
                 })
          .padding(ui::Edges::topOnly(), 12),
      heatGridChoice(s, {{{10, 1.5}, {9, 1.5}, {8, 1.5}}}).padding(ui::Edges::topOnly(), 12),
      ui::spacer(0),
  });
}

}  // namespace korvel
