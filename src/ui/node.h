#pragma once
// The layout contract every node implements.
//
// A parent proposes a size (each dimension a number, or unset = "your ideal"; 0 asks for the
// minimum, infinity for the maximum); the node answers its size, which may ignore the proposal:
// a parent never resizes a child, it only positions it, and copes when the answer does not fit.
// `measure` is pure (the context caches it per node, environment and proposal) and may be
// called many times; `place` is called once with the proposal the parent settled on and the
// node's top-leading corner, and emits the node's drawing operations in paint order.
#include <cstdint>
#include <optional>

#include "ui/geometry.h"

namespace korvel::ui {

class LayoutContext;
using EnvId = std::uint32_t;

struct Proposal {
  std::optional<double> width, height;

  std::optional<double> along(Axis axis) const { return axis == Axis::horizontal ? width : height; }
  static Proposal make(Axis major, std::optional<double> majorValue, std::optional<double> minorValue) {
    return major == Axis::horizontal ? Proposal{majorValue, minorValue} : Proposal{minorValue, majorValue};
  }
  bool operator==(const Proposal&) const = default;
};

struct Measured {
  Size size;
  // Explicit text baselines from the node's top; unset for a view without text.
  std::optional<double> firstBaseline, lastBaseline;
  // Some text inside was cut for this proposal (drives shared scale search).
  bool truncated = false;

  double along(Axis axis) const { return axis == Axis::horizontal ? size.width : size.height; }
};

// Alignment guides of a measured view: edges, centre and baselines (bottom when no text).
double guideH(const Measured& m, HAlign a);
double guideV(const Measured& m, VAlign a);

struct Node {
  virtual ~Node() = default;
  virtual Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const = 0;
  virtual void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const = 0;
  // The priority a parent stack or overlay stack sees.
  virtual double layoutPriority() const { return 0; }
  // Spacers meet their neighbours with no default spacing.
  virtual bool isSpacer() const { return false; }
  // Empty views take no place in a stack (no spacing either).
  virtual bool isEmpty() const { return false; }
};

}  // namespace korvel::ui
