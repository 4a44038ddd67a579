#include "kit/meter.h"

#include <algorithm>
#include <cstdint>

#include "kit/palette.h"

namespace korvel {

namespace {

// Over the limit the fill runs past its track, as far as the share says (130 % of 200 is 260);
// beyond ten times the track it is past any widget's edge anyway, so it stops there and a
// runaway value keeps the geometry small.
double fillWidth(double track, std::int64_t used) {
  const double percent = std::min(static_cast<double>(used), 1000.0);
  return std::max(track * percent / 100, 2.0);
}

}  // namespace

using ui::HAlign;
using ui::VAlign;

ui::Paint severityColor(const std::string& severity) {
  if (severity == "bad") return red;
  if (severity == "warn") return amber;
  return lime;
}

double tickOffset(double width, std::int64_t elapsed) {
  const double x = width * static_cast<double>(elapsed) / 100 - 1;
  return std::max(std::min(x, width - 2), 0.0);
}

ui::View Meter::body() const {
  const WeekMeter m = meter;
  std::vector<ui::View> rows{
      ui::hstack(VAlign::center, std::nullopt,
                 {
                     ui::text(isShort ? m.engine : m.label).foreground(inkSoft).lineLimit(1),
                     ui::spacer(4),
                     ui::text(m.usedText).fontWeight(ui::Weight::semibold).monospacedDigit().lineLimit(1),
                 })
          .font(11),
      ui::geometryReader([m](ui::Size area) {
        const double w = area.width;
        std::vector<ui::View> layers{
            ui::capsule().fill(hairline).frame(w, 5),
            ui::capsule()
                .fill(severityColor(m.severity))
                .frame(fillWidth(w, m.used), 5)
                .accentable(),
        };
        if (m.elapsed) {
          layers.push_back(
              ui::capsule().fill(ink).frame(2, 11).offset(tickOffset(w, *m.elapsed), 0));
        }
        return ui::zstack(ui::leading, std::move(layers));
      })
          .frame(std::nullopt, 5)
          .padding(ui::Edges::vertical(), 3),
  };
  if (!isShort && m.pace) {
    rows.push_back(ui::text(*m.pace)
                       .font(10)
                       .foreground(m.paceKey == "ahead" ? amber : inkFaint)
                       .lineLimit(1));
  }
  return ui::vstack(HAlign::leading, 3, std::move(rows));
}

ui::View RunRow::body() const {
  return ui::hstack(VAlign::center, 7,
                    {
                        ui::circle().fill(run.waiting ? orange : lime).frame(7, 7),
                        ui::text(run.name).lineLimit(1).layoutPriority(1),
                        ui::spacer(4),
                        ui::text(run.time)
                            .font(11)
                            .foreground(inkFaint)
                            .monospacedDigit()
                            .lineLimit(1)
                            .frame(ui::FlexFrame{.maxWidth = 70, .alignment = ui::trailing})
                            .fixedSize(true, false)
                            .layoutPriority(1),
                    })
      .font(12);
}

}  // namespace korvel
