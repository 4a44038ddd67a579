#pragma once
// Public entry of the layout engine: a view tree and a size in, a display list out.
#include <cstddef>

#include "ui/display_list.h"
#include "ui/geometry.h"
#include "ui/limits.h"
#include "ui/text_measurer.h"
#include "ui/view.h"

namespace korvel::ui {

struct LayoutStats {
  std::size_t textsMeasured = 0;   // distinct texts (runs) handed to the measurer
  std::size_t measureCalls = 0;    // calls into the TextMeasurer (cache misses)
  std::size_t cacheHits = 0;       // text measurements answered from this pass's cache
  std::size_t opsEmitted = 0;
  std::size_t bytesMeasured = 0;   // UTF-8 bytes handed to the text engine
  std::size_t nodeMeasures = 0;    // node measurements computed (not from the cache)
};

struct LayoutOptions {
  Paint defaultForeground{"ink", 1.0};
};

// Proposes `size` to `root` and places it at the origin.
DisplayList layout(const View& root, Size size, const TextMeasurer& measurer,
                   LayoutStats* stats = nullptr, const LayoutOptions& options = {});
// Appends the ops of `root`, proposed `size`, placed with its top-leading corner at `origin`.
void layout(DisplayList& out, const View& root, Point origin, Size size,
            const TextMeasurer& measurer, LayoutStats* stats = nullptr,
            const LayoutOptions& options = {});
// Only the size `root` answers for a proposal (unset = ideal).
Size measureView(const View& root, std::optional<double> width, std::optional<double> height,
                 const TextMeasurer& measurer, const LayoutOptions& options = {});

}  // namespace korvel::ui
