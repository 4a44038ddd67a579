#pragma once
// Plain geometry and style values shared by views, layout and the display list.
#include <array>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <boost/describe/enum.hpp>

namespace korvel::ui {

inline constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct Point {
  double x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  double width = 0, height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  double x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

enum class Axis { horizontal, vertical };

// Horizontal alignment inside a vertical stack or a frame.
enum class HAlign { leading, center, trailing };
// Vertical alignment inside a horizontal stack or a frame.
enum class VAlign { top, center, bottom, firstTextBaseline, lastTextBaseline };

struct Alignment {
  HAlign h = HAlign::center;
  VAlign v = VAlign::center;
  bool operator==(const Alignment&) const = default;
};
inline constexpr Alignment topLeading{HAlign::leading, VAlign::top};
inline constexpr Alignment top{HAlign::center, VAlign::top};
inline constexpr Alignment topTrailing{HAlign::trailing, VAlign::top};
inline constexpr Alignment leading{HAlign::leading, VAlign::center};
inline constexpr Alignment center{HAlign::center, VAlign::center};
inline constexpr Alignment trailing{HAlign::trailing, VAlign::center};
inline constexpr Alignment bottomLeading{HAlign::leading, VAlign::bottom};
inline constexpr Alignment bottom{HAlign::center, VAlign::bottom};
inline constexpr Alignment bottomTrailing{HAlign::trailing, VAlign::bottom};

enum class Weight { regular, medium, semibold, bold };
enum class Design { default_, rounded, monospaced };
BOOST_DESCRIBE_ENUM(Weight, regular, medium, semibold, bold)
BOOST_DESCRIBE_ENUM(Design, default_, rounded, monospaced)

// A colour by name plus the opacity the views applied. The toolkit never knows what a name
// means; the backend resolves it for the appearance it draws in.
struct Paint {
  std::string color;
  double opacity = 1.0;
  Paint opacity_(double o) const { return Paint{color, opacity * o}; }
  bool operator==(const Paint&) const = default;
};

enum class CornerStyle { continuous, circular };
BOOST_DESCRIBE_ENUM(CornerStyle, continuous, circular)

// Corner radii in reading order: top-leading, top-trailing, bottom-trailing, bottom-leading.
using CornerRadii = std::array<double, 4>;

enum class LineCap { butt, round, square };
enum class LineJoin { miter, round, bevel };
BOOST_DESCRIBE_ENUM(LineCap, butt, round, square)
BOOST_DESCRIBE_ENUM(LineJoin, miter, round, bevel)

struct StrokeStyle {
  double lineWidth = 1;
  LineCap lineCap = LineCap::butt;
  LineJoin lineJoin = LineJoin::miter;
  double miterLimit = 10;
  std::vector<double> dash;
  double dashPhase = 0;
  bool operator==(const StrokeStyle&) const = default;
};

enum class ShapeKind { rect, roundedRect, capsule, circle, path };
BOOST_DESCRIBE_ENUM(ShapeKind, rect, roundedRect, capsule, circle, path)

// A shape is described relative to the frame it is given. Paths come either as points in
// frame coordinates or, when `unitPoints` is set, scaled into the frame by a callback at
// layout time (see ui::pathShape).
struct ShapeGeometry {
  ShapeKind kind = ShapeKind::rect;
  CornerRadii radii{0, 0, 0, 0};
  CornerStyle corners = CornerStyle::continuous;
  std::vector<Point> points;  // for paths, in widget coordinates once in the display list
  bool closed = true;
  bool operator==(const ShapeGeometry&) const = default;
};

}  // namespace korvel::ui
