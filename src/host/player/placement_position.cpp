#include "host/player/placement_position.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace korvel::host {

namespace {

constexpr std::array<std::pair<Anchor, std::string_view>, 9> kAnchorNames{{
    {Anchor::topLeft, "top-left"}, {Anchor::top, "top"}, {Anchor::topRight, "top-right"},
    {Anchor::left, "left"}, {Anchor::center, "center"}, {Anchor::right, "right"},
    {Anchor::bottomLeft, "bottom-left"}, {Anchor::bottom, "bottom"},
    {Anchor::bottomRight, "bottom-right"},
}};

std::string anchorList() {
  std::string out;
  for (const auto& [anchor, text] : kAnchorNames) {
    if (!out.empty()) out += ", ";
    out += text;
  }
  return out;
}

std::optional<int> margin(std::string_view text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 0 ||
      value > kMaxMargin) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::string_view anchorName(Anchor anchor) {
  for (const auto& [a, text] : kAnchorNames) {
    if (a == anchor) return text;
  }
  return "top-left";
}

std::optional<Anchor> anchorFromName(std::string_view name) {
  for (const auto& [a, text] : kAnchorNames) {
    if (text == name) return a;
  }
  return std::nullopt;
}

Result<PlacementPosition> parsePosition(std::string_view text) {
  const auto plus = text.find('+');
  const std::string_view anchorText = text.substr(0, plus);
  const auto anchor = anchorFromName(anchorText);
  if (!anchor) {
    return Error{ErrorKind::invalid, "",
                 "no anchor \"" + std::string(anchorText) + "\"; the anchors are " + anchorList()};
  }
  PlacementPosition position{*anchor, 0, 0};
  if (plus == std::string_view::npos) return position;
  const std::string_view rest = text.substr(plus + 1);
  const auto second = rest.find('+');
  const auto x = margin(rest.substr(0, second));
  const auto y = second == std::string_view::npos ? std::nullopt : margin(rest.substr(second + 1));
  if (!x || !y) {
    return Error{ErrorKind::invalid, "",
                 "margins \"+" + std::string(rest) + "\" are not +X+Y, whole points from 0 to " +
                     std::to_string(kMaxMargin)};
  }
  position.x = *x;
  position.y = *y;
  return position;
}

std::string positionText(const PlacementPosition& position) {
  return std::string(anchorName(position.anchor)) + "+" + std::to_string(position.x) + "+" +
         std::to_string(position.y);
}

EdgeMargins edgeMargins(const PlacementPosition& p) {
  constexpr unsigned top = 1, bottom = 2, left = 4, right = 8;
  const auto index = static_cast<int>(p.anchor);
  const int row = index / 3, column = index % 3;  // the anchors in reading order
  EdgeMargins out;
  if (row == 0) out.edges |= top, out.margins[0] = p.y;
  if (row == 2) out.edges |= bottom, out.margins[2] = p.y;
  if (column == 0) out.edges |= left, out.margins[3] = p.x;
  if (column == 2) out.edges |= right, out.margins[1] = p.x;
  return out;
}

std::vector<PlacementPosition> flowPositions(const std::vector<ui::Size>& sizes, double width,
                                             int gap) {
  std::vector<PlacementPosition> out;
  int x = gap, y = gap, rowHeight = 0;
  for (const ui::Size& size : sizes) {
    const int w = static_cast<int>(std::ceil(size.width));
    const int h = static_cast<int>(std::ceil(size.height));
    if (width > 0 && x > gap && x + w + gap > width) {  // the first of a row always fits
      x = gap;
      y += rowHeight + gap;
      rowHeight = 0;
    }
    out.push_back({Anchor::topLeft, x, y});
    x += w + gap;
    rowHeight = std::max(rowHeight, h);
  }
  return out;
}

}  // namespace korvel::host
