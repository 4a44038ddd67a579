#include "ui/pango/pango_text_measurer.h"

#include "ui/pango/text_layout.h"

namespace korvel::ui {

const PangoTextMeasurer& PangoTextMeasurer::shared() {
  static const PangoTextMeasurer instance;
  return instance;
}

TextMetrics PangoTextMeasurer::measure(const TextRequest& request) const {
  return pango::buildText(request, nullptr).metrics;
}

// Line height and baseline of the font, cap height from the ink of "H".
LineMetrics PangoTextMeasurer::lineMetrics(double size, Weight weight, Design design) const {
  const auto key = std::make_tuple(size, weight, design);
  if (auto it = lineCache_.find(key); it != lineCache_.end()) return it->second;
  TextRequest r;
  r.runs.push_back(TextRunStyle{"H", size, weight, design, false, Paint{}});
  pango::BuiltText t = pango::buildText(r, nullptr);
  PangoRectangle ink;
  pango_layout_get_extents(t.full.get(), &ink, nullptr);
  LineMetrics m{t.metrics.size.height, t.metrics.firstBaseline, t.metrics.firstBaseline - ink.y / double(PANGO_SCALE)};
  lineCache_.emplace(key, m);
  return m;
}

}  // namespace korvel::ui
