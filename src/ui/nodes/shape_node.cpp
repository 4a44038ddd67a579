// Shapes take the size offered (10 when asked for their ideal); a circle the largest square.
#include <algorithm>

#include "ui/layout_context.h"
#include "ui/nodes.h"

namespace korvel::ui {

ShapeGeometry resolveShape(const Shape& shape, Rect frame) {
  ShapeGeometry g = shape.geometry;
  const double half = std::min(frame.width, frame.height) / 2;
  switch (g.kind) {
    case ShapeKind::rect:
    case ShapeKind::circle:
      g.radii = {0, 0, 0, 0};
      break;
    case ShapeKind::roundedRect:
      for (auto& r : g.radii) r = std::clamp(r, 0.0, half);
      break;
    case ShapeKind::capsule:
      g.radii = {half, half, half, half};
      break;
    case ShapeKind::path:
      g.points.clear();
      if (shape.path && *shape.path) {
        g.points = (*shape.path)(Rect{0, 0, frame.width, frame.height});
        if (g.points.size() > kMaxPathPoints) g.points.resize(kMaxPathPoints);
        for (auto& pt : g.points) {
          pt.x += frame.x;
          pt.y += frame.y;
        }
      }
      break;
  }
  return g;
}

Measured ShapeNode::measure(LayoutContext&, EnvId, const Proposal& p) const {
  Size s{p.width.value_or(kIdealSize), p.height.value_or(kIdealSize)};
  if (shape.geometry.kind == ShapeKind::circle) s.width = s.height = std::min(s.width, s.height);
  return Measured{s, std::nullopt, std::nullopt, false};
}

void ShapeNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  if (!ctx.drawing()) return;
  const Measured m = ctx.measure(*this, env, p);
  const Rect rect{origin.x, origin.y, m.size.width, m.size.height};
  const Paint& colour = mode == Mode::foreground ? ctx.env(env).foreground : paint;
  if (mode == Mode::stroke) {
    ctx.emit(StrokeShape{.rect = rect, .paint = colour, .shape = resolveShape(shape, rect), .stroke = style}, env);
  } else {
    ctx.emit(FillShape{.rect = rect, .paint = colour, .shape = resolveShape(shape, rect)}, env);
  }
}

}  // namespace korvel::ui
