// A named symbol sized and placed like a one-line text of the current font: the row is a line
// of that font (same height and baseline), the drawing a square as tall as the font size,
// centred on the capitals' middle.
#include <algorithm>
#include <cmath>

#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

namespace {
double symbolSize(const Environment& e) {
  const double s = e.fontSize * e.textScale;
  return std::isnan(s) ? 0.1 : std::clamp(s, 0.1, 1000.0);
}
}  // namespace

Measured SymbolNode::measure(LayoutContext& ctx, EnvId env, const Proposal&) const {
  const Environment& e = ctx.env(env);
  const double size = symbolSize(e);
  const LineMetrics lm = ctx.lineMetrics(size, e.weight, e.design);
  return Measured{Size{size, lm.height}, lm.baseline, lm.baseline, false};
}

void SymbolNode::place(LayoutContext& ctx, EnvId env, const Proposal&, Point origin) const {
  const Environment& e = ctx.env(env);
  const double size = symbolSize(e);
  const LineMetrics lm = ctx.lineMetrics(size, e.weight, e.design);
  ctx.emit(DrawSymbol{.rect = Rect{origin.x, origin.y + lm.baseline - lm.capHeight / 2 - size / 2, size, size},
                      .paint = e.foreground,
                      .name = name},
           env);
}

}  // namespace korvel::ui
