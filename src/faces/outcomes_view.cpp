#include <algorithm>

#include "faces/face_parts.h"
#include "faces/faces.h"
#include "kit/day_charts.h"
#include "kit/palette.h"
#include "kit/text_primitives.h"

namespace korvel {

namespace {

ui::View legend(const std::vector<WeekLegend>& entries) {
  return ui::vstack(ui::HAlign::leading, 3, ui::forEach(visibleCount(entries.size(), 11 + 3), [&](std::size_t i) {
                      return ui::hstack(ui::VAlign::center, 5,
                                        {
                                            ui::roundedRectangle(2).fill(outcomeKeyColor(entries[i].key)).frame(7, 7),
                                            ui::text(entries[i].text).font(11).foreground(inkSoft).lineLimit(1),
                                        });
                    }));
}

}  // namespace

ui::View outcomesView(const WeekSnapshot& s, WeekFaceSize size, const FaceHeader& h) {
  const OutcomesFace& outcomes = s.outcomes;
  const ui::View stacks = Stacks{outcomes.perDay, s.days, s.today};
  switch (size) {
    case WeekFaceSize::small: {
      std::vector<ui::View> body{Hero{outcomes.hero, outcomes.unit, 34}.body().padding(ui::Edges::topOnly(), 8)};
      if (outcomes.empty) {
        body.push_back(
            ui::text(*outcomes.empty).font(12).foreground(inkSoft).lineLimit(3).padding(ui::Edges::topOnly(), 4));
      } else {
        if (!outcomes.lines.empty()) {
          body.push_back(LineText{outcomes.lines[0], 2}.body().padding(ui::Edges::topOnly(), 4));
        }
        if (outcomes.lines.size() >= 2) {
          body.push_back(ui::hstack(ui::VAlign::center, 5,
                                    {
                                        ui::circle().fill(orange).frame(7, 7),
                                        LineText{outcomes.lines[1], 1},
                                    })
                             .padding(ui::Edges::topOnly(), 3));
        }
      }
      body.push_back(ui::spacer(0));
      return faceLayout(h, std::move(body));
    }
    case WeekFaceSize::medium:
      return faceLayout(h, {
          ui::hstack(ui::VAlign::top, 14,
                     {
                         ui::vstack(ui::HAlign::leading, 7, {Hero{outcomes.hero, outcomes.unit, 36}, legend(outcomes.legend)})
                             .frame(132, std::nullopt, ui::leading),
                         stacks.padding(ui::Edges::topOnly(), 6),
                     })
              .padding(ui::Edges::topOnly(), 8),
      });
    case WeekFaceSize::large:
      break;
  }
  return faceLayout(h, {
      Hero{outcomes.hero, outcomes.unit, 40}.body().padding(ui::Edges::topOnly(), 8),
      legend(outcomes.legend).padding(ui::Edges::topOnly(), 6),
      stacks.padding(ui::Edges::topOnly(), 10),
      ui::View(FaceRule{}).padding(ui::Edges::vertical(), 9),
      Facts{outcomes.facts},
  });
}

}  // namespace korvel
