#include "faces/face_parts.h"
#include "faces/faces.h"
#include "kit/day_charts.h"
#include "kit/palette.h"
#include "kit/text_utils.h"

namespace korvel {

double smallAddedFontSize(const std::string& added) { return graphemeCount(added) < 9 ? 27 : 24; }

ui::View volumeView(const WeekSnapshot& s, WeekFaceSize size, const FaceHeader& h) {
  using ui::Design;
  using ui::Weight;
  const VolumeFace& volume = s.volume;
  const auto added = [&](double points) {
    return ui::text(volume.added)
        .font(points, Weight::semibold, Design::rounded)
        .lineLimit(1)
        .minimumScaleFactor(0.6)
        .accentable();
  };
  const auto removed = [&](double points) {
    return ui::text(volume.removed).font(points, Weight::semibold, Design::rounded).foreground(red).lineLimit(1);
  };
  if (size == WeekFaceSize::small) {
    return faceLayout(h, {
        added(smallAddedFontSize(volume.added)).padding(ui::Edges::topOnly(), 9),
        removed(20).padding(ui::Edges::topOnly(), 4),
        ui::text(volume.line).font(12).foreground(inkSoft).lineLimit(2).padding(ui::Edges::topOnly(), 4),
        ui::spacer(0),
    });
  }
  return faceLayout(h, {
      ui::hstack(ui::VAlign::top, 14,
                 {
                     ui::vstack(ui::HAlign::leading, 4,
                                {
                                    added(26),
                                    removed(19),
                                    ui::text(volume.detail).font(12).foreground(inkSoft).lineLimit(2),
                                })
                         .frame(132, std::nullopt, ui::leading),
                     ui::View(Diverging{volume.perDay, s.days, s.today}).padding(ui::Edges::topOnly(), 4),
                 })
          .padding(ui::Edges::topOnly(), 8),
  });
}

}  // namespace korvel
