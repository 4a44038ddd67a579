#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

void ClipNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  Measured m = ctx.measure(*child, env, p);
  Rect frame{origin.x, origin.y, m.size.width, m.size.height};
  ctx.emit(PushClip{.rect = frame, .shape = resolveShape(shape, frame)}, env);
  ctx.place(*child, env, p, origin);
  ctx.emit(PopClip{.rect = frame}, env);
}

}  // namespace korvel::ui
