#include "host/render/text_painter.h"

#include "host/render/safe_geometry.h"
#include "ui/pango/paint_text.h"

namespace korvel::host {

namespace {

ui::Rgba rgba(const ui::Paint& paint, Appearance appearance) {
  const Rgba c = resolve(paint, appearance);
  return {c.r, c.g, c.b, c.a};
}

}  // namespace

void paintTextOp(cairo_t* cr, const ui::Op& op, Appearance appearance) {
  ui::Op safe = op;
  safe.rect = safeRect(op.rect);
  safe.text.baseline = safeCoordinate(op.text.baseline);
  ui::paintText(cr, safe, [appearance](const ui::Paint& p) { return rgba(p, appearance); });
}

void paintSymbolOp(cairo_t* cr, const ui::Op& op, Appearance appearance) {
  ui::Op safe = op;
  safe.rect = safeRect(op.rect);
  ui::paintSymbol(cr, safe, rgba(op.paint, appearance));
}

}  // namespace korvel::host
