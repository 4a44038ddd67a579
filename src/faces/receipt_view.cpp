#include <algorithm>

#include "faces/face_parts.h"
#include "faces/faces.h"
#include "kit/day_charts.h"
#include "kit/palette.h"
#include "kit/text_primitives.h"
#include "kit/text_utils.h"

namespace korvel {

namespace {

using ui::Design;
using ui::Weight;

ui::View receiptLine(const WeekKV& kv, ui::Paint labelColor, Weight weight) {
  return ui::hstack(ui::VAlign::center, std::nullopt,
                    {
                        ui::text(kv.label).foreground(labelColor),
                        ui::spacer(6),
                        ui::text(kv.value).foreground(ink),
                    })
      .fontWeight(weight)
      .lineLimit(1);
}

ui::View receiptBlock(const ReceiptFace& receipt) {
  std::vector<ui::View> lines = ui::forEach(visibleCount(receipt.rows.size(), 11 + 3), [&](std::size_t i) {
    return receiptLine(receipt.rows[i], inkSoft, Weight::regular);
  });
  lines.push_back(ui::View(DashedRule{}).padding(ui::Edges::vertical(), 3));
  lines.push_back(receiptLine(receipt.total, ink, Weight::bold));
  return ui::vstack(ui::HAlign::center, 3, std::move(lines)).font(11, Weight::regular, Design::monospaced);
}

}  // namespace

double receiptHeroSize(const std::string& hero) { return graphemeCount(hero) <= 7 ? 30 : 26; }

// The receipt's own day bars: unlike the kit's columns, the label never marks today, other
// days are drawn at half strength, corners are 3, the empty capsule is 2 high and the label
// sits 3 below the bar.
ui::View receiptDayBars(const WeekSnapshot& s) {
  std::vector<double> present;
  for (const auto& v : s.receipt.perDay) {
    if (v) present.push_back(*v);
  }
  const double scale = chart::peakOf(present);
  const auto perDay = s.receipt.perDay;  // copied: the bars are built at layout time
  const std::int64_t today = s.today;
  return chart::dayColumns(
      s.days, today, {.labelSpacing = 3, .showLabels = true, .labelMarksToday = false, .labelLines = std::nullopt},
      [perDay, today, scale](std::size_t i, double width, double height) {
        ui::View bar = ui::capsule().fill(hairline).frame(width, 2);
        if (i < perDay.size() && perDay[i] && *perDay[i] > 0) {
          bar = ui::roundedRectangle(ui::CornerRadii{3, 3, 0, 0})
                    .fill(lime.opacity_(chart::isToday(today, i) ? 1.0 : 0.5))
                    .frame(width, std::max(3.0, *perDay[i] / scale * height));
        }
        return ui::vstack(ui::HAlign::center, std::nullopt, {ui::spacer(0), bar});
      });
}

ui::View receiptView(const WeekSnapshot& s, WeekFaceSize size, const FaceHeader& h) {
  const ReceiptFace& receipt = s.receipt;
  switch (size) {
    case WeekFaceSize::small:
      return faceLayout(h, {
          ui::text(receipt.caption).font(12).foreground(inkSoft).padding(ui::Edges::topOnly(), 8),
          Hero{receipt.hero, "", receiptHeroSize(receipt.hero)}.body().padding(ui::Edges::topOnly(), 2),
          ui::text(receipt.tokens).font(12).foreground(inkSoft).lineLimit(1).padding(ui::Edges::topOnly(), 4),
          ui::spacer(0),
          ui::text(receipt.note).font(10.5).foreground(inkFaint).lineLimit(2),
      });
    case WeekFaceSize::medium:
      return faceLayout(h, {
          receiptBlock(receipt).padding(ui::Edges::topOnly(), 8),
          ui::spacer(0),
          ui::text(receipt.note).font(10, Weight::regular, Design::monospaced).foreground(inkFaint).lineLimit(1),
      });
    case WeekFaceSize::large:
      break;
  }
  return faceLayout(h, {
      receiptBlock(receipt).padding(ui::Edges::topOnly(), 10),
      receiptDayBars(s).padding(ui::Edges::topOnly(), 12),
      ui::text(receipt.footer)
          .font(10, Weight::regular, Design::monospaced)
          .foreground(inkFaint)
          .lineLimit(1)
          .padding(ui::Edges::topOnly(), 8),
  });
}

}  // namespace korvel
