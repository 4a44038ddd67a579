#include "ui/shape_path.h"

#include <algorithm>
#include <cmath>

namespace korvel::ui {

namespace {

constexpr double kArc = 0.5522847498307936;  // cubic control distance of a quarter circle
constexpr double kReach = 1.52866483;         // how far a continuous corner reaches along an edge

struct Corner {
  Point at;
  Point in, out;  // unit vectors from the corner back along the incoming edge / on along the outgoing one
};

Point along(const Corner& c, double a, double b, double r) {
  return Point{c.at.x + (a * c.in.x + b * c.out.x) * r, c.at.y + (a * c.in.y + b * c.out.y) * r};
}

void line(std::vector<PathSegment>& p, Point to) { p.push_back({PathSegment::Kind::line, to, {}, {}}); }
void curve(std::vector<PathSegment>& p, Point to, Point c1, Point c2) { p.push_back({PathSegment::Kind::curve, to, c1, c2}); }

// One corner, entered on the incoming edge, left on the outgoing one.
void corner(std::vector<PathSegment>& p, const Corner& c, double r, bool continuous) {
  if (r <= 0) {
    line(p, c.at);
    return;
  }
  if (!continuous) {
    line(p, along(c, 1, 0, r));
    curve(p, along(c, 0, 1, r), along(c, 1 - kArc, 0, r), along(c, 0, 1 - kArc, r));
    return;
  }
  line(p, along(c, kReach, 0, r));
  curve(p, along(c, 0.66993427, 0.06549600, r), along(c, 1.08849323, 0, r), along(c, 0.86840689, 0, r));
  line(p, along(c, 0.63149399, 0.07491100, r));
  curve(p, along(c, 0.07491176, 0.63149399, r), along(c, 0.37282392, 0.16905899, r), along(c, 0.16906013, 0.37282401, r));
  curve(p, along(c, 0, kReach, r), along(c, 0, 0.86840701, r), along(c, 0, 1.08849299, r));
}

double finite(double v) { return std::isfinite(v) ? v : 0; }

}  // namespace

std::vector<PathSegment> roundedRectOutline(Rect f, CornerRadii radii, CornerStyle style) {
  const double w = std::max(0.0, finite(f.width)), h = std::max(0.0, finite(f.height));
  const double x0 = finite(f.x), y0 = finite(f.y), x1 = x0 + w, y1 = y0 + h;
  const double half = std::min(w, h) / 2;
  // Clockwise from the top-leading corner: top-trailing, bottom-trailing, bottom-leading, top-leading.
  const Corner corners[4] = {
      {{x1, y0}, {-1, 0}, {0, 1}},
      {{x1, y1}, {0, -1}, {-1, 0}},
      {{x0, y1}, {1, 0}, {0, -1}},
      {{x0, y0}, {0, 1}, {1, 0}},
  };
  const double r[4] = {radii[1], radii[2], radii[3], radii[0]};
  double radius[4];
  bool continuous[4];
  for (int i = 0; i < 4; ++i) {
    const double ri = std::clamp(std::isnan(r[i]) ? 0.0 : r[i], 0.0, half);
    continuous[i] = style == CornerStyle::continuous && ri < half;
    radius[i] = continuous[i] ? std::min(ri, half / kReach) : ri;
  }
  std::vector<PathSegment> p;
  const double startReach = continuous[3] ? kReach : 1;
  p.push_back({PathSegment::Kind::move, along(corners[3], 0, startReach, radius[3]), {}, {}});
  for (int i = 0; i < 4; ++i) corner(p, corners[i], radius[i], continuous[i]);
  p.push_back({PathSegment::Kind::close, {}, {}, {}});
  return p;
}

std::vector<PathSegment> shapeOutline(Rect frame, const ShapeGeometry& shape) {
  switch (shape.kind) {
    case ShapeKind::rect: return roundedRectOutline(frame, {0, 0, 0, 0}, CornerStyle::circular);
    case ShapeKind::roundedRect: return roundedRectOutline(frame, shape.radii, shape.corners);
    case ShapeKind::capsule: {
      const double half = std::min(frame.width, frame.height) / 2;
      return roundedRectOutline(frame, {half, half, half, half}, CornerStyle::circular);
    }
    case ShapeKind::circle: {
      const double d = std::min(frame.width, frame.height);
      const Rect sq{frame.x + (frame.width - d) / 2, frame.y + (frame.height - d) / 2, d, d};
      return roundedRectOutline(sq, {d / 2, d / 2, d / 2, d / 2}, CornerStyle::circular);
    }
    case ShapeKind::path: {
      std::vector<PathSegment> p;
      for (std::size_t i = 0; i < shape.points.size(); ++i)
        p.push_back({i == 0 ? PathSegment::Kind::move : PathSegment::Kind::line, shape.points[i], {}, {}});
      if (shape.closed && !p.empty()) p.push_back({PathSegment::Kind::close, {}, {}, {}});
      return p;
    }
  }
  return {};
}

}  // namespace korvel::ui
