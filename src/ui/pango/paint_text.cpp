#include "ui/pango/paint_text.h"

#include <algorithm>
#include <cmath>

#include "ui/pango/text_layout.h"

namespace korvel::ui {

void paintText(cairo_t* cr, const Op& op, const std::function<Rgba(const Paint&)>& resolve) {
  if (op.op != OpKind::text || op.text.runs.empty()) return;
  TextRequest r;
  r.runs = op.text.runs;
  if (std::isfinite(op.text.wrapWidth)) r.width = op.text.wrapWidth;
  r.lineLimit = op.text.lineLimit;
  const pango::ColourFn colours = resolve;
  const pango::BuiltText t = pango::buildText(r, &colours);
  cairo_save(cr);
  // Ink stays within the frame grown by one descent of the font on every side: room for the
  // double accents of real scripts (a ring and an acute over a capital) and for overhanging
  // glyphs; a base stacked with a hundred marks is cut there instead of running over the texts
  // around it.
  const double d = std::max(0.0, t.metrics.size.height - t.metrics.lastBaseline);
  cairo_rectangle(cr, op.rect.x - d, op.rect.y - d, op.rect.width + 2 * d, op.rect.height + 2 * d);
  cairo_clip(cr);
  for (const auto& line : t.lines) {
    PangoLayoutLine* l = pango_layout_get_line_readonly(line.layout, line.index);
    if (!l) continue;
    cairo_move_to(cr, op.rect.x + line.x, op.rect.y + line.baseline);
    pango_cairo_show_layout_line(cr, l);
  }
  cairo_restore(cr);
}

void paintSymbol(cairo_t* cr, const Op& op, Rgba c) {
  if (op.symbol != "clock") return;
  const double s = std::min(op.rect.width, op.rect.height);
  if (!(s > 0)) return;
  const double cx = op.rect.x + op.rect.width / 2, cy = op.rect.y + op.rect.height / 2;
  const double lw = s * 0.085;
  cairo_save(cr);
  cairo_set_source_rgba(cr, c[0], c[1], c[2], c[3]);
  cairo_set_line_width(cr, lw);
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, s / 2 - lw / 2, 0, 2 * M_PI);
  cairo_stroke(cr);
  // Hands at ten past: the minute hand up, the hour hand towards three.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_move_to(cr, cx, cy - s * 0.29);
  cairo_line_to(cr, cx, cy);
  cairo_line_to(cr, cx + s * 0.2, cy);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void tracePath(cairo_t* cr, const std::vector<PathSegment>& path) {
  for (const auto& s : path) {
    switch (s.kind) {
      case PathSegment::Kind::move: cairo_move_to(cr, s.to.x, s.to.y); break;
      case PathSegment::Kind::line: cairo_line_to(cr, s.to.x, s.to.y); break;
      case PathSegment::Kind::curve: cairo_curve_to(cr, s.c1.x, s.c1.y, s.c2.x, s.c2.y, s.to.x, s.to.y); break;
      case PathSegment::Kind::close: cairo_close_path(cr); break;
    }
  }
}

}  // namespace korvel::ui
