#pragma once
// Where a placed widget sits on the desktop: `@ANCHOR+X+Y` after its KIND:FAMILY, an anchor
// (a corner, an edge's middle, or the centre of the screen) and margins in points from the
// anchored edges. Hosts that place surfaces themselves (the layer host) read it; the player and
// the window ignore it.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "ui/geometry.h"

namespace korvel::host {

enum class Anchor {
  topLeft, top, topRight, left, center, right, bottomLeft, bottom, bottomRight
};

// "top-left", "top", ..., "bottom-right".
std::string_view anchorName(Anchor anchor);
std::optional<Anchor> anchorFromName(std::string_view name);

struct PlacementPosition {
  Anchor anchor = Anchor::topLeft;
  int x = 0;  // from the left or right edge, where the anchor has one
  int y = 0;  // from the top or bottom edge, where the anchor has one
  bool operator==(const PlacementPosition&) const = default;
};

// "top-right+24+24", "center", "bottom+0+40": the margins are whole points from 0 to
// kMaxMargin, both or neither. An error is invalid, with no place.
inline constexpr int kMaxMargin = 10000;
Result<PlacementPosition> parsePosition(std::string_view text);

// "top-right+24+24".
std::string positionText(const PlacementPosition& position);

// The edges a surface is pinned to, as the layer shell numbers them (top 1, bottom 2, left 4,
// right 8), and its margins in the order top, right, bottom, left.
struct EdgeMargins {
  unsigned edges = 0;
  std::array<int, 4> margins{};
  bool operator==(const EdgeMargins&) const = default;
};

EdgeMargins edgeMargins(const PlacementPosition& position);

// Where widgets without a position go: side by side from the top-left corner, `gap` points
// apart and from the edges, a new row where the next one would pass `width` (0: one row).
std::vector<PlacementPosition> flowPositions(const std::vector<ui::Size>& sizes, double width,
                                             int gap);

}  // namespace korvel::host
