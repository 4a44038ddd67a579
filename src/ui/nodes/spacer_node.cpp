// A flexible space: at least its minimum length along the enclosing stack's axis, otherwise
// whatever it is offered. Outside a stack it grows on both axes.
#include <algorithm>

#include "ui/environment.h"
#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

namespace {
constexpr double kDefaultMinLength = 8;
}

Measured SpacerNode::measure(LayoutContext& ctx, EnvId env, const Proposal& p) const {
  const double mn = minLength.value_or(kDefaultMinLength);
  const auto axis = ctx.env(env).stackAxis;
  Measured m;
  if (!axis || *axis == Axis::horizontal) m.size.width = std::max(p.width.value_or(-kInfinity), mn);
  if (!axis || *axis == Axis::vertical) m.size.height = std::max(p.height.value_or(-kInfinity), mn);
  return m;
}

// Always the last group: it keeps its minimum while every other child is sized first.
double SpacerNode::layoutPriority() const { return -kInfinity; }

}  // namespace korvel::ui
