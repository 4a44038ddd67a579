// Builders and modifiers: each allocates one small const node around its content.
#include "ui/view.h"

#include <algorithm>
#include <cmath>

#include "ui/limits.h"
#include "ui/nodes.h"

namespace korvel::ui {

namespace {

const NodePtr& emptyNode() {
  static const NodePtr node = std::make_shared<EmptyNode>();
  return node;
}

template <class N>
View wrap(const View& v, N node) {
  node.child = v.node();
  return View(std::make_shared<const N>(std::move(node)));
}

View withEnv(const View& v, std::function<void(Environment&)> apply) {
  EnvironmentNode n;
  n.apply = std::move(apply);
  return wrap(v, std::move(n));
}

// Negative or non-finite lengths mean "no constraint".
std::optional<double> validLength(std::optional<double> v) {
  if (!v || std::isnan(*v) || *v < 0) return std::nullopt;
  return v;
}

// An offset, inset or spacing: within the limits, and none at all when not finite.
double finiteCoordinate(double v) { return std::isfinite(v) ? clampCoordinate(v) : 0; }

double finiteOr(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

void normaliseAxis(std::optional<double>& mn, std::optional<double>& id, std::optional<double>& mx) {
  auto drop = [](std::optional<double>& v) {
    if (v && std::isnan(*v)) v.reset();
  };
  drop(mn);
  drop(id);
  drop(mx);
  if (mn) mn = std::max(*mn, 0.0);
  if (id) id = std::max(mn.value_or(0), *id);
  if (mx) mx = std::max(id.value_or(mn.value_or(0)), *mx);
}

}  // namespace

View::View() : node_(emptyNode()) {}

View Shape::fill(Paint paint) const {
  ShapeNode n;
  n.shape = *this;
  n.mode = ShapeNode::Mode::fill;
  n.paint = std::move(paint);
  return View(std::make_shared<const ShapeNode>(std::move(n)));
}

View Shape::stroke(Paint paint, StrokeStyle style) const {
  ShapeNode n;
  n.shape = *this;
  n.mode = ShapeNode::Mode::stroke;
  n.paint = std::move(paint);
  n.style = std::move(style);
  return View(std::make_shared<const ShapeNode>(std::move(n)));
}

View Shape::view() const {
  ShapeNode n;
  n.shape = *this;
  return View(std::make_shared<const ShapeNode>(std::move(n)));
}

Shape rectangle() { return Shape{ShapeGeometry{ShapeKind::rect, {0, 0, 0, 0}, CornerStyle::circular, {}, true}, nullptr}; }

Shape roundedRectangle(double radius, CornerStyle style) {
  double r = clampLength(radius);
  return roundedRectangle(CornerRadii{r, r, r, r}, style);
}

Shape roundedRectangle(CornerRadii radii, CornerStyle style) {
  for (auto& r : radii) r = clampLength(r);
  return Shape{ShapeGeometry{ShapeKind::roundedRect, radii, style, {}, true}, nullptr};
}

Shape capsule() { return Shape{ShapeGeometry{ShapeKind::capsule, {0, 0, 0, 0}, CornerStyle::continuous, {}, true}, nullptr}; }
Shape circle() { return Shape{ShapeGeometry{ShapeKind::circle, {0, 0, 0, 0}, CornerStyle::circular, {}, true}, nullptr}; }

Shape pathShape(Shape::PathFn fn, bool closed) {
  Shape s{ShapeGeometry{ShapeKind::path, {0, 0, 0, 0}, CornerStyle::circular, {}, closed}, nullptr};
  if (fn) s.path = std::make_shared<const Shape::PathFn>(std::move(fn));
  return s;
}

View View::font(double size, Weight weight, Design design) const {
  return withEnv(*this, [size, weight, design](Environment& e) {
    e.fontSize = size;
    e.weight = weight;
    e.design = design;
  });
}
View View::fontSize(double size) const {
  return withEnv(*this, [size](Environment& e) { e.fontSize = size; });
}
View View::fontWeight(Weight weight) const {
  return withEnv(*this, [weight](Environment& e) { e.weight = weight; });
}
View View::fontDesign(Design design) const {
  return withEnv(*this, [design](Environment& e) { e.design = design; });
}
View View::monospacedDigit(bool on) const {
  return withEnv(*this, [on](Environment& e) { e.monospacedDigits = on; });
}
View View::foreground(Paint paint) const {
  return withEnv(*this, [paint = std::move(paint)](Environment& e) { e.foreground = paint; });
}
View View::lineLimit(std::optional<int> lines) const {
  if (lines && *lines < 1) lines = 1;
  return withEnv(*this, [lines](Environment& e) { e.lineLimit = lines; });
}
View View::minimumScaleFactor(double factor) const {
  factor = std::isnan(factor) ? 1 : std::clamp(factor, 0.01, 1.0);
  // Texts side by side on one line shrink together; anywhere else each text on its own.
  // Look through environment and priority wrappers (`.lineLimit(1)` before this modifier).
  const Node* inner = node_.get();
  while (auto* pass = dynamic_cast<const PassThroughNode*>(inner)) {
    if (!dynamic_cast<const EnvironmentNode*>(pass) && !dynamic_cast<const PriorityNode*>(pass)) break;
    inner = pass->child.get();
  }
  if (auto* stack = dynamic_cast<const StackNode*>(inner); stack && stack->axis == Axis::horizontal) {
    ScaleGroupNode n;
    n.factor = factor;
    return wrap(*this, std::move(n));
  }
  return withEnv(*this, [factor](Environment& e) { e.minimumScaleFactor = factor; });
}
View View::opacity(double value) const {
  value = std::isnan(value) ? 0 : std::clamp(value, 0.0, 1.0);
  return withEnv(*this, [value](Environment& e) { e.opacity *= value; });
}
View View::accentable(bool on) const {
  return withEnv(*this, [on](Environment& e) { e.accent = on; });
}

View View::layoutPriority(double priority) const {
  PriorityNode n;
  n.priority = std::isnan(priority) ? 0 : priority;
  return wrap(*this, std::move(n));
}
View View::fixedSize(bool horizontal, bool vertical) const {
  FixedSizeNode n;
  n.horizontal = horizontal;
  n.vertical = vertical;
  return wrap(*this, std::move(n));
}
View View::frame(std::optional<double> width, std::optional<double> height, Alignment alignment) const {
  FrameNode n;
  n.width = validLength(width);
  n.height = validLength(height);
  if (n.width && std::isinf(*n.width)) n.width.reset();
  if (n.height && std::isinf(*n.height)) n.height.reset();
  n.alignment = alignment;
  return wrap(*this, std::move(n));
}
View View::frame(FlexFrame flex) const {
  normaliseAxis(flex.minWidth, flex.idealWidth, flex.maxWidth);
  normaliseAxis(flex.minHeight, flex.idealHeight, flex.maxHeight);
  if (flex.idealWidth) flex.idealWidth = finiteOr(*flex.idealWidth, kMaxLength);
  if (flex.idealHeight) flex.idealHeight = finiteOr(*flex.idealHeight, kMaxLength);
  FlexFrameNode n;
  n.flex = flex;
  return wrap(*this, std::move(n));
}
View View::padding(Edges edges, double length) const {
  return padding(EdgeInsets{edges.top ? length : 0, edges.leading ? length : 0,
                            edges.bottom ? length : 0, edges.trailing ? length : 0});
}
View View::padding(EdgeInsets insets) const {
  PaddingNode n;
  n.insets = EdgeInsets{finiteCoordinate(insets.top), finiteCoordinate(insets.leading),
                        finiteCoordinate(insets.bottom), finiteCoordinate(insets.trailing)};
  return wrap(*this, std::move(n));
}
View View::offset(double x, double y) const {
  OffsetNode n;
  n.dx = finiteCoordinate(x);
  n.dy = finiteCoordinate(y);
  return wrap(*this, std::move(n));
}
View View::clipShape(Shape shape) const {
  ClipNode n;
  n.shape = std::move(shape);
  return wrap(*this, std::move(n));
}
namespace {
DecorationNode decoration(const View& content, Alignment alignment, bool overlay) {
  DecorationNode n;
  n.content = content.node();
  n.alignment = alignment;
  n.overlay = overlay;
  return n;
}
}  // namespace
View View::background(View content, Alignment alignment) const {
  return wrap(*this, decoration(content, alignment, false));
}
View View::overlay(View content, Alignment alignment) const {
  return wrap(*this, decoration(content, alignment, true));
}

namespace {
std::vector<NodePtr> nonEmpty(std::vector<View>& children) {
  std::vector<NodePtr> out;
  out.reserve(children.size());
  for (auto& c : children)
    if (!c.node()->isEmpty()) out.push_back(c.node());
  return out;
}
std::optional<double> validSpacing(std::optional<double> s) {
  if (s) return finiteCoordinate(*s);
  return s;
}
}  // namespace

namespace {
View stack(Axis axis, HAlign hAlign, VAlign vAlign, std::optional<double> spacing,
           std::vector<View>& children) {
  StackNode n;
  n.axis = axis;
  n.hAlign = hAlign;
  n.vAlign = vAlign;
  n.spacing = validSpacing(spacing);
  n.children = nonEmpty(children);
  return View(std::make_shared<const StackNode>(std::move(n)));
}
}  // namespace

View vstack(HAlign alignment, std::optional<double> spacing, std::vector<View> children) {
  return stack(Axis::vertical, alignment, StackNode{}.vAlign, spacing, children);
}

View hstack(VAlign alignment, std::optional<double> spacing, std::vector<View> children) {
  return stack(Axis::horizontal, StackNode{}.hAlign, alignment, spacing, children);
}

View zstack(Alignment alignment, std::vector<View> children) {
  ZStackNode n;
  n.alignment = alignment;
  n.children = nonEmpty(children);
  return View(std::make_shared<const ZStackNode>(std::move(n)));
}

View spacer(std::optional<double> minLength) {
  SpacerNode n;
  if (minLength) n.minLength = clampLength(*minLength);
  return View(std::make_shared<const SpacerNode>(std::move(n)));
}

View text(std::string s) { return text(std::vector<TextRun>{TextRun{std::move(s), {}, {}, {}, {}, {}}}); }

View text(std::vector<TextRun> runs) {
  TextNode n;
  n.runs = std::move(runs);
  return View(std::make_shared<const TextNode>(std::move(n)));
}

View symbol(std::string name) {
  SymbolNode n;
  n.name = std::move(name);
  return View(std::make_shared<const SymbolNode>(std::move(n)));
}

View geometryReader(std::function<View(Size)> content) {
  GeometryReaderNode n;
  n.content = std::move(content);
  return View(std::make_shared<const GeometryReaderNode>(std::move(n)));
}

View viewThatFits(Axis axis, std::vector<View> candidates) {
  ViewThatFitsNode n;
  n.axis = axis;
  n.candidates = nonEmpty(candidates);
  if (n.candidates.empty()) return View();
  return View(std::make_shared<const ViewThatFitsNode>(std::move(n)));
}

std::vector<View> forEach(std::size_t count, const std::function<View(std::size_t)>& make) {
  std::vector<View> out;
  out.reserve(count);
  for (std::size_t i = 0; i < count; ++i) out.push_back(make(i));
  return out;
}

}  // namespace korvel::ui
