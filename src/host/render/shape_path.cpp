#include "host/render/shape_path.h"

#include <vector>

#include "ui/shape_path.h"

namespace korvel::host {

namespace {

void tracePath(cairo_t* cr, const std::vector<ui::PathSegment>& path) {
  using Kind = ui::PathSegment::Kind;
  for (const auto& s : path) {
    switch (s.kind) {
      case Kind::move: cairo_move_to(cr, s.to.x, s.to.y); break;
      case Kind::line: cairo_line_to(cr, s.to.x, s.to.y); break;
      case Kind::curve: cairo_curve_to(cr, s.c1.x, s.c1.y, s.c2.x, s.c2.y, s.to.x, s.to.y); break;
      case Kind::close: cairo_close_path(cr); break;
    }
  }
}

}  // namespace

void appendShapePath(cairo_t* cr, const ui::ShapeGeometry& shape, ui::Rect frame) {
  // The toolkit's outline is the one layout and every backend share.
  tracePath(cr, ui::shapeOutline(frame, shape));
}

}  // namespace korvel::host
