#include "host/render/shape_path.h"

#include "host/render/safe_geometry.h"
#include "ui/pango/paint_text.h"
#include "ui/shape_path.h"

namespace korvel::host {

void appendShapePath(cairo_t* cr, const ui::ShapeGeometry& shape, ui::Rect frame) {
  // The toolkit's outline is the one layout and every backend share; only the numbers are
  // made safe for Cairo here.
  ui::ShapeGeometry safe = shape;
  for (double& r : safe.radii) r = safeLength(r);
  for (ui::Point& p : safe.points) p = safePoint(p);
  ui::tracePath(cr, ui::shapeOutline(safeRect(frame), safe));
}

}  // namespace korvel::host
