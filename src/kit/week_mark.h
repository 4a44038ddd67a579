#pragma once
// The logo mark: a leaf drawn as one simple polygon of 129 points, scaled and centred into
// whatever frame it is given. Callers fill it with lime in an 8 by 12 point frame.
#include <string_view>
#include <vector>

#include "ui/geometry.h"
#include "ui/view.h"

namespace korvel {

// 129 "x y" pairs in drawing order, y growing downwards; the first point is not repeated.
inline constexpr std::string_view markOutline =
#include "kit/mark_outline.inc"
    ;

// The points' bounding box, fixed with the artwork rather than computed from it.
inline constexpr ui::Rect markBounds{324, 216, 401.5, 591};

// Reads an outline text: pieces split at spaces (empty ones dropped), each parsed as a decimal
// (a piece that is not a finite number is skipped), then taken in pairs; an odd number left over
// is ignored.
std::vector<ui::Point> parseMarkOutline(std::string_view text);

// markOutline parsed once per process; safe to reach from several threads at once.
const std::vector<ui::Point>& markPoints();

struct WeekMark {
  // The outline scaled uniformly to fit `rect` and centred in it. A rect without area (or with a
  // negative or non-finite side) collapses the mark to the rect's centre.
  static std::vector<ui::Point> path(ui::Rect rect);
  // The mark as a closed path shape for views.
  static ui::Shape shape();
};

}  // namespace korvel
