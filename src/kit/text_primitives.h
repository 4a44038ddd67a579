#pragma once
// The small text views the faces are composed of. Each is a plain value that becomes a view.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "snapshot/records.h"
#include "ui/view.h"

namespace korvel {

// The longest side of any widget (a large one is 364 x 382 points).
inline constexpr double kLongestWidgetSide = 382;

// How many of `count` elements are laid out when each starts at least `pitch` after the one
// before (the spacing, plus for a row of text its font size: a line, even an empty one, is taller
// than its font size). From ceil(382 / pitch) on every element lies wholly outside the widget
// and would only be clipped; every one that can show is drawn, and a file may hold thousands.
std::size_t visibleCount(std::size_t count, double pitch);

// The big figure of a face with its unit; both shrink together on one line.
struct Hero {
  std::string value;
  std::string unit;
  double size = 32;
  ui::View body() const;
  operator ui::View() const { return body(); }  // NOLINT: usable directly in a stack
};

// One sentence with an optional emphasised lead, wrapping as one paragraph.
struct LineText {
  WeekLine line;
  int lines = 1;
  ui::View body() const;
  operator ui::View() const { return body(); }  // NOLINT
};

// A boxed figure with a caption and an optional fainter note.
struct Tile {
  std::string value;
  std::string label;
  std::optional<std::string> note;
  ui::View body() const;
  operator ui::View() const { return body(); }  // NOLINT
};

// Label/value rows, label at the leading edge and value at the trailing edge.
struct Facts {
  std::vector<WeekKV> facts;
  ui::View body() const;
  operator ui::View() const { return body(); }  // NOLINT
};

// A solid hairline, 1 point tall.
struct FaceRule {
  ui::View body() const;
  operator ui::View() const { return body(); }  // NOLINT
};

// A dashed rule along the top edge of a 1-point-tall area.
struct DashedRule {
  ui::View body() const;
  operator ui::View() const { return body(); }  // NOLINT
};

}  // namespace korvel
