#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

namespace {
EnvId derived(LayoutContext& ctx, EnvId env, const std::function<void(Environment&)>& apply) {
  Environment copy = ctx.env(env);
  apply(copy);
  return ctx.intern(copy);
}
}  // namespace

Measured EnvironmentNode::measure(LayoutContext& ctx, EnvId env, const Proposal& p) const {
  return ctx.measure(*child, derived(ctx, env, apply), p);
}

void EnvironmentNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  ctx.place(*child, derived(ctx, env, apply), p, origin);
}

}  // namespace korvel::ui
