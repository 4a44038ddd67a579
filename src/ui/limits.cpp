#include "ui/limits.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace korvel::ui {

double clampLength(double v, double fallback) {
  if (std::isnan(v)) return fallback;
  return std::clamp(v, 0.0, kMaxLength);
}

double clampCoordinate(double v) {
  if (std::isnan(v)) return 0;
  return std::clamp(v, -kMaxLength, kMaxLength);
}

double clampFontSize(double size) {
  return std::isnan(size) ? kMinFontSize : std::clamp(size, kMinFontSize, kMaxFontSize);
}

namespace {

void clampFrame(Rect& r) {
  r.x = clampCoordinate(r.x);
  r.y = clampCoordinate(r.y);
  r.width = clampLength(r.width);
  r.height = clampLength(r.height);
}

void clampShape(ShapeGeometry& shape, const Rect& frame) {
  for (auto& r : shape.radii) r = std::min(clampLength(r), std::min(frame.width, frame.height) / 2);
  if (shape.points.size() > kMaxPathPoints) shape.points.resize(kMaxPathPoints);
  for (auto& pt : shape.points) {
    pt.x = clampCoordinate(pt.x);
    pt.y = clampCoordinate(pt.y);
  }
}

void clampStroke(StrokeStyle& s) {
  s.lineWidth = std::min(clampLength(s.lineWidth), kMaxLineWidth);
  s.miterLimit = std::clamp(std::isnan(s.miterLimit) ? 10.0 : s.miterLimit, 1.0, kMaxMiterLimit);
  s.dashPhase = clampCoordinate(s.dashPhase);
  if (s.dash.size() > kMaxDashes) s.dash.resize(kMaxDashes);
  bool any = false;
  for (auto& d : s.dash) {
    d = clampLength(d);
    any = any || d > 0;
  }
  if (!any) s.dash.clear();  // an all-zero dash pattern is invalid for every backend
}

}  // namespace

void clampOp(Op& op) {
  std::visit(
      [](auto& o) {
        using T = std::remove_cvref_t<decltype(o)>;
        clampFrame(o.rect);
        if constexpr (requires { o.shape; }) clampShape(o.shape, o.rect);
        if constexpr (std::is_same_v<T, StrokeShape>) clampStroke(o.stroke);
        if constexpr (std::is_same_v<T, DrawText>) {
          o.text.baseline = clampCoordinate(o.text.baseline);
          for (auto& run : o.text.runs) run.size = std::isnan(run.size) ? 0 : std::clamp(run.size, 0.0, kMaxFontSize);
          double& wrap = o.text.wrapWidth;
          wrap = std::isnan(wrap) ? kInfinity : std::isfinite(wrap) ? clampLength(wrap) : wrap;
        }
      },
      op);
}

}  // namespace korvel::ui
