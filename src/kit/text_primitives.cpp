#include "kit/text_primitives.h"

#include <algorithm>
#include <cmath>

#include "kit/palette.h"

namespace korvel {

using ui::Design;
using ui::HAlign;
using ui::VAlign;
using ui::Weight;

std::size_t visibleCount(std::size_t count, double pitch) {
  return std::min(count, static_cast<std::size_t>(std::ceil(kLongestWidgetSide / pitch)));
}

ui::View Hero::body() const {
  std::vector<ui::View> parts{
      ui::text(value).font(size, Weight::semibold, Design::rounded).accentable()};
  if (!unit.empty()) {
    parts.push_back(
        ui::text(unit).font(size * 0.46, Weight::semibold, Design::rounded).foreground(inkSoft));
  }
  return ui::hstack(VAlign::firstTextBaseline, 3, std::move(parts))
      .lineLimit(1)
      .minimumScaleFactor(0.6);
}

ui::View LineText::body() const {
  std::vector<ui::TextRun> runs;
  runs.push_back(ui::TextRun{.text = line.strong ? *line.strong + " " : std::string(),
                             .weight = Weight::semibold,
                             .color = ink});
  runs.push_back(ui::TextRun{.text = line.text, .weight = Weight::regular, .color = inkSoft});
  return ui::text(std::move(runs)).font(12).lineLimit(lines).fixedSize(false, true);
}

ui::View Tile::body() const {
  std::vector<ui::View> rows{
      ui::text(value).font(18, Weight::semibold, Design::rounded).lineLimit(1).minimumScaleFactor(0.6),
      ui::text(label).font(11).foreground(inkSoft).lineLimit(1),
  };
  if (note) rows.push_back(ui::text(*note).font(10).foreground(inkFaint).lineLimit(1));
  return ui::vstack(HAlign::leading, 3, std::move(rows))
      .padding(ui::Edges::horizontal(), 9)
      .padding(ui::Edges::vertical(), 7)
      .frame(ui::FlexFrame{.maxWidth = ui::kInfinity, .alignment = ui::leading})
      .background(ui::roundedRectangle(11).fill(hairline));
}

ui::View Facts::body() const {
  return ui::vstack(HAlign::center, 4, ui::forEach(visibleCount(facts.size(), 11.5 + 4), [this](std::size_t i) {
                      const WeekKV& fact = facts[i];
                      return ui::hstack(VAlign::center, std::nullopt,
                                        {
                                            ui::text(fact.label).foreground(inkSoft).lineLimit(1),
                                            ui::spacer(6),
                                            ui::text(fact.value)
                                                .fontWeight(Weight::semibold)
                                                .monospacedDigit()
                                                .lineLimit(1),
                                        })
                          .font(11.5);
                    }));
}

ui::View FaceRule::body() const { return ui::rectangle().fill(hairline).frame(std::nullopt, 1); }

ui::View DashedRule::body() const {
  const auto topEdge = [](ui::Rect r) {
    return std::vector<ui::Point>{{r.x, r.y}, {r.x + r.width, r.y}};
  };
  return ui::pathShape(topEdge, false)
      .stroke(inkFaint.opacity_(0.6), ui::StrokeStyle{.lineWidth = 1,
                                                      .lineCap = ui::LineCap::butt,
                                                      .lineJoin = ui::LineJoin::miter,
                                                      .miterLimit = 10,
                                                      .dash = {3, 3},
                                                      .dashPhase = 0})
      .frame(std::nullopt, 1);
}

}  // namespace korvel
