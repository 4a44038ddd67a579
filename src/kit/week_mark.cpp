#include "kit/week_mark.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace korvel {

std::vector<ui::Point> parseMarkOutline(std::string_view text) {
  std::vector<double> numbers;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find(' ', pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view piece = text.substr(pos, end - pos);
    pos = end + 1;
    if (piece.empty()) continue;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
    // The whole piece must be the number; "nan" and "inf" parse but have no place in an outline.
    if (ec != std::errc{} || ptr != piece.data() + piece.size() || !std::isfinite(value)) continue;
    numbers.push_back(value);
  }
  std::vector<ui::Point> points;
  points.reserve(numbers.size() / 2);
  for (std::size_t i = 0; i + 1 < numbers.size(); i += 2) {
    points.push_back({numbers[i], numbers[i + 1]});
  }
  return points;
}

const std::vector<ui::Point>& markPoints() {
  // A function-local static: initialised once, and the language makes that thread-safe.
  static const std::vector<ui::Point> points = parseMarkOutline(markOutline);
  return points;
}

std::vector<ui::Point> WeekMark::path(ui::Rect rect) {
  double scale = std::min(rect.width / markBounds.width, rect.height / markBounds.height);
  if (!std::isfinite(scale) || scale < 0) scale = 0;
  const double centreX = markBounds.x + markBounds.width / 2;   // 524.75
  const double centreY = markBounds.y + markBounds.height / 2;  // 511.5
  const double dx = rect.x + rect.width / 2 - centreX * scale;
  const double dy = rect.y + rect.height / 2 - centreY * scale;
  const auto& source = markPoints();
  std::vector<ui::Point> out;
  out.reserve(source.size());
  for (const ui::Point& p : source) out.push_back({dx + p.x * scale, dy + p.y * scale});
  return out;
}

ui::Shape WeekMark::shape() {
  return ui::pathShape([](ui::Rect rect) { return WeekMark::path(rect); }, true);
}

}  // namespace korvel
