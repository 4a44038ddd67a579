#pragma once
// Turns a text request into Pango layouts; measuring and drawing share it so a text is drawn
// exactly as it was measured.
//
// Pango limits lines per paragraph, not per text, so a cut text is built from two layouts:
// the full text (only its first lines are drawn) and the last kept line on its own, laid out
// from the rest of its paragraph with an end ellipsis.
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include <pango/pangocairo.h>

#include "ui/text_measurer.h"

namespace korvel::ui::pango {

struct GObjectUnref {
  void operator()(void* p) const { g_object_unref(p); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, GObjectUnref>;

// One drawn line: the layout it belongs to, its index there, and where it goes relative to
// the text's top-leading corner.
struct DrawnLine {
  PangoLayout* layout;
  int index;
  double x, baseline;
};

struct BuiltText {
  LayoutPtr full;
  LayoutPtr tail;  // set only when the text was cut
  std::vector<DrawnLine> lines;
  TextMetrics metrics;
};

using ColourFn = std::function<std::array<double, 4>(const Paint&)>;

// The process's one font map and context (hinting off, unrounded positions): measuring is
// the same at every drawing scale.
PangoContext* sharedContext();

// `colours` null: measuring only (no colour attributes).
BuiltText buildText(const TextRequest& request, const ColourFn* colours);

}  // namespace korvel::ui::pango
