#pragma once
// Every widget in every family it offers, drawn from one snapshot: laid out, checked and painted
// in both appearances. Used by the hostile-snapshot and fuzz-regression tests and by the drawing
// fuzzer, so all of them hold the same invariants.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/render/render_widget.h"
#include "snapshot/records.h"

namespace korvel::testing {

// The most work one widget may cost, whatever the snapshot holds. A face that walked a
// 10 000-element list or measured 100 000 characters whole passes these by far.
struct WorkBounds {
  std::size_t ops = 300;
  std::size_t measureCalls = 300;
  std::size_t nodeMeasures = 12000;
  std::size_t textsMeasured = 120;
};

struct WalkOptions {
  const ui::TextMeasurer* measurer = nullptr;  // none: the process's Pango measurer
  bool paint = true;                           // paint both appearances and check Cairo
  WorkBounds bounds;
};

// What was wrong, one line per problem, each naming the widget; empty when every invariant
// held: a container of paper and clip exactly the widget's size, balanced clips, finite
// geometry inside the widget (or inside a clip that ends there), palette colours with opacities
// in [0, 1], valid UTF-8 texts within the text cap, bounded work, the widget's own deep link,
// and Cairo out of error and the widget's centre opaque after painting.
// `visit` sees every laid-out widget, for checks of the caller's own.
std::vector<std::string> walkEveryPlacement(
    const std::optional<WeekSnapshot>& snapshot, double now, const WalkOptions& options = {},
    const std::function<void(const host::LaidOutWidget&)>& visit = {});

}  // namespace korvel::testing
