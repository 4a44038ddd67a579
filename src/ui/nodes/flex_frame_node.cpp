// Flexible frame: per axis a minimum, ideal and maximum, each optional.
//   both bounds: adopt the proposal clamped to them, without asking the child;
//   unset proposal with an ideal: the ideal;
//   otherwise the child's size for the clamped proposal, clamped towards the proposal.
#include <algorithm>

#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

namespace {

struct AxisBounds {
  std::optional<double> mn, id, mx;
};

AxisBounds widthBounds(const FlexFrame& f) { return {f.minWidth, f.idealWidth, f.maxWidth}; }
AxisBounds heightBounds(const FlexFrame& f) { return {f.minHeight, f.idealHeight, f.maxHeight}; }

std::optional<double> childProposal(const AxisBounds& b, std::optional<double> p) {
  const std::optional<double> v = p ? p : b.id;
  if (!v) return std::nullopt;
  return std::clamp(*v, b.mn.value_or(-kInfinity), b.mx.value_or(kInfinity));
}

// The frame's size on one axis without the child, if the rules allow it.
std::optional<double> withoutChild(const AxisBounds& b, std::optional<double> p) {
  if (p) {
    if (b.mn && b.mx) return std::clamp(*p, *b.mn, *b.mx);
  } else if (b.id) {
    return *b.id;
  }
  return std::nullopt;
}

double withChild(const AxisBounds& b, std::optional<double> cp, double s) {
  if (b.mn && b.mx) return std::clamp(s, *b.mn, *b.mx);
  if (b.mn) return std::max(std::min(cp.value_or(kInfinity), s), *b.mn);
  if (b.mx) return std::min(std::max(cp.value_or(-kInfinity), s), *b.mx);
  return s;
}

// At placement the child gets the frame's size, unless the frame itself was asked for its
// ideal on that axis, has no ideal of its own and landed strictly inside its bounds. A frame
// that grew past what it offered because its child overflowed offers the same again: the
// child keeps the layout it was measured with, and only the overflowing part sticks out.
std::optional<double> placementProposal(const AxisBounds& b, std::optional<double> p, double size) {
  if (!b.id && !p && b.mn.value_or(-kInfinity) < size && size < b.mx.value_or(kInfinity)) return std::nullopt;
  const std::optional<double> offered = childProposal(b, p);
  if (offered && size > *offered) return offered;
  return size;
}

}  // namespace

Measured FlexFrameNode::measure(LayoutContext& ctx, EnvId env, const Proposal& p) const {
  const AxisBounds wb = widthBounds(flex), hb = heightBounds(flex);
  const Proposal cp{childProposal(wb, p.width), childProposal(hb, p.height)};
  std::optional<double> w = withoutChild(wb, p.width), h = withoutChild(hb, p.height);
  if (!w || !h) {
    const Measured c = ctx.measure(*child, env, cp);
    if (!w) w = withChild(wb, cp.width, c.size.width);
    if (!h) h = withChild(hb, cp.height, c.size.height);
  }
  const Size size{*w, *h};
  const Proposal pp{placementProposal(wb, p.width, size.width), placementProposal(hb, p.height, size.height)};
  return alignInFrame(size, ctx.measure(*child, env, pp), flex.alignment, nullptr);
}

void FlexFrameNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  const Measured self = ctx.measure(*this, env, p);
  const AxisBounds wb = widthBounds(flex), hb = heightBounds(flex);
  const Proposal pp{placementProposal(wb, p.width, self.size.width), placementProposal(hb, p.height, self.size.height)};
  Point o;
  alignInFrame(self.size, ctx.measure(*child, env, pp), flex.alignment, &o);
  ctx.place(*child, env, pp, Point{origin.x + o.x, origin.y + o.y});
}

}  // namespace korvel::ui
