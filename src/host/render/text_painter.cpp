#include "host/render/text_painter.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "host/render/product_fonts.h"
#include "ui/utf8.h"

namespace korvel::host {

namespace {

bool holdsNoncharacter(const char* text, int length) {
  for (const char* p = text; p < text + length; p = g_utf8_next_char(p)) {
    if (ui::isNoncharacter(g_utf8_get_char(p))) return true;
  }
  return false;
}

// Cairo's PDF surface keeps each line's text beside its glyphs (for search and copy) and
// refuses text holding a Unicode noncharacter (U+FDD0, U+FFFE ...) as invalid. Such a line is
// drawn as its glyphs alone, run by run in the runs' colours, the way every surface takes it.
void showGlyphsOnly(cairo_t* cr, PangoLayoutLine* line) {
  double x = 0, y = 0;
  cairo_get_current_point(cr, &x, &y);
  for (GSList* l = line->runs; l; l = l->next) {
    auto* run = static_cast<PangoGlyphItem*>(l->data);
    double rgba[4] = {0, 0, 0, 1};
    for (GSList* a = run->item->analysis.extra_attrs; a; a = a->next) {
      const auto* attr = static_cast<const PangoAttribute*>(a->data);
      if (attr->klass->type == PANGO_ATTR_FOREGROUND) {
        const PangoColor& c = reinterpret_cast<const PangoAttrColor*>(attr)->color;
        rgba[0] = c.red / 65535.0, rgba[1] = c.green / 65535.0, rgba[2] = c.blue / 65535.0;
      } else if (attr->klass->type == PANGO_ATTR_FOREGROUND_ALPHA) {
        rgba[3] = reinterpret_cast<const PangoAttrInt*>(attr)->value / 65535.0;
      }
    }
    cairo_set_source_rgba(cr, rgba[0], rgba[1], rgba[2], rgba[3]);
    cairo_move_to(cr, x, y);
    pango_cairo_show_glyph_string(cr, run->item->analysis.font, run->glyphs);
    x += pango_glyph_string_get_width(run->glyphs) / static_cast<double>(PANGO_SCALE);
  }
}

}  // namespace

void paintText(cairo_t* cr, const ui::DrawText& op, const ui::pango::ColourFn& colours) {
  if (op.text.runs.empty()) return;
  ui::TextRequest r;
  r.runs = op.text.runs;
  if (std::isfinite(op.text.wrapWidth)) r.width = op.text.wrapWidth;
  r.lineLimit = op.text.lineLimit;
  const ui::pango::BuiltText t = ui::pango::buildText(r, &colours);
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
    if (cairo_surface_has_show_text_glyphs(cairo_get_target(cr)) &&
        holdsNoncharacter(pango_layout_get_text(line.layout) + l->start_index, l->length)) {
      showGlyphsOnly(cr, l);
    } else {
      pango_cairo_show_layout_line(cr, l);
    }
  }
  cairo_restore(cr);
}

void paintText(cairo_t* cr, const ui::DrawText& op, Appearance appearance) {
  useProductFonts();  // a list made by hand may reach here before any text was measured
  paintText(cr, op, [appearance](const ui::Paint& p) {
    const Rgba c = resolve(p, appearance);
    return std::array<double, 4>{c.r, c.g, c.b, c.a};
  });
}

namespace {

// A ring and two hands at ten past: the minute hand up, the hour hand towards three.
void paintClock(cairo_t* cr, const ui::Rect& rect) {
  const double s = std::min(rect.width, rect.height);
  if (!(s > 0)) return;
  const double cx = rect.x + rect.width / 2, cy = rect.y + rect.height / 2;
  const double lw = s * 0.085;
  cairo_set_line_width(cr, lw);
  cairo_new_path(cr);
  cairo_arc(cr, cx, cy, s / 2 - lw / 2, 0, 2 * M_PI);
  cairo_stroke(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_move_to(cr, cx, cy - s * 0.29);
  cairo_line_to(cr, cx, cy);
  cairo_line_to(cr, cx + s * 0.2, cy);
  cairo_stroke(cr);
}

}  // namespace

void paintSymbol(cairo_t* cr, const ui::DrawSymbol& op, Appearance appearance) {
  if (op.name != "clock") return;
  const Rgba c = resolve(op.paint, appearance);
  cairo_save(cr);
  cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
  paintClock(cr, op.rect);
  cairo_restore(cr);
}

}  // namespace korvel::host
