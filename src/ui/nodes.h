#pragma once
// The toolkit's primitive nodes. Each is implemented in its own file under ui/nodes/.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/environment.h"
#include "ui/node.h"
#include "ui/view.h"

namespace korvel::ui {

// What a view that takes any size it is offered answers when asked for its ideal size.
inline constexpr double kIdealSize = 10;

using NodePtr = std::shared_ptr<const Node>;

// Takes no space and draws nothing.
struct EmptyNode final : Node {
  Measured measure(LayoutContext&, EnvId, const Proposal&) const override { return {}; }
  void place(LayoutContext&, EnvId, const Proposal&, Point) const override {}
  bool isEmpty() const override { return true; }
};

struct TextNode final : Node {
  std::vector<TextRun> runs;
  Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const override;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
};

struct SymbolNode final : Node {
  std::string name;
  Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const override;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
};

struct ShapeNode final : Node {
  enum class Mode { foreground, fill, stroke };
  Shape shape;
  Mode mode = Mode::foreground;
  Paint paint;
  StrokeStyle style;
  Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const override;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
};
// The outline of a shape in a frame, paths resolved into widget coordinates.
ShapeGeometry resolveShape(const Shape& shape, Rect frame);

struct StackNode final : Node {
  Axis axis = Axis::vertical;
  HAlign hAlign = HAlign::center;  // vertical stacks
  VAlign vAlign = VAlign::center;  // horizontal stacks
  std::optional<double> spacing;
  std::vector<NodePtr> children;   // empty views already dropped
  Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const override;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
};

struct ZStackNode final : Node {
  Alignment alignment;
  std::vector<NodePtr> children;
  Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const override;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
};

struct SpacerNode final : Node {
  std::optional<double> minLength;
  Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const override;
  void place(LayoutContext&, EnvId, const Proposal&, Point) const override {}
  double layoutPriority() const override;
  bool isSpacer() const override { return true; }
};

struct FrameNode final : Node {
  NodePtr child;
  std::optional<double> width, height;
  Alignment alignment;
  Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const override;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
};

struct FlexFrameNode final : Node {
  NodePtr child;
  FlexFrame flex;  // normalised when built
  Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const override;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
};

struct PaddingNode final : Node {
  NodePtr child;
  EdgeInsets insets;
  Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const override;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
};

// Base of the wrappers that leave layout to their child.
struct PassThroughNode : Node {
  NodePtr child;
  Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const override;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
  double layoutPriority() const override { return child->layoutPriority(); }
};

struct OffsetNode final : PassThroughNode {
  double dx = 0, dy = 0;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
};

struct ClipNode final : PassThroughNode {
  Shape shape;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
};

// Background (drawn first) or overlay (drawn last): never changes the primary's layout.
struct DecorationNode final : PassThroughNode {
  NodePtr content;
  Alignment alignment;
  bool overlay = false;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
};

struct PriorityNode final : PassThroughNode {
  double priority = 0;
  double layoutPriority() const override { return priority; }
};

struct FixedSizeNode final : PassThroughNode {
  bool horizontal = false, vertical = false;
  Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const override;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
};

// Changes the environment for its content.
struct EnvironmentNode final : PassThroughNode {
  std::function<void(Environment&)> apply;
  Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const override;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
  bool isSpacer() const override { return child->isSpacer(); }
  bool isEmpty() const override { return child->isEmpty(); }
};

// A minimum scale factor on a horizontal stack: every text inside shrinks by one shared factor,
// the largest on a 0.01 grid at or above `factor` at which nothing inside is cut.
struct ScaleGroupNode final : PassThroughNode {
  double factor = 1;
  Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const override;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
  EnvId scaledEnv(LayoutContext& ctx, EnvId env, const Proposal& p) const;
};

struct GeometryReaderNode final : Node {
  std::function<View(Size)> content;
  Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const override;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
};

struct ViewThatFitsNode final : Node {
  Axis axis = Axis::horizontal;
  std::vector<NodePtr> candidates;
  Measured measure(LayoutContext& ctx, EnvId env, const Proposal& p) const override;
  void place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const override;
  std::size_t choose(LayoutContext& ctx, EnvId env, const Proposal& p) const;
};

// A child aligned in a plain box of `frame` size: the frame's measurement with the child's
// baselines carried over, and where the child goes.
Measured alignInFrame(Size frame, const Measured& child, Alignment a, Point* childOrigin);

// The environment for content that is not directly inside a stack.
EnvId outsideStack(LayoutContext& ctx, EnvId env);

}  // namespace korvel::ui
