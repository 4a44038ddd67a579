#pragma once
// The small text views the faces are composed of. Each is a plain value that becomes a view.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "snapshot/records.h"
#include "ui/view.h"

namespace korvel {

// The most rows of one list a face draws. The tallest widget has 350 points of content, room for
// about 20 of the shortest rows (an 11-point line and 3 points of spacing); rows beyond would
// only be laid out to be clipped, and a file may hold thousands.
inline constexpr std::size_t kMaxListRows = 24;

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
