// Texts side by side (a value and its unit) shrink by one shared factor so their proportions
// hold: the largest factor on a 0.01 grid, at or above the minimum, at which nothing inside is
// cut; at the minimum they are drawn cut. Asked for its ideal width, nothing shrinks.
#include <cmath>

#include "ui/layout_context.h"
#include "ui/nodes.h"

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
  int lo = static_cast<int>(std::ceil(factor * 100 - 1e-9));
  int hi = 100;  // known not to fit
  const EnvId lowest = withScale(ctx, env, lo);
  if (ctx.measure(*child, lowest, p).truncated) return lowest;
  while (hi - lo > 1) {
    const int mid = (lo + hi) / 2;
    if (ctx.measure(*child, withScale(ctx, env, mid), p).truncated) {
      hi = mid;
    } else {
      lo = mid;
    }
  }
  return withScale(ctx, env, lo);
}

Measured ScaleGroupNode::measure(LayoutContext& ctx, EnvId env, const Proposal& p) const {
  return ctx.measure(*child, scaledEnv(ctx, env, p), p);
}

void ScaleGroupNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  ctx.place(*child, scaledEnv(ctx, env, p), p, origin);
}

}  // namespace korvel::ui
