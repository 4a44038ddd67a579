// Texts side by side (a value and its unit) shrink by one shared factor so their proportions
// hold: the largest factor on a 0.01 grid, at or above the minimum, at which nothing inside is
// cut; at the minimum they are drawn cut. Asked for its ideal width, nothing shrinks.
#include "ui/layout_context.h"
#include "ui/nodes.h"
#include "ui/scale_search.h"

namespace korvel::ui {

namespace {
EnvId withScale(LayoutContext& ctx, EnvId env, int hundredths) {
  Environment e = ctx.env(env);
  e.textScale *= hundredths / 100.0;
  e.minimumScaleFactor = 1;  // the group shrinks its texts, not each text on its own
  return ctx.intern(e);
}
}  // namespace

EnvId ScaleGroupNode::scaledEnv(LayoutContext& ctx, EnvId env, const Proposal& p) const {
  const EnvId full = withScale(ctx, env, 100);
  if (!p.width || factor >= 1 || !ctx.measure(*child, full, p).truncated) return full;
  return withScale(ctx, env, largestFittingScale(factor, [&](int hundredths) {
                    return !ctx.measure(*child, withScale(ctx, env, hundredths), p).truncated;
                  }));
}

Measured ScaleGroupNode::measure(LayoutContext& ctx, EnvId env, const Proposal& p) const {
  return ctx.measure(*child, scaledEnv(ctx, env, p), p);
}

void ScaleGroupNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  ctx.place(*child, scaledEnv(ctx, env, p), p, origin);
}

}  // namespace korvel::ui
