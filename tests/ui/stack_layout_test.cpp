// Stacks: sharing by flexibility and priority, spacers, default spacing, alignment.
#include "ui_test_support.h"

namespace korvel::ui {
namespace {

using test::box;
using test::rectNamed;
using test::run;

TEST(StackLayout, LessFlexibleFirstThenOverflow) {
  // Bounded then unbounded child in 150: the first is offered half, the second keeps its minimum.
  auto v = hstack(VAlign::center, 0, {box("r").frame(FlexFrame{.maxWidth = 100}),
                                      box("g").frame(FlexFrame{.minWidth = 100})});
  auto dl = run(v, {150, 50});
  EXPECT_EQ(rectNamed(dl, "r"), (Rect{0, 0, 75, 50}));
  EXPECT_EQ(rectNamed(dl, "g"), (Rect{75, 0, 100, 50}));
  EXPECT_EQ(measureView(v, 150, 50, FakeTextMeasurer{}), (Size{175, 50}));
}

TEST(StackLayout, SortedOffersWithExplicitSpacing) {
  // Order g (fixed), b (max 50), r (min 100); avail 135: g 30 of 45, b 50 of 52.5, r 100 of 55.
  auto v = hstack(VAlign::center, 7.5, {box("r").frame(FlexFrame{.minWidth = 100}),
                                        box("g").frame(30, std::nullopt),
                                        box("b").frame(FlexFrame{.maxWidth = 50})});
  auto dl = run(v, {150, 20});
  EXPECT_EQ(rectNamed(dl, "r"), (Rect{0, 0, 100, 20}));
  EXPECT_EQ(rectNamed(dl, "g"), (Rect{107.5, 0, 30, 20}));
  EXPECT_EQ(rectNamed(dl, "b"), (Rect{145, 0, 50, 20}));
  EXPECT_EQ(measureView(v, 150, 20, FakeTextMeasurer{}).width, 195);
}

TEST(StackLayout, SpacerTakesTheRestWithoutSpacing) {
  auto v = hstack(VAlign::center, std::nullopt, {box("r").frame(50, 50), spacer(), box("b").frame(50, 50)});
  auto dl = run(v, {200, 80});
  EXPECT_EQ(rectNamed(dl, "r"), (Rect{0, 0, 50, 50}));
  EXPECT_EQ(rectNamed(dl, "b"), (Rect{150, 0, 50, 50}));
}

TEST(StackLayout, DefaultSpacingIsEightBetweenViewsAndZeroNextToSpacer) {
  struct Case {
    const char* name;
    View view;
    double secondX;
    double width;  // ideal width
  };
  std::vector<Case> cases = {
      {"two views", hstack(VAlign::center, std::nullopt, {box("a").frame(10, 10), box("b").frame(10, 10)}), 18, 28},
      {"spacer between", hstack(VAlign::center, std::nullopt, {box("a").frame(10, 10), spacer(0), box("b").frame(10, 10)}), 10, 20},
      {"spacer min 5", hstack(VAlign::center, std::nullopt, {box("a").frame(10, 10), spacer(5), box("b").frame(10, 10)}), 15, 25},
      {"spacer default min", hstack(VAlign::center, std::nullopt, {box("a").frame(10, 10), spacer(), box("b").frame(10, 10)}), 18, 28},
      {"explicit 3", hstack(VAlign::center, 3, {box("a").frame(10, 10), spacer(0), box("b").frame(10, 10)}), 16, 26},
      {"empty views skipped", hstack(VAlign::center, std::nullopt, {box("a").frame(10, 10), View(), box("b").frame(10, 10)}), 18, 28},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto dl = run(c.view.fixedSize(true, true), {100, 100});
    EXPECT_EQ(rectNamed(dl, "b").x, c.secondX);
    EXPECT_EQ(measureView(c.view, std::nullopt, std::nullopt, FakeTextMeasurer{}).width, c.width);
  }
}

TEST(StackLayout, VerticalSpacerPutsBarOnTheBottom) {
  auto v = vstack(HAlign::center, std::nullopt, {spacer(0), box("bar").frame(6, 23)});
  auto dl = run(v, {20, 100});
  EXPECT_EQ(rectNamed(dl, "bar"), (Rect{0, 77, 6, 23}));
}

TEST(StackLayout, SpacersShareFreeSpaceEvenly) {
  auto v = hstack(VAlign::top, 0, {spacer(0), box("a").frame(20, 10), spacer(0), box("b").frame(20, 10), spacer(0)});
  auto dl = run(v, {100, 10});
  EXPECT_DOUBLE_EQ(rectNamed(dl, "a").x, 20);
  EXPECT_DOUBLE_EQ(rectNamed(dl, "b").x, 60);
}

TEST(StackLayout, LayoutPriorityIsServedFirst) {
  // Two 8-character texts (5 per character at size 10) in 60: the prioritised one keeps 40,
  // the other gets what is left after its minimum was reserved.
  auto v = hstack(VAlign::center, 0, {text("aaaaaaaa"), text("bbbbbbbb").layoutPriority(1)})
               .font(10)
               .lineLimit(1);
  auto dl = run(v, {60, 20});
  auto texts = test::opsOf(dl, OpKind::text);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1].text.shown, "bbbbbbbb");
  EXPECT_EQ(texts[1].rect.width, 40);
  EXPECT_EQ(texts[0].text.shown, "aaa\u2026");
  EXPECT_EQ(texts[0].rect.width, 20);
  EXPECT_EQ(texts[1].rect.x, 20);
}

TEST(StackLayout, WithoutPriorityTheShorterTextIsSizedFirst) {
  auto v = hstack(VAlign::center, 0, {text("aaaaaaaaaa"), text("bbbb")}).font(10).lineLimit(1);
  auto dl = run(v, {60, 20});
  auto texts = test::opsOf(dl, OpKind::text);
  EXPECT_EQ(texts[1].text.shown, "bbbb");
  EXPECT_EQ(texts[0].text.shown, "aaaaaaa\u2026");
  EXPECT_EQ(texts[0].rect.width, 40);
}

TEST(StackLayout, CrossAxisAlignment) {
  struct Case {
    HAlign align;
    double x;
  };
  for (auto c : {Case{HAlign::leading, 0}, Case{HAlign::center, 15}, Case{HAlign::trailing, 30}}) {
    auto v = vstack(c.align, 0, {box("wide").frame(40, 10), box("narrow").frame(10, 10)});
    auto dl = run(v, {100, 100});
    EXPECT_EQ(rectNamed(dl, "narrow"), (Rect{c.x, 10, 10, 10}));
  }
}

TEST(StackLayout, FirstAndLastTextBaselineAlignment) {
  // Size 20 text: baseline 18, line 24. Size 10 text: baseline 9, line 12.
  auto big = text("A").font(20);
  auto small = vstack(HAlign::leading, 0, {text("b"), text("c")}).font(10);  // baselines 9 and 21
  auto first = hstack(VAlign::firstTextBaseline, 0, {big, small});
  auto dl = run(first, {100, 100});
  auto t = test::opsOf(dl, OpKind::text);
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[0].rect.y, 0);
  EXPECT_EQ(t[1].rect.y, 9);   // 18 - 9
  EXPECT_EQ(t[2].rect.y, 21);
  EXPECT_EQ(measureView(first, 100, 100, FakeTextMeasurer{}).height, 33);

  auto last = hstack(VAlign::lastTextBaseline, 0, {big, small});
  dl = run(last, {100, 100});
  t = test::opsOf(dl, OpKind::text);
  EXPECT_EQ(t[0].rect.y, 3);  // small's last baseline 21 lines up with big's 18
  EXPECT_EQ(t[1].rect.y, 0);
  EXPECT_EQ(t[2].rect.y, 12);
}

TEST(StackLayout, ViewWithoutTextAlignsItsBottomOnTheBaseline) {
  auto v = hstack(VAlign::firstTextBaseline, 0, {text("A").font(20), box("dot").frame(4, 4)});
  auto dl = run(v, {100, 100});
  EXPECT_EQ(rectNamed(dl, "dot"), (Rect{10, 14, 4, 4}));
}

TEST(StackLayout, ContainerBaselinesAreTopMostFirstAndBottomMostLast) {
  // A vstack holding a plain box above two texts: its first baseline is the first text's.
  auto inner = vstack(HAlign::leading, 0, {box("cap").frame(5, 6), text("x").font(10), text("y").font(10)});
  auto v = hstack(VAlign::firstTextBaseline, 0, {text("Z").font(20), inner});
  auto dl = run(v, {100, 100});
  // Z baseline 18; inner first baseline 6 + 9 = 15 -> inner at y 3.
  EXPECT_EQ(rectNamed(dl, "cap").y, 3);
  auto lastV = hstack(VAlign::lastTextBaseline, 0, {text("Z").font(20), inner});
  dl = run(lastV, {100, 100});
  // inner last baseline 6 + 12 + 9 = 27 vs 18 -> Z moves down 9.
  EXPECT_EQ(test::opsOf(dl, OpKind::text)[0].rect.y, 9);
}

TEST(StackLayout, IdealSizeWhenProposalUnset) {
  auto v = vstack(HAlign::center, 4, {text("abcd").font(10), box("b")});
  EXPECT_EQ(measureView(v, std::nullopt, std::nullopt, FakeTextMeasurer{}), (Size{20, 26}));
}

TEST(StackLayout, ZStackSizedByTopPriorityAndAligned) {
  auto v = zstack(bottomTrailing, {box("big").frame(40, 30), box("small").frame(10, 10),
                                   box("ignored").frame(90, 90).layoutPriority(-1)});
  auto dl = run(v, {100, 100});
  EXPECT_EQ(measureView(v, 100, 100, FakeTextMeasurer{}), (Size{40, 30}));
  EXPECT_EQ(rectNamed(dl, "small"), (Rect{30, 20, 10, 10}));
  EXPECT_EQ(rectNamed(dl, "ignored"), (Rect{-50, -60, 90, 90}));
}

}  // namespace
}  // namespace korvel::ui
