#include <gtest/gtest.h>

#include <string>

#include "host/render/render_widget.h"
#include "kit/palette.h"
#include "snapshot/loading.h"
#include "ui/text_measurer.h"

namespace korvel::host {
namespace {

// The backend paints an unknown colour name as ink so a user never sees a garish colour; this
// is where such a name is caught instead: every widget, every offered size, every sample.
TEST(WidgetColours, EveryDrawnColourIsAPaletteColour) {
  const ui::FakeTextMeasurer measurer;
  std::vector<std::optional<WeekSnapshot>> samples{std::nullopt};
  for (const char* file : {"week.json", "week-off.json", "week-empty.json", "week-minimal.json"}) {
    auto s = loadSnapshotAt(std::string(KORVEL_SOURCE_DIR) + "/examples/" + file);
    ASSERT_TRUE(s.has_value()) << file;
    samples.push_back(std::move(s));
  }
  for (const WidgetInfo& info : widgetCatalog()) {
    for (const WidgetFamily family : info.families) {
      for (const auto& snapshot : samples) {
        RenderRequest request;
        request.kind = info.faceKind;
        request.family = family;
        request.entry = {1749750000, snapshot};
        request.measurer = &measurer;
        const LaidOutWidget w = layoutWidget(request);
        ASSERT_FALSE(w.list.ops.empty());
        for (const ui::Op& op : w.list.ops) {
          if (op.op == ui::OpKind::fill || op.op == ui::OpKind::stroke ||
              op.op == ui::OpKind::symbol) {
            EXPECT_NE(findPaletteColor(op.paint.color), nullptr)
                << info.kind << " " << familyName(family) << ": \"" << op.paint.color << "\"";
          }
          for (const ui::TextRunStyle& run : op.text.runs) {
            EXPECT_NE(findPaletteColor(run.color.color), nullptr)
                << info.kind << " " << familyName(family) << " text \"" << run.text << "\": \""
                << run.color.color << "\"";
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace korvel::host
