#include "host/render/shape_path.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "host/render/safe_geometry.h"

namespace korvel::host {

namespace {

struct Vec {
  double x, y;
};

// One corner seen from the outline walking clockwise: `incoming` runs along the edge into the
// corner, `outgoing` along the edge leaving it. at(a, b) is `a` back along the incoming edge
// and `b` forward along the outgoing one.
struct Corner {
  Vec point, incoming, outgoing;
  Vec at(double a, double b) const {
    return {point.x - a * incoming.x + b * outgoing.x, point.y - a * incoming.y + b * outgoing.y};
  }
};

// Continuous corners: the curvature ramps up and down instead of jumping as a circular arc
// does, so a corner of radius r reaches 1.52866 r along each edge. These are the commonly used
// cubic approximations of that profile.
constexpr double kContinuousExtent = 1.52866483;
constexpr double kArcHandle = 0.55228475;  // cubic approximation of a quarter circle

void curveTo(cairo_t* cr, Vec c1, Vec c2, Vec end) {
  cairo_curve_to(cr, c1.x, c1.y, c2.x, c2.y, end.x, end.y);
}

void continuousCorner(cairo_t* cr, const Corner& k, double r) {
  auto at = [&](double a, double b) { return k.at(a * r, b * r); };
  const Vec start = at(kContinuousExtent, 0);
  cairo_line_to(cr, start.x, start.y);
  curveTo(cr, at(1.08849323, 0), at(0.86840689, 0), at(0.66993427, 0.06549600));
  const Vec l1 = at(0.63149399, 0.07491100);
  cairo_line_to(cr, l1.x, l1.y);
  curveTo(cr, at(0.37282392, 0.16905899), at(0.16906013, 0.37282401), at(0.07491176, 0.63149399));
  const Vec l2 = at(0.06549569, 0.66993493);
  cairo_line_to(cr, l2.x, l2.y);
  curveTo(cr, at(0, 0.86840701), at(0, 1.08849299), at(0, kContinuousExtent));
}

void circularCorner(cairo_t* cr, const Corner& k, double r) {
  const Vec start = k.at(r, 0);
  cairo_line_to(cr, start.x, start.y);
  if (r <= 0) return;
  curveTo(cr, k.at(r * (1 - kArcHandle), 0), k.at(0, r * (1 - kArcHandle)), k.at(0, r));
}

void roundedRect(cairo_t* cr, ui::Rect f, ui::CornerRadii radii, ui::CornerStyle style) {
  const double half = std::min(f.width, f.height) / 2;
  const std::array<Corner, 4> corners{{
      {{f.x, f.y}, {0, -1}, {1, 0}},                      // top leading
      {{f.x + f.width, f.y}, {1, 0}, {0, 1}},             // top trailing
      {{f.x + f.width, f.y + f.height}, {0, 1}, {-1, 0}}, // bottom trailing
      {{f.x, f.y + f.height}, {-1, 0}, {0, -1}},          // bottom leading
  }};
  cairo_new_sub_path(cr);
  bool first = true;
  for (std::size_t i = 0; i < 4; ++i) {
    const double r = std::clamp(safeLength(radii[i]), 0.0, half);
    const Corner& k = corners[i];
    // A continuous corner needs 1.53 r of edge; where that does not fit, a circular arc of the
    // same radius keeps the shape inside its frame.
    const bool continuous = style == ui::CornerStyle::continuous && r * kContinuousExtent <= half;
    const Vec start = k.at(continuous ? r * kContinuousExtent : r, 0);
    if (first) cairo_move_to(cr, start.x, start.y);
    first = false;
    if (continuous) {
      continuousCorner(cr, k, r);
    } else {
      circularCorner(cr, k, r);
    }
  }
  cairo_close_path(cr);
}

}  // namespace

void appendShapePath(cairo_t* cr, const ui::ShapeGeometry& shape, ui::Rect frame) {
  const ui::Rect f = safeRect(frame);
  switch (shape.kind) {
    case ui::ShapeKind::rect:
      cairo_rectangle(cr, f.x, f.y, f.width, f.height);
      return;
    case ui::ShapeKind::roundedRect:
      roundedRect(cr, f, shape.radii, shape.corners);
      return;
    case ui::ShapeKind::capsule: {
      const double r = std::min(f.width, f.height) / 2;
      roundedRect(cr, f, {r, r, r, r}, ui::CornerStyle::circular);
      return;
    }
    case ui::ShapeKind::circle: {
      const double r = std::min(f.width, f.height) / 2;
      cairo_new_sub_path(cr);
      cairo_arc(cr, f.x + f.width / 2, f.y + f.height / 2, r, 0, 2 * M_PI);
      cairo_close_path(cr);
      return;
    }
    case ui::ShapeKind::path: {
      if (shape.points.empty()) return;
      cairo_new_sub_path(cr);
      for (const ui::Point& raw : shape.points) {
        const ui::Point p = safePoint(raw);
        cairo_line_to(cr, p.x, p.y);  // the first line_to of a sub-path acts as a move
      }
      if (shape.closed) cairo_close_path(cr);
      return;
    }
  }
}

}  // namespace korvel::host
