#include <algorithm>

#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

namespace {
Proposal inset(const PaddingNode& n, const Proposal& p) {
  const auto& i = n.insets;
  Proposal cp;
  if (p.width) cp.width = std::max(0.0, *p.width - i.leading - i.trailing);
  if (p.height) cp.height = std::max(0.0, *p.height - i.top - i.bottom);
  return cp;
}
}  // namespace

Measured PaddingNode::measure(LayoutContext& ctx, EnvId env, const Proposal& p) const {
  Measured m = ctx.measure(*child, env, inset(*this, p));
  m.size.width = std::max(0.0, m.size.width + insets.leading + insets.trailing);
  m.size.height = std::max(0.0, m.size.height + insets.top + insets.bottom);
  if (m.firstBaseline) *m.firstBaseline += insets.top;
  if (m.lastBaseline) *m.lastBaseline += insets.top;
  return m;
}

void PaddingNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  ctx.place(*child, env, inset(*this, p), Point{origin.x + insets.leading, origin.y + insets.top});
}

}  // namespace korvel::ui
