#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

void ClipNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  Measured m = ctx.measure(*child, env, p);
  Rect frame{origin.x, origin.y, m.size.width, m.size.height};
  Op clip;
  clip.op = OpKind::clip;
  clip.rect = frame;
  clip.shape = resolveShape(shape, frame);
  ctx.emit(std::move(clip), env);
  ctx.place(*child, env, p, origin);
  Op unclip;
  unclip.op = OpKind::unclip;
  unclip.rect = frame;
  ctx.emit(std::move(unclip), env);
}

}  // namespace korvel::ui
