// Horizontal and vertical stacks: one algorithm with the axes swapped.
//
// Space along the stacking axis goes to children in groups of equal layout priority (highest
// first, each later group's minimum reserved up front) and, inside a group, least flexible
// first; each child is offered an even share of what is left, so a child that takes less
// leaves more for the more flexible ones after it.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

namespace {

constexpr double kDefaultSpacing = 8;

struct StackPlan {
  std::vector<Proposal> proposals;
  std::vector<Measured> dims;
  std::vector<double> majorPos, minorPos;
  Measured self;
};

Axis other(Axis a) { return a == Axis::horizontal ? Axis::vertical : Axis::horizontal; }

double minorGuide(const StackNode& n, const Measured& m) {
  return n.axis == Axis::horizontal ? guideV(m, n.vAlign) : guideH(m, n.hAlign);
}

EnvId childEnv(LayoutContext& ctx, EnvId env, Axis axis) {
  const Environment& e = ctx.env(env);
  if (e.stackAxis == axis) return env;
  Environment copy = e;
  copy.stackAxis = axis;
  return ctx.intern(copy);
}

// The space before each child: the stack's spacing, else the default between two children
// that are not spacers.
std::vector<double> gapsBefore(const StackNode& n) {
  std::vector<double> gaps(n.children.size(), 0);
  for (std::size_t i = 1; i < gaps.size(); ++i) {
    if (n.spacing) {
      gaps[i] = *n.spacing;
    } else {
      gaps[i] = n.children[i - 1]->isSpacer() || n.children[i]->isSpacer() ? 0 : kDefaultSpacing;
    }
  }
  return gaps;
}

// Along a proposed major length `space`: groups of equal priority, highest first, with the
// later groups' minimums held back; inside a group the least flexible child first, each offered
// an even share of what is left.
void shareMajorAxis(const StackNode& n, LayoutContext& ctx, EnvId env, double space,
                    std::optional<double> minorP, StackPlan& out) {
  const std::size_t count = n.children.size();
  const Axis major = n.axis;
  std::vector<double> mins(count), maxs(count), prio(count);
  for (std::size_t i = 0; i < count; ++i) {
    mins[i] = ctx.measure(*n.children[i], env, Proposal::make(major, 0.0, minorP)).along(major);
    maxs[i] = ctx.measure(*n.children[i], env, Proposal::make(major, kInfinity, minorP)).along(major);
    prio[i] = n.children[i]->layoutPriority();
  }
  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    if (prio[a] != prio[b]) return prio[a] > prio[b];
    const double da = maxs[a] - mins[a], db = maxs[b] - mins[b];
    if (da != db) return da < db;  // less flexible first
    const double ea = std::isinf(da) ? -mins[a] : 0, eb = std::isinf(db) ? -mins[b] : 0;
    return ea < eb;
  });
  double avail = space;
  for (std::size_t i = 0; i < count;) {
    std::size_t j = i;
    while (j < count && prio[order[j]] == prio[order[i]]) ++j;
    if (i == 0) {
      for (std::size_t k = j; k < count; ++k) avail -= mins[order[k]];
    } else {
      for (std::size_t k = i; k < j; ++k) avail += mins[order[k]];
    }
    std::size_t remaining = j - i;
    for (std::size_t k = i; k < j; ++k) {
      const std::size_t c = order[k];
      const double offer = std::max(avail / static_cast<double>(remaining), 0.0);
      out.proposals[c] = Proposal::make(major, offer, minorP);
      out.dims[c] = ctx.measure(*n.children[c], env, out.proposals[c]);
      avail -= out.dims[c].along(major);
      --remaining;
    }
    i = j;
  }
}

// Positions from the measured children: along the major axis one after another with the gaps;
// across it every child's guide on one line, shifted so that nothing is negative. Then the
// stack's own size and its first and last baselines (of the top-most and bottom-most texts).
void arrange(const StackNode& n, const std::vector<double>& gaps, StackPlan& out) {
  const std::size_t count = n.children.size();
  const Axis major = n.axis;
  out.minorPos.resize(count);
  out.majorPos.resize(count);
  double lo = 0, hi = 0;
  for (std::size_t i = 0; i < count; ++i) {
    out.minorPos[i] = -minorGuide(n, out.dims[i]);
    lo = std::min(lo, out.minorPos[i]);
    hi = std::max(hi, out.minorPos[i] + out.dims[i].along(other(major)));
  }
  double pos = 0;
  for (std::size_t i = 0; i < count; ++i) {
    pos += gaps[i];
    out.majorPos[i] = pos;
    pos += out.dims[i].along(major);
    out.minorPos[i] -= lo;
  }

  Measured& self = out.self;
  self.size = major == Axis::horizontal ? Size{pos, hi - lo} : Size{hi - lo, pos};
  for (std::size_t i = 0; i < count; ++i) {
    const Measured& d = out.dims[i];
    const double y = major == Axis::horizontal ? out.minorPos[i] : out.majorPos[i];
    if (d.firstBaseline) self.firstBaseline = std::min(self.firstBaseline.value_or(kInfinity), y + *d.firstBaseline);
    if (d.lastBaseline) self.lastBaseline = std::max(self.lastBaseline.value_or(-kInfinity), y + *d.lastBaseline);
    self.truncated = self.truncated || d.truncated;
  }
}

StackPlan plan(const StackNode& n, LayoutContext& ctx, EnvId env, const Proposal& p) {
  const std::size_t count = n.children.size();
  StackPlan out;
  if (count == 0) return out;
  const Axis major = n.axis;
  const std::optional<double> minorP = p.along(other(major));
  const std::optional<double> majorP = p.along(major);
  const std::vector<double> gaps = gapsBefore(n);

  out.proposals.resize(count);
  out.dims.resize(count);
  if (majorP) {
    const double internal = std::accumulate(gaps.begin(), gaps.end(), 0.0);
    shareMajorAxis(n, ctx, env, *majorP - internal, minorP, out);
  } else {
    for (std::size_t i = 0; i < count; ++i) {
      out.proposals[i] = Proposal::make(major, std::nullopt, minorP);
      out.dims[i] = ctx.measure(*n.children[i], env, out.proposals[i]);
    }
  }
  arrange(n, gaps, out);
  return out;
}

}  // namespace

Measured StackNode::measure(LayoutContext& ctx, EnvId env, const Proposal& p) const {
  return plan(*this, ctx, childEnv(ctx, env, axis), p).self;
}

void StackNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  const Measured self = ctx.measure(*this, env, p);
  Proposal final = p;
  if (axis == Axis::horizontal) {
    if (!final.height) final.height = self.size.height;
  } else if (!final.width) {
    final.width = self.size.width;
  }
  const EnvId inner = childEnv(ctx, env, axis);
  const StackPlan pl = plan(*this, ctx, inner, final);
  for (std::size_t i = 0; i < children.size(); ++i) {
    const Point at = axis == Axis::horizontal ? Point{origin.x + pl.majorPos[i], origin.y + pl.minorPos[i]}
                                              : Point{origin.x + pl.minorPos[i], origin.y + pl.majorPos[i]};
    ctx.place(*children[i], inner, pl.proposals[i], at);
  }
}

}  // namespace korvel::ui
