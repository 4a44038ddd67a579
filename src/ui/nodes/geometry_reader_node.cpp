// Takes all the space offered (10 x 10 when asked for its ideal) and builds its content from
// that size, proposing the content the same size at its top-leading corner.
#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

Measured GeometryReaderNode::measure(LayoutContext&, EnvId, const Proposal& p) const {
  return Measured{Size{p.width.value_or(kIdealSize), p.height.value_or(kIdealSize)}, std::nullopt, std::nullopt, false};
}

void GeometryReaderNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  if (!content) return;
  const Size size = ctx.measure(*this, env, p).size;
  View v = content(size);
  ctx.keepAlive(v.node());
  ctx.place(*v.node(), outsideStack(ctx, env), Proposal{size.width, size.height}, origin);
}

}  // namespace korvel::ui
