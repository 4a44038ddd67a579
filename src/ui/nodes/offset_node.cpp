#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

// Moves the drawing only: the parent already placed this view by its unmoved frame.
void OffsetNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  ctx.place(*child, env, p, Point{origin.x + dx, origin.y + dy});
}

}  // namespace korvel::ui
