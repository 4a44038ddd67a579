#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

namespace {
Proposal ideal(const FixedSizeNode& n, const Proposal& p) {
  return Proposal{n.horizontal ? std::nullopt : p.width, n.vertical ? std::nullopt : p.height};
}
}  // namespace

Measured FixedSizeNode::measure(LayoutContext& ctx, EnvId env, const Proposal& p) const {
  return ctx.measure(*child, env, ideal(*this, p));
}

void FixedSizeNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  ctx.place(*child, env, ideal(*this, p), origin);
}

}  // namespace korvel::ui
