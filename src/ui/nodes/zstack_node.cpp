// Overlay stack: children on top of one another, aligned on a common guide. Only the children
// of the highest layout priority decide its size; every child is proposed the same size.
#include <algorithm>
#include <cmath>

#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

namespace {

struct ZPlan {
  std::vector<Measured> dims;
  std::vector<Point> origins;
  Measured self;
};

double topPriority(const ZStackNode& n) {
  double topPrio = -kInfinity;
  for (const auto& c : n.children) topPrio = std::max(topPrio, c->layoutPriority());
  return topPrio;
}

// Children proposed the final size, aligned on the top-priority children's guides. Where a
// child overflowed what the stack was offered, the others are still offered no more than that.
Proposal finalProposal(const Proposal& p, Size size) {
  return {p.width ? std::min(*p.width, size.width) : size.width,
          p.height ? std::min(*p.height, size.height) : size.height};
}

ZPlan arrange(const ZStackNode& n, LayoutContext& ctx, EnvId env, const Proposal& p, Size size) {
  ZPlan out;
  const double topPrio = topPriority(n);
  const Proposal fp = finalProposal(p, size);
  double ax = -kInfinity, ay = -kInfinity;
  for (const auto& c : n.children) {
    out.dims.push_back(ctx.measure(*c, env, fp));
    if (c->layoutPriority() == topPrio) {
      ax = std::max(ax, guideH(out.dims.back(), n.alignment.h));
      ay = std::max(ay, guideV(out.dims.back(), n.alignment.v));
    }
  }
  if (!std::isfinite(ax)) ax = 0;
  if (!std::isfinite(ay)) ay = 0;
  out.self.size = size;
  for (const auto& d : out.dims) {
    Point o{ax - guideH(d, n.alignment.h), ay - guideV(d, n.alignment.v)};
    out.origins.push_back(o);
    if (d.firstBaseline) out.self.firstBaseline = std::min(out.self.firstBaseline.value_or(kInfinity), o.y + *d.firstBaseline);
    if (d.lastBaseline) out.self.lastBaseline = std::max(out.self.lastBaseline.value_or(-kInfinity), o.y + *d.lastBaseline);
    out.self.truncated = out.self.truncated || d.truncated;
  }
  return out;
}

}  // namespace

Measured ZStackNode::measure(LayoutContext& ctx, EnvId env, const Proposal& p) const {
  if (children.empty()) return {};
  const EnvId inner = outsideStack(ctx, env);
  const double topPrio = topPriority(*this);
  Size size;
  for (const auto& c : children) {
    if (c->layoutPriority() != topPrio) continue;
    const Measured m = ctx.measure(*c, inner, p);
    size.width = std::max(size.width, m.size.width);
    size.height = std::max(size.height, m.size.height);
  }
  return arrange(*this, ctx, inner, p, size).self;
}

void ZStackNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  if (children.empty()) return;
  const Measured self = ctx.measure(*this, env, p);
  const EnvId inner = outsideStack(ctx, env);
  const ZPlan pl = arrange(*this, ctx, inner, p, self.size);
  const Proposal fp = finalProposal(p, self.size);
  for (std::size_t i = 0; i < children.size(); ++i)
    ctx.place(*children[i], inner, fp, Point{origin.x + pl.origins[i].x, origin.y + pl.origins[i].y});
}

}  // namespace korvel::ui
