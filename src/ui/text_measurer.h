#pragma once
// Text measuring is handed to layout, never reached for: a fake for layout tests, Pango for
// real drawing. Both answer the same question for the same resolved runs.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "ui/display_list.h"
#include "ui/geometry.h"
#include "ui/limits.h"

namespace korvel::ui {

inline constexpr const char* kEllipsis = "\xE2\x80\xA6";  // U+2026

struct TextRequest {
  std::vector<TextRunStyle> runs;  // resolved; colours do not affect measuring
  std::optional<double> width;     // none: ideal (only explicit line breaks)
  std::optional<double> maxHeight; // none: unbounded; lines that do not fit are cut (>= 1 line)
  int lineLimit = 0;               // 0: no limit; counted across explicit line breaks
};

struct TextMetrics {
  Size size;                 // widest line used x height of the visible lines
  double firstBaseline = 0;  // from the top of the text
  double lastBaseline = 0;
  int lines = 0;             // lines drawn
  std::string shown;         // visible lines joined by '\n', ending in U+2026 when cut
  bool truncated = false;
  int appliedLineLimit = 0;  // the line count the text was cut to (0: not cut)
};

// Metrics of one line of a font: what a symbol sized like text needs.
struct LineMetrics {
  double height = 0;     // line height
  double baseline = 0;   // from the line's top
  double capHeight = 0;
};

class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  virtual TextMetrics measure(const TextRequest& request) const = 0;
  virtual LineMetrics lineMetrics(double size, Weight weight, Design design) const = 0;
};

// Deterministic measurer for layout tests: every visible code point advances size * 0.5
// (combining marks, joiners and variation selectors add nothing), a line is 1.2 * the largest
// size on it with its baseline at 0.9 * that size; words wrap at spaces, words longer than a
// line break between characters, cut text ends in an ellipsis at the tail.
class FakeTextMeasurer : public TextMeasurer {
 public:
  TextMetrics measure(const TextRequest& request) const override;
  LineMetrics lineMetrics(double size, Weight weight, Design design) const override;
};

}  // namespace korvel::ui
