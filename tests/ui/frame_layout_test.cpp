// Frames, padding, offset, overlays, geometry readers, ViewThatFits and what the ops carry.
#include <array>
#include <tuple>

#include "ui_test_support.h"

namespace korvel::ui::test {
namespace {

// The width a flexible frame answers for each kind of proposal (and the same for heights):
// unspecified, 0, 60 and infinity. The child is either a box that takes what it is offered
// (10 when asked for its ideal) or one fixed at 30. Heights are checked with the same bounds.
TEST(FlexibleFrame, SizeForEachProposal) {
  enum class Child { greedy, fixed30 };
  struct Case {
    const char* name;
    FlexFrame width;
    Child child;
    std::array<double, 4> size;  // for ideal, 0, 60, infinity
  };
  const double most = kMaxLength;
  const std::vector<Case> cases = {
      {"max infinity: the offer, ideal the child's", {.maxWidth = kInfinity}, Child::greedy, {10, 0, 60, most}},
      {"max infinity: never below the child", {.maxWidth = kInfinity}, Child::fixed30, {30, 30, 60, most}},
      {"max below the child: the max", {.maxWidth = 20}, Child::fixed30, {20, 20, 20, 20}},
      {"min: never below it, even for a smaller child", {.minWidth = 20}, Child::greedy, {20, 20, 60, most}},
      {"min below the child: a smaller offer, clamped to the min", {.minWidth = 20}, Child::fixed30, {30, 20, 30, 30}},
      {"min and max: the offer clamped, ideal the child's clamped", {.minWidth = 20, .maxWidth = 40}, Child::greedy, {20, 20, 40, 40}},
      {"min and max: the child does not matter for an offer", {.minWidth = 20, .maxWidth = 40}, Child::fixed30, {30, 20, 40, 40}},
      {"ideal answers only the ideal proposal", {.idealWidth = 33}, Child::greedy, {33, 0, 60, most}},
      {"an ideal below the min is raised to it", {.minWidth = 30, .idealWidth = 20}, Child::greedy, {30, 30, 60, most}},
      {"min, ideal and max", {.minWidth = 20, .idealWidth = 25, .maxWidth = 40}, Child::fixed30, {25, 20, 40, 40}},
      {"no bounds: the child's size", {}, Child::greedy, {10, 0, 60, most}},
  };
  const std::array<std::optional<double>, 4> proposals = {ideal, 0.0, 60.0, kInfinity};
  for (const auto& c : cases) {
    for (const bool h : {true, false}) {
      const FlexFrame& f = c.width;
      const View child = c.child == Child::greedy ? box("c") : h ? box("c").frame(30, 10) : box("c").frame(10, 30);
      const View v = child.frame(h ? f : FlexFrame{.minHeight = f.minWidth, .idealHeight = f.idealWidth, .maxHeight = f.maxWidth});
      for (std::size_t i = 0; i < proposals.size(); ++i) {
        SCOPED_TRACE(testing::Message() << c.name << (h ? ", width" : ", height") << ", proposal " << i);
        const Size s = h ? sizeOf(v, proposals[i], 10) : sizeOf(v, 10, proposals[i]);
        EXPECT_EQ(h ? s.width : s.height, c.size[i]);
      }
    }
  }
}

TEST(FrameLayout, PlacesChildren) {
  const auto big = box("big").frame(40, 30), small = box("small").frame(10, 10);
  const auto reader = geometryReader([](Size s) { return box("c").frame(s.width / 2, s.height / 4); });
  const std::vector<LayoutCase> cases = {
      {"a fixed frame aligns its child", box("c").frame(10, 10).frame(30, 20, bottomTrailing), {5, 5}, {30, 20},
       {{"c", {20, 10, 10, 10}}}},
      {"a fixed height; the width is offered to the child", box("c").frame(ideal, 12), {44, 100}, {44, 12},
       {{"c", {0, 0, 44, 12}}}},
      {"a flexible frame aligns its child", box("c").frame(30, 10).frame(FlexFrame{.minWidth = 45, .alignment = trailing}),
       {100, 100}, {45, 10}, {{"c", {15, 0, 30, 10}}}},
      {"an ideal width is offered to the child",
       label("aaaa bbbb", "c").font(10).frame(FlexFrame{.idealWidth = 20}).fixedSize(true, true), {100, 100}, {20, 24},
       {{"c", {0, 0, 20, 24}}}},
      {"max infinity takes the whole width", label("abc", "c").font(10).frame(FlexFrame{.maxWidth = kInfinity, .alignment = trailing}),
       {100, 40}, {100, 12}, {{"c", {85, 0, 15, 12}}}},
      {"padding on named edges", box("c").padding(Edges{.top = true, .leading = true}, 6), {50, 40}, {50, 40},
       {{"c", {6, 6, 44, 34}}}},
      {"padding on every edge", box("c").padding(EdgeInsets{1, 2, 3, 4}), {50, 40}, {50, 40}, {{"c", {2, 1, 44, 36}}}},
      {"offset moves the drawing, not the layout",
       hstack(VAlign::top, 0, {box("o").frame(10, 10).offset(3, -4), box("c").frame(10, 10)}), {100, 100}, {20, 10},
       {{"o", {3, -4, 10, 10}}, {"c", {10, 0, 10, 10}}}},
      {"an overlay stack is sized by its top priority children",
       zstack(bottomTrailing, {big, small, box("low").frame(90, 90).layoutPriority(-1)}), {100, 100}, {40, 30},
       {{"big", {0, 0, 40, 30}}, {"small", {30, 20, 10, 10}}, {"low", {-50, -60, 90, 90}}}},
      {"background and overlay follow the primary",
       box("p").frame(40, 20).background(box("bg")).overlay(box("dot").frame(4, 4), bottomTrailing), {100, 100}, {40, 20},
       {{"bg", {0, 0, 40, 20}}, {"p", {0, 0, 40, 20}}, {"dot", {36, 16, 4, 4}}}},
      {"a geometry reader takes the offer and hands it to its content",
       vstack(HAlign::leading, 0, {box("top").frame(5, 20), reader}), {100, 60}, {100, 60},
       {{"top", {0, 0, 5, 20}}, {"c", {0, 20, 50, 10}}}},
      {"a geometry reader's ideal size is 10 x 10", reader.fixedSize(true, true), {100, 100}, {10, 10},
       {{"c", {0, 0, 5, 2.5}}}},
  };
  for (const auto& c : cases) expectLayout(c);
}

// Texts and fills drawn, in order: shown text or colour name.
std::string drawn(const DisplayList& dl) {
  std::string out;
  for (const auto& op : dl.ops) {
    const auto* text = std::get_if<DrawText>(&op);
    out += (&op == dl.ops.data() ? "" : "|") + (text ? text->text.shown : colourOf(op));
  }
  return out;
}

TEST(ViewThatFits, FirstFittingIdealElseLast) {
  // Ideal widths 60, 25 and 5.
  const View labels = viewThatFits(Axis::horizontal, {text("a long label"), text("short"), text("s")}).font(10);
  const View tall = viewThatFits(Axis::vertical, {text("aaaa bbbb cccc").font(10), box("alt").frame(20, 20)});
  const std::vector<std::tuple<const char*, View, Size, const char*>> cases = {
      {"exactly fits", labels, {60, 50}, "a long label"},
      {"a candidate is never squeezed to fit", labels, {59, 50}, "short"},
      {"none fits: the last", labels, {2, 50}, "s"},
      {"asked for its ideal: the first", labels.fixedSize(true, false), {2, 50}, "a long label"},
      {"vertical: wrapped at the offered width, too tall", tall, {20, 30}, "alt"},
      {"vertical: wrapped at the offered width, fits", tall, {20, 40}, "aaaa\nbbbb\ncccc"},
  };
  for (const auto& [name, view, proposal, shown] : cases) EXPECT_EQ(drawn(run(view, proposal)), shown) << name;
}

TEST(DisplayList, OpsCarryWhatBackendsNeed) {
  // Paint order: background, content, overlay; a clip (no colour) wraps what it clips.
  auto v = box("p").frame(20, 10).background(box("bg")).overlay(box("o")).clipShape(roundedRectangle(4)).padding(Edges::all(), 2);
  auto dl = run(v, {100, 100});
  ASSERT_EQ(drawn(dl), "|bg|p|o|");
  ASSERT_TRUE(std::holds_alternative<PushClip>(dl.ops[0]) && std::holds_alternative<PopClip>(dl.ops[4]));
  EXPECT_EQ(std::get<PushClip>(dl.ops[0]).rect, (Rect{2, 2, 20, 10}));
  EXPECT_EQ(std::get<PushClip>(dl.ops[0]).shape.radii, (CornerRadii{4, 4, 4, 4}));

  // Path points in widget coordinates; stroke style kept.
  auto diag = pathShape([](Rect r) { return std::vector<Point>{{0, r.height}, {r.width, 0}}; }, false);
  const StrokeStyle dashed{.lineWidth = 2, .dash = {3, 2}};
  dl = run(diag.stroke(Paint{"line", 1}, dashed).frame(20, 10).padding(Edges::all(), 5), {100, 100});
  ASSERT_EQ(dl.ops.size(), 1u);
  const auto& stroke = std::get<StrokeShape>(dl.ops[0]);
  EXPECT_EQ(stroke.shape.points, (std::vector<Point>{{5, 15}, {25, 5}}));
  EXPECT_FALSE(stroke.shape.closed);
  EXPECT_EQ(stroke.stroke, dashed);

  // Foreground, accent and opacity are inherited; a text's own colour wins.
  const View tinted = vstack(HAlign::leading, 0, {rectangle().view().frame(5, 5).opacity(0.5), text("a").foreground(Paint{"lime", 1})});
  dl = run(tinted.foreground(Paint{"inkSoft", 0.8}).accentable(), {100, 100});
  ASSERT_EQ(dl.ops.size(), 2u);
  const auto& fill = std::get<FillShape>(dl.ops[0]);
  const auto& text = std::get<DrawText>(dl.ops[1]);
  EXPECT_EQ(fill.paint, (Paint{"inkSoft", 0.4}));
  EXPECT_EQ(text.text.runs[0].color, (Paint{"lime", 1}));
  EXPECT_TRUE(fill.accent && text.accent);
  EXPECT_FALSE(std::get<FillShape>(run(rectangle(), {5, 5}).ops[0]).accent);
}

}  // namespace
}  // namespace korvel::ui::test
