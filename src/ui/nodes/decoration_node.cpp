#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

// The decoration is proposed the primary's final size and aligned on it; it never changes
// the primary's layout.
void DecorationNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  Measured primary = ctx.measure(*child, env, p);
  auto placeContent = [&] {
    EnvId inner = outsideStack(ctx, env);
    Proposal cp{primary.size.width, primary.size.height};
    Measured m = ctx.measure(*content, inner, cp);
    Point at{origin.x + guideH(primary, alignment.h) - guideH(m, alignment.h),
             origin.y + guideV(primary, alignment.v) - guideV(m, alignment.v)};
    ctx.place(*content, inner, cp, at);
  };
  if (!overlay) placeContent();
  ctx.place(*child, env, p, origin);
  if (overlay) placeContent();
}

}  // namespace korvel::ui
