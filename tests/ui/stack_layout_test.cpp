// Stacks: sharing space by priority and flexibility, overflow, spacing, cross-axis alignment
// and text baselines.
#include <tuple>

#include "ui_test_support.h"

namespace korvel::ui::test {
namespace {

// Higher priority groups first, each lower group keeping its minimum until its turn; inside a
// group the least flexible first, each offered an even share of what is left; spacers last. A
// child that answers more than it was offered keeps its size; the siblings after it get what
// is left (nothing once it is used up) and are placed after it.
TEST(StackLayout, SharesSpaceAndOverflows) {
  const View pair = hstack(VAlign::center, 0, {box("r").frame(FlexFrame{.maxWidth = 100}), box("g").frame(FlexFrame{.minWidth = 100})});
  const std::vector<LayoutCase> cases = {
      {"bounded child before unbounded one, which overflows", pair, {150, 20}, {175, 20},
       {{"r", {0, 0, 75, 20}}, {"g", {75, 0, 100, 20}}}},
      {"least flexible first, each offered an even share of what is left",
       hstack(VAlign::center, 7.5, {box("r").frame(FlexFrame{.minWidth = 100}), box("g").frame(30, ideal),
                                    box("b").frame(FlexFrame{.maxWidth = 50})}),
       {150, 20}, {195, 20}, {{"r", {0, 0, 100, 20}}, {"g", {107.5, 0, 30, 20}}, {"b", {145, 0, 50, 20}}}},
      {"higher priority first; lower groups keep their minimum until their turn",
       hstack(VAlign::center, 0, {box("lo").frame(FlexFrame{.minWidth = 10}),
                                  box("mid").frame(FlexFrame{.minWidth = 20}).layoutPriority(1),
                                  box("hi").frame(FlexFrame{.maxWidth = 50}).layoutPriority(2)}),
       {100, 20}, {100, 20}, {{"lo", {0, 0, 10, 20}}, {"mid", {10, 0, 40, 20}}, {"hi", {50, 0, 50, 20}}}},
      {"the shorter text is sized first, the longer one cut",
       hstack(VAlign::center, 0, {label("aaaaaaaaaa", "a"), label("bbbb", "b")}).font(10).lineLimit(1), {60, 20},
       {60, 12}, {{"a", {0, 0, 40, 12}}, {"b", {40, 0, 20, 12}}}},
      {"a spacer takes the rest, with no spacing beside it",
       hstack(VAlign::center, ideal, {box("r").frame(50, 50), spacer(), box("b").frame(50, 50)}), {200, 50}, {200, 50},
       {{"r", {0, 0, 50, 50}}, {"b", {150, 0, 50, 50}}}},
      {"spacers come last: a flexible sibling leaves a spacer its minimum",
       hstack(VAlign::center, 0, {spacer(5), box("a")}), {100, 20}, {100, 20}, {{"a", {5, 0, 95, 20}}}},
      {"spacers share what is left evenly",
       hstack(VAlign::top, 0, {spacer(0), box("a").frame(20, 10), spacer(0), box("b").frame(20, 10), spacer(0)}),
       {100, 10}, {100, 10}, {{"a", {20, 0, 20, 10}}, {"b", {60, 0, 20, 10}}}},
      {"vertical: a spacer pushes the bar to the bottom",
       vstack(HAlign::center, ideal, {spacer(0), box("bar").frame(6, 23)}), {20, 100}, {6, 100},
       {{"bar", {0, 77, 6, 23}}}},
      {"after an overflowing child: the spacing, then nothing left",
       hstack(VAlign::center, 10, {box("f").frame(50, 10), box("a")}), {40, 10}, {60, 10},
       {{"f", {0, 0, 50, 10}}, {"a", {60, 0, 0, 10}}}},
      {"a minimum wider than the whole offer",
       hstack(VAlign::center, 0, {box("a"), box("m").frame(FlexFrame{.minWidth = 80})}), {60, 10}, {80, 10},
       {{"a", {0, 0, 0, 10}}, {"m", {0, 0, 80, 10}}}},
      {"an overflowing stack is centred on a frame that adopts the offer",
       pair.frame(FlexFrame{.minWidth = 0, .maxWidth = kInfinity}), {150, 20}, {150, 20},
       {{"r", {-12.5, 0, 75, 20}}, {"g", {62.5, 0, 100, 20}}}},
      {"a fixed frame ignores the offer and centres an overflowing stack", pair.frame(150, 20), {300, 40}, {150, 20},
       {{"r", {-12.5, 0, 75, 20}}, {"g", {62.5, 0, 100, 20}}}},
      {"a frame that grew with its overflowing stack offers the siblings no more than before", hstack(VAlign::top, 0,
       {box("t").frame(10, 80), box("c")}).frame(FlexFrame{.maxHeight = kInfinity}), {100, 50}, {100, 80}, {{"c", {10, 0, 90, 50}}}},
      {"an overlay stack offers no more than its offer beside an overflowing child",
       zstack(center, {box("t").frame(10, 80), box("fill")}), {100, 50}, {100, 80}, {{"fill", {0, 15, 100, 50}}}},
  };
  for (const auto& c : cases) expectLayout(c);
}

// At their ideal sizes, so that no stack stretches its spacers.
TEST(StackLayout, SpacingAndCrossAxisAlignment) {
  const View a = box("a").frame(10, 10), b = box("b").frame(10, 10);
  const View wide = box("w").frame(40, 10), tall = box("t").frame(10, 40), n = box("n").frame(10, 10);
  const std::vector<LayoutCase> cases = {
      {"8 between two views", hstack(VAlign::center, ideal, {a, b}), {100, 100}, {28, 10}, {{"b", {18, 0, 10, 10}}}},
      {"0 beside a spacer", hstack(VAlign::center, ideal, {a, spacer(0), b}), {100, 100}, {20, 10}, {{"b", {10, 0, 10, 10}}}},
      {"a spacer's default minimum 8", hstack(VAlign::center, ideal, {a, spacer(), b}), {100, 100}, {28, 10}, {{"b", {18, 0, 10, 10}}}},
      {"explicit spacing beside a spacer too", hstack(VAlign::center, 3, {a, spacer(0), b}), {100, 100}, {26, 10}, {{"b", {16, 0, 10, 10}}}},
      {"empty views take no place", hstack(VAlign::center, ideal, {a, View(), b}), {100, 100}, {28, 10}, {{"b", {18, 0, 10, 10}}}},
      {"vertical: 0 beside a spacer, 8 between views", vstack(HAlign::center, ideal, {a, spacer(0), a, b}), {100, 100}, {10, 38},
       {{"b", {0, 28, 10, 10}}}},
      {"leading", vstack(HAlign::leading, 0, {wide, n}), {100, 100}, {40, 20}, {{"n", {0, 10, 10, 10}}}},
      {"centre", vstack(HAlign::center, 0, {wide, n}), {100, 100}, {40, 20}, {{"n", {15, 10, 10, 10}}}},
      {"trailing", vstack(HAlign::trailing, 0, {wide, n}), {100, 100}, {40, 20}, {{"n", {30, 10, 10, 10}}}},
      {"top", hstack(VAlign::top, 0, {tall, n}), {100, 100}, {20, 40}, {{"n", {10, 0, 10, 10}}}},
      {"middle", hstack(VAlign::center, 0, {tall, n}), {100, 100}, {20, 40}, {{"n", {10, 15, 10, 10}}}},
      {"bottom", hstack(VAlign::bottom, 0, {tall, n}), {100, 100}, {20, 40}, {{"n", {10, 30, 10, 10}}}},
      {"a stack offers its children the height it chose", hstack(VAlign::center, 0, {tall, box("b")}), {100, 100}, {20, 40},
       {{"b", {10, 0, 10, 40}}}},
  };
  for (const auto& c : cases) expectLayout({c.name, c.view.fixedSize(true, true), c.proposal, c.size, c.placed});
}

// Size 20 text: baseline 18, line 24. Size 10: baseline 9, line 12.
TEST(StackLayout, TextBaselines) {
  const View big = text("A").font(20), pair = vstack(HAlign::leading, 0, {text("b"), text("c")}).font(10);
  const View capped = vstack(HAlign::leading, 0, {box("cap").frame(5, 6), text("x").font(10), text("y").font(10)});
  // Each: the stack's height and the top of every op, in drawing order.
  const std::vector<std::tuple<const char*, View, double, std::vector<double>>> cases = {
      {"first baselines line up", hstack(VAlign::firstTextBaseline, 0, {big, pair}), 33, {0, 9, 21}},
      {"last baselines line up", hstack(VAlign::lastTextBaseline, 0, {big, pair}), 27, {3, 0, 12}},
      {"a view without text sits on the baseline", hstack(VAlign::firstTextBaseline, 0, {big, box("dot").frame(4, 4)}), 24, {0, 14}},
      {"a container's first baseline is its top-most", hstack(VAlign::firstTextBaseline, 0, {big, capped}), 33, {0, 3, 9, 21}},
      {"a container's last baseline is its bottom-most", hstack(VAlign::lastTextBaseline, 0, {big, capped}), 33, {9, 0, 6, 18}},
      {"padding moves the baseline by its top inset",
       hstack(VAlign::firstTextBaseline, 0, {big, text("b").font(10).padding(EdgeInsets{5, 0, 1, 0})}), 24, {0, 9}},
      {"a fixed frame forwards its child's baseline",
       hstack(VAlign::firstTextBaseline, 0, {big, text("b").font(10).frame(20, 30, topLeading)}), 39, {0, 9}},
      {"a flexible frame forwards its child's baseline",
       hstack(VAlign::firstTextBaseline, 0, {big, text("b").font(10).frame(FlexFrame{.minHeight = 30, .alignment = bottomLeading})}),
       33, {9, 18}},
      {"a frame aligns a text's baseline on its bottom",
       text("x").font(10).frame(20, 30, Alignment{HAlign::leading, VAlign::firstTextBaseline}), 30, {21}},
      {"a symbol is centred on the capitals of the line", hstack(VAlign::firstTextBaseline, 3, {symbol("clock"), text("Hx")}).font(10),
       12, {0.5, 0}},
  };
  for (const auto& [name, view, height, tops] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(sizeOf(view, 100, 100).height, height);
    std::vector<double> drawnAt;
    for (const auto& op : run(view, {100, 100}).ops) drawnAt.push_back(frameOf(op).y);
    EXPECT_EQ(drawnAt, tops);
  }
}

}  // namespace
}  // namespace korvel::ui::test
