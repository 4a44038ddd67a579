#pragma once
// Drawing helpers every Cairo backend shares: texts exactly as they were measured, symbols,
// and shape outlines.
#include <array>
#include <functional>
#include <vector>

#include <cairo.h>

#include "ui/display_list.h"
#include "ui/shape_path.h"

namespace korvel::ui {

using Rgba = std::array<double, 4>;  // 0..1, alpha already including the op's opacity

// Draws a text op (op.op == OpKind::text) at op.rect with Pango, laid out from the op's runs,
// wrap width and line limit exactly as layout measured it; `resolve` gives each run's colour.
void paintText(cairo_t* cr, const Op& op, const std::function<Rgba(const Paint&)>& resolve);

// Draws a symbol op's vector art into op.rect in one colour ("clock": a ring and two hands).
// Unknown names draw nothing.
void paintSymbol(cairo_t* cr, const Op& op, Rgba rgba);

// Appends an outline to the current Cairo path.
void tracePath(cairo_t* cr, const std::vector<PathSegment>& path);

}  // namespace korvel::ui
