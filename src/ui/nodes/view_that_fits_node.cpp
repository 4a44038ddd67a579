// The first candidate whose ideal size along the axis fits the proposal (the other axis keeps
// the proposal while it is measured), else the last. Only the chosen one is drawn.
#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

namespace {
constexpr double kFitTolerance = 1e-9;
}

std::size_t ViewThatFitsNode::choose(LayoutContext& ctx, EnvId env, const Proposal& p) const {
  const std::optional<double> limit = p.along(axis);
  if (!limit) return 0;  // asked for its ideal: the first candidate's ideal always fits
  for (std::size_t i = 0; i + 1 < candidates.size(); ++i) {
    const Proposal q = axis == Axis::horizontal ? Proposal{std::nullopt, p.height} : Proposal{p.width, std::nullopt};
    if (ctx.measure(*candidates[i], env, q).along(axis) <= *limit + kFitTolerance) return i;
  }
  return candidates.size() - 1;
}

Measured ViewThatFitsNode::measure(LayoutContext& ctx, EnvId env, const Proposal& p) const {
  return ctx.measure(*candidates[choose(ctx, env, p)], env, p);
}

void ViewThatFitsNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  ctx.place(*candidates[choose(ctx, env, p)], env, p, origin);
}

}  // namespace korvel::ui
