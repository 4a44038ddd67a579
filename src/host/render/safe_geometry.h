#pragma once
// Cairo works in 24.8 fixed point and goes into a sticky error state on NaN; everything a
// display list hands a backend passes through these clamps first.
#include <algorithm>
#include <cmath>

#include "ui/geometry.h"

namespace korvel::host {

// Far beyond any widget (the largest is 364 x 382 points) yet well inside Cairo's range at
// every allowed scale.
inline constexpr double kMaxCoordinate = 100000;

inline double safeCoordinate(double v) {
  if (std::isnan(v)) return 0;
  return std::clamp(v, -kMaxCoordinate, kMaxCoordinate);
}

inline double safeLength(double v) {
  if (std::isnan(v)) return 0;
  return std::clamp(v, 0.0, kMaxCoordinate);
}

inline ui::Point safePoint(ui::Point p) { return {safeCoordinate(p.x), safeCoordinate(p.y)}; }

// Negative sizes draw nothing rather than a mirrored shape.
inline ui::Rect safeRect(ui::Rect r) {
  return {safeCoordinate(r.x), safeCoordinate(r.y), safeLength(r.width), safeLength(r.height)};
}

}  // namespace korvel::host
