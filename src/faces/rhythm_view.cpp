#include "faces/face_parts.h"
#include "faces/faces.h"
#include "kit/day_charts.h"
#include "kit/palette.h"

namespace korvel {

ui::View heatGridChoice(const WeekSnapshot& s, const std::array<GridCell, 3>& cells) {
  return ui::viewThatFits(ui::Axis::horizontal, ui::forEach(cells.size(), [&](std::size_t i) -> ui::View {
                            return HeatGrid{s.rhythm.heat, s.days, cells[i].cell, cells[i].gap, true};
                          }));
}

ui::View rhythmView(const WeekSnapshot& s, WeekFaceSize size, const FaceHeader& h) {
  using ui::Design;
  using ui::Weight;
  const RhythmFace& rhythm = s.rhythm;
  if (size == WeekFaceSize::small) {
    return faceLayout(h, {
        ui::View(HeatGrid{rhythm.heat, s.days, 4, 1, false}).padding(ui::Edges::topOnly(), 10),
        ui::spacer(4),
        ui::text(rhythm.line).font(11.5).foreground(inkSoft).lineLimit(2),
    });
  }
  return faceLayout(h, {
      ui::hstack(ui::VAlign::top, 12,
                 {
                     heatGridChoice(s, {{{8, 1.5}, {7, 1.5}, {6, 1.5}}}),
                     ui::vstack(ui::HAlign::leading, 2,
                                {
                                    ui::text(rhythm.peakLabel).font(11).foreground(inkSoft),
                                    ui::text(rhythm.peak)
                                        .font(20, Weight::semibold, Design::rounded)
                                        .lineLimit(1)
                                        .minimumScaleFactor(0.6),
                                    ui::text(rhythm.activeLabel).font(11).foreground(inkSoft).padding(ui::Edges::topOnly(), 6),
                                    ui::hstack(ui::VAlign::firstTextBaseline, 0,
                                               {
                                                   ui::text(rhythm.active).font(20, Weight::semibold, Design::rounded),
                                                   ui::text(rhythm.activeOf).font(13).foreground(inkFaint),
                                               }),
                                })
                         .frame(ui::FlexFrame{.minWidth = 64, .alignment = ui::leading}),
                 })
          .padding(ui::Edges::topOnly(), 9),
  });
}

}  // namespace korvel
