// Wrappers that leave layout to their child: priority, offset, clip, environment, fixed size,
// background and overlay share this measuring.
#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

Measured PassThroughNode::measure(LayoutContext& ctx, EnvId env, const Proposal& p) const {
  return ctx.measure(*child, env, p);
}

void PassThroughNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  ctx.place(*child, env, p, origin);
}

EnvId outsideStack(LayoutContext& ctx, EnvId env) {
  const Environment& e = ctx.env(env);
  if (!e.stackAxis) return env;
  Environment copy = e;
  copy.stackAxis.reset();
  return ctx.intern(copy);
}

}  // namespace korvel::ui
