#include "host/render/cairo_painter.h"

#include <cmath>
#include <variant>
#include <vector>

#include "host/render/shape_path.h"
#include "host/render/text_painter.h"

namespace korvel::host {

namespace {

void setSource(cairo_t* cr, const ui::Paint& paint, Appearance appearance) {
  const Rgba c = resolve(paint, appearance);
  cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

cairo_line_cap_t cap(ui::LineCap c) {
  switch (c) {
    case ui::LineCap::butt: return CAIRO_LINE_CAP_BUTT;
    case ui::LineCap::round: return CAIRO_LINE_CAP_ROUND;
    case ui::LineCap::square: return CAIRO_LINE_CAP_SQUARE;
  }
  return CAIRO_LINE_CAP_BUTT;
}

cairo_line_join_t join(ui::LineJoin j) {
  switch (j) {
    case ui::LineJoin::miter: return CAIRO_LINE_JOIN_MITER;
    case ui::LineJoin::round: return CAIRO_LINE_JOIN_ROUND;
    case ui::LineJoin::bevel: return CAIRO_LINE_JOIN_BEVEL;
  }
  return CAIRO_LINE_JOIN_MITER;
}

// The stroke as the layout left it: within the toolkit's limits, with a dash pattern only when
// one of its entries has a length (Cairo stops drawing for good on any other).
void setStroke(cairo_t* cr, const ui::StrokeStyle& s) {
  cairo_set_line_width(cr, s.lineWidth);
  cairo_set_line_cap(cr, cap(s.lineCap));
  cairo_set_line_join(cr, join(s.lineJoin));
  cairo_set_miter_limit(cr, s.miterLimit);
  cairo_set_dash(cr, s.dash.empty() ? nullptr : s.dash.data(), static_cast<int>(s.dash.size()),
                 s.dashPhase);
}

// One visitor per drawing: clips opened by the list are counted, so that an unmatched PopClip
// never pops the caller's state and clips left open are closed at the end.
struct Painter {
  cairo_t* cr;
  Appearance appearance;
  int clips = 0;

  void shapePath(const ui::ShapeGeometry& shape, const ui::Rect& rect) const {
    cairo_new_path(cr);
    appendShapePath(cr, shape, rect);
  }
  void operator()(const ui::FillShape& op) const {
    shapePath(op.shape, op.rect);
    setSource(cr, op.paint, appearance);
    cairo_fill(cr);
  }
  void operator()(const ui::StrokeShape& op) const {
    shapePath(op.shape, op.rect);
    setSource(cr, op.paint, appearance);
    setStroke(cr, op.stroke);
    cairo_stroke(cr);
  }
  void operator()(const ui::PushClip& op) {
    cairo_save(cr);
    ++clips;
    shapePath(op.shape, op.rect);
    cairo_clip(cr);
  }
  void operator()(const ui::PopClip&) {
    if (clips == 0) return;
    cairo_restore(cr);
    --clips;
  }
  void operator()(const ui::DrawText& op) const { paintText(cr, op, appearance); }
  void operator()(const ui::DrawSymbol& op) const { paintSymbol(cr, op, appearance); }
};

}  // namespace

void paintDisplayList(cairo_t* cr, const ui::DisplayList& list, Appearance appearance) {
  cairo_save(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
  Painter painter{cr, appearance};
  for (const ui::Op& op : list.ops) std::visit(painter, op);
  while (painter.clips-- > 0) cairo_restore(cr);
  cairo_restore(cr);
}

}  // namespace korvel::host
