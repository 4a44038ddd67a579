#pragma once
// Measures texts with Pango and the project's fonts. One per process (see shared()); it keeps
// Pango's font map and context alive and is used from the drawing thread only.
#include <map>
#include <tuple>

#include "ui/text_measurer.h"

namespace korvel::ui {

class PangoTextMeasurer : public TextMeasurer {
 public:
  static const PangoTextMeasurer& shared();

  TextMetrics measure(const TextRequest& request) const override;
  LineMetrics lineMetrics(double size, Weight weight, Design design) const override;

 private:
  PangoTextMeasurer() = default;
  mutable std::map<std::tuple<double, Weight, Design>, LineMetrics> lineCache_;
};

}  // namespace korvel::ui
