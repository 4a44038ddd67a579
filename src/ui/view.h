#pragma once
// Views are immutable values: a small tree of shared, const nodes built by the functions and
// modifiers below. Building allocates the tree; layout and drawing never change it.
//
//   vstack(HAlign::leading, 6, {
//       text("Hello").font(12, Weight::semibold).foreground(inkSoft).lineLimit(1),
//       spacer(0),
//   })
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/geometry.h"

namespace korvel::ui {

struct Node;  // defined by the layout engine (ui/node.h)
class View;

// A shape value: used as a view (filled with the foreground colour unless filled or stroked
// explicitly) and as a clip mask.
class Shape {
 public:
  using PathFn = std::function<std::vector<Point>(Rect)>;

  ShapeGeometry geometry;
  std::shared_ptr<const PathFn> path;  // only for ShapeKind::path: points for a given frame

  View fill(Paint paint) const;
  View stroke(Paint paint, StrokeStyle style) const;
  View view() const;  // filled with the inherited foreground colour
};

Shape rectangle();
Shape roundedRectangle(double radius, CornerStyle style = CornerStyle::continuous);
Shape roundedRectangle(CornerRadii radii, CornerStyle style = CornerStyle::continuous);
Shape capsule();
Shape circle();
// A path of straight lines computed from the frame it is given; closed or open.
Shape pathShape(Shape::PathFn fn, bool closed);

// One styled run of a text. Unset fields inherit from the environment.
struct TextRun {
  std::string text;
  std::optional<Weight> weight;
  std::optional<Paint> color;
  std::optional<double> size;
  std::optional<Design> design;
  std::optional<bool> monospacedDigits;
};

struct Edges {
  bool top = false, leading = false, bottom = false, trailing = false;
  static constexpr Edges all() { return {true, true, true, true}; }
  static constexpr Edges horizontal() { return {false, true, false, true}; }
  static constexpr Edges vertical() { return {true, false, true, false}; }
  static constexpr Edges topOnly() { return {true, false, false, false}; }
  static constexpr Edges bottomOnly() { return {false, false, true, false}; }
  static constexpr Edges leadingOnly() { return {false, true, false, false}; }
  static constexpr Edges trailingOnly() { return {false, false, false, true}; }
};

struct EdgeInsets {
  double top = 0, leading = 0, bottom = 0, trailing = 0;
};

// Flexible frame bounds; unset means "no constraint" as in SwiftUI's frame(minWidth:...).
struct FlexFrame {
  std::optional<double> minWidth, idealWidth, maxWidth;
  std::optional<double> minHeight, idealHeight, maxHeight;
  Alignment alignment = center;
};

class View {
 public:
  View();  // an empty view: takes no space and draws nothing
  explicit View(std::shared_ptr<const Node> node) : node_(std::move(node)) {}
  View(const Shape& shape) : View(shape.view()) {}  // NOLINT: shapes are views

  const std::shared_ptr<const Node>& node() const { return node_; }

  // Text style environment: applies to every text inside unless a text or run sets its own.
  View font(double size, Weight weight = Weight::regular, Design design = Design::default_) const;
  View fontSize(double size) const;
  View fontWeight(Weight weight) const;
  View fontDesign(Design design) const;
  View monospacedDigit(bool on = true) const;
  View foreground(Paint paint) const;
  View lineLimit(std::optional<int> lines) const;
  // On a container holding several texts on one line, they shrink by one shared factor.
  View minimumScaleFactor(double factor) const;
  // Multiplies the opacity of everything inside.
  View opacity(double value) const;

  // Layout modifiers.
  View layoutPriority(double priority) const;
  View fixedSize(bool horizontal, bool vertical) const;
  View frame(std::optional<double> width, std::optional<double> height,
             Alignment alignment = center) const;
  View frame(FlexFrame flex) const;
  View padding(Edges edges, double length) const;
  View padding(EdgeInsets insets) const;
  View offset(double x, double y) const;
  View clipShape(Shape shape) const;
  View background(View content, Alignment alignment = center) const;
  View overlay(View content, Alignment alignment = center) const;

  // Marks content as belonging to the host's accent group (carried to the display list).
  View accentable(bool on = true) const;

 private:
  std::shared_ptr<const Node> node_;
};

// Containers. `spacing` unset means the toolkit's default spacing: 8 between two views,
// 0 next to a spacer.
View vstack(HAlign alignment, std::optional<double> spacing, std::vector<View> children);
View hstack(VAlign alignment, std::optional<double> spacing, std::vector<View> children);
View zstack(Alignment alignment, std::vector<View> children);
// A flexible space along the enclosing stack's axis; `minLength` unset means 8.
View spacer(std::optional<double> minLength = std::nullopt);

View text(std::string s);
View text(std::vector<TextRun> runs);
// A named symbol drawn like a text of the current font: a square box as tall as the font size.
View symbol(std::string name);

// Takes all the space offered and builds its content from that size, placed top-leading.
View geometryReader(std::function<View(Size)> content);
// The first candidate whose ideal size along `axis` fits the space offered, else the last.
View viewThatFits(Axis axis, std::vector<View> candidates);

// One child per index, identified by position.
std::vector<View> forEach(std::size_t count, const std::function<View(std::size_t)>& make);

}  // namespace korvel::ui
