// Fixed frame: exactly the given width and/or height; an unset axis takes the child's size.
#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

namespace {

Proposal childProposal(const FrameNode& n, const Proposal& p) {
  return Proposal{n.width ? n.width : p.width, n.height ? n.height : p.height};
}

// The child aligned inside a plain box of the frame's size (whose baselines are its bottom).
Point alignedOrigin(Size frame, const Measured& child, Alignment a) {
  Measured box{frame, std::nullopt, std::nullopt, false};
  return Point{guideH(box, a.h) - guideH(child, a.h), guideV(box, a.v) - guideV(child, a.v)};
}

}  // namespace

Measured alignInFrame(Size frame, const Measured& child, Alignment a, Point* childOrigin) {
  const Point o = alignedOrigin(frame, child, a);
  if (childOrigin) *childOrigin = o;
  Measured m{frame, std::nullopt, std::nullopt, child.truncated};
  if (child.firstBaseline) m.firstBaseline = o.y + *child.firstBaseline;
  if (child.lastBaseline) m.lastBaseline = o.y + *child.lastBaseline;
  return m;
}

Measured FrameNode::measure(LayoutContext& ctx, EnvId env, const Proposal& p) const {
  const Proposal cp = childProposal(*this, p);
  const Measured c = ctx.measure(*child, env, cp);
  const Size size{width ? *width : c.size.width, height ? *height : c.size.height};
  return alignInFrame(size, c, alignment, nullptr);
}

void FrameNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  const Measured self = ctx.measure(*this, env, p);
  const Proposal cp = childProposal(*this, p);
  const Measured c = ctx.measure(*child, env, cp);
  Point o;
  alignInFrame(self.size, c, alignment, &o);
  ctx.place(*child, env, cp, Point{origin.x + o.x, origin.y + o.y});
}

}  // namespace korvel::ui
