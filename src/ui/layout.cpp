#include "ui/layout.h"

#include <cmath>

#include "ui/layout_context.h"

namespace korvel::ui {

namespace {
Environment rootEnvironment(const LayoutOptions& options) {
  Environment e;
  e.foreground = options.defaultForeground;
  return e;
}

double rootLength(double v) { return std::isinf(v) && v > 0 ? kMaxLength : clampLength(v); }
}  // namespace

DisplayList layout(const View& root, Size size, const TextMeasurer& measurer, LayoutStats* stats,
                   const LayoutOptions& options) {
  DisplayList out;
  layout(out, root, Point{0, 0}, size, measurer, stats, options);
  return out;
}

void layout(DisplayList& out, const View& root, Point origin, Size size, const TextMeasurer& measurer,
            LayoutStats* stats, const LayoutOptions& options) {
  LayoutContext ctx(measurer, &out, stats, rootEnvironment(options));
  const Proposal p{rootLength(size.width), rootLength(size.height)};
  ctx.place(*root.node(), ctx.rootEnv(), p, origin);
}

Size measureView(const View& root, std::optional<double> width, std::optional<double> height,
                 const TextMeasurer& measurer, const LayoutOptions& options) {
  LayoutContext ctx(measurer, nullptr, nullptr, rootEnvironment(options));
  return ctx.measure(*root.node(), ctx.rootEnv(), Proposal{width, height}).size;
}

}  // namespace korvel::ui
