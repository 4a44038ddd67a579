// Frames, padding, offset, clipping, decorations, geometry readers and ViewThatFits.
#include "ui_test_support.h"

namespace korvel::ui {
namespace {

using test::box;
using test::rectNamed;
using test::run;

const FakeTextMeasurer kFake;

Size sizeOf(const View& v, std::optional<double> w, std::optional<double> h) { return measureView(v, w, h, kFake); }

TEST(FrameLayout, FlexibleFrameTable) {
  // Child: a 10-wide fixed box (ideal and every proposal answer 10).
  const View child = box("c").frame(10, 10);
  struct Case {
    const char* name;
    FlexFrame flex;
    std::optional<double> proposal;
    double width;
  };
  const std::vector<Case> cases = {
      {"max inf takes the proposal", {.maxWidth = kInfinity}, 100, 100},
      {"max inf ideal is the child's", {.maxWidth = kInfinity}, std::nullopt, 10},
      {"max below proposal", {.maxWidth = 40}, 100, 40},
      {"max above child but proposal smaller", {.maxWidth = 40}, 25, 25},
      {"min above child", {.minWidth = 30}, 100, 30},
      {"min below child", {.minWidth = 5}, 100, 10},
      {"min and max adopt proposal", {.minWidth = 20, .maxWidth = 40}, 30, 30},
      {"min and max clamp high", {.minWidth = 20, .maxWidth = 40}, 100, 40},
      {"min and max clamp low", {.minWidth = 20, .maxWidth = 40}, 3, 20},
      {"min and max ideal clamps child", {.minWidth = 20, .maxWidth = 40}, std::nullopt, 20},
      {"ideal answers unset proposal", {.idealWidth = 33}, std::nullopt, 33},
      {"min 0 max inf always the proposal", {.minWidth = 0, .maxWidth = kInfinity}, 70, 70},
      {"no bounds: the child", {}, 70, 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(sizeOf(child.frame(c.flex), c.proposal, 10).width, c.width);
  }
}

TEST(FrameLayout, FlexibleFrameAlignsChild) {
  auto v = text("abc").font(10).frame(FlexFrame{.maxWidth = kInfinity, .alignment = trailing});
  auto dl = run(v, {100, 40});
  auto t = test::opsOf(dl, OpKind::text);
  ASSERT_EQ(t.size(), 1u);
  EXPECT_EQ(t[0].rect, (Rect{85, 0, 15, 12}));  // the frame takes the height of its child
}

TEST(FrameLayout, FixedFrameIgnoresChildSizeAndCentres) {
  auto v = box("c").frame(10, 10).frame(30, 20);
  EXPECT_EQ(sizeOf(v, 5, 5), (Size{30, 20}));
  auto dl = run(v, {5, 5});
  EXPECT_EQ(rectNamed(dl, "c"), (Rect{10, 5, 10, 10}));
  auto half = box("c").frame(std::nullopt, 12);  // width from the proposal
  EXPECT_EQ(sizeOf(half, 44, 100), (Size{44, 12}));
}

TEST(FrameLayout, FrameAlignmentOnBaselineUsesChildBaseline) {
  auto v = text("x").font(10).frame(20, 30, Alignment{HAlign::leading, VAlign::firstTextBaseline});
  auto dl = run(v, {100, 100});
  // The frame's baseline guide is its bottom (30); the text's is 9.
  EXPECT_EQ(test::opsOf(dl, OpKind::text)[0].rect.y, 21);
}

TEST(FrameLayout, PaddingOnNamedEdges) {
  auto v = box("c").padding(Edges{.top = true, .leading = true}, 6);
  EXPECT_EQ(sizeOf(v, 50, 40), (Size{50, 40}));
  auto dl = run(v, {50, 40});
  EXPECT_EQ(rectNamed(dl, "c"), (Rect{6, 6, 44, 34}));
  auto all = text("ab").font(10).padding(EdgeInsets{1, 2, 3, 4});
  EXPECT_EQ(sizeOf(all, std::nullopt, std::nullopt), (Size{16, 16}));
}

TEST(FrameLayout, OffsetMovesDrawingNotLayout) {
  auto v = hstack(VAlign::top, 0, {box("a").frame(10, 10).offset(3, -4), box("b").frame(10, 10)});
  auto dl = run(v, {100, 100});
  EXPECT_EQ(rectNamed(dl, "a"), (Rect{3, -4, 10, 10}));
  EXPECT_EQ(rectNamed(dl, "b"), (Rect{10, 0, 10, 10}));
}

TEST(FrameLayout, ClipShapeWrapsContent) {
  auto v = box("c").frame(20, 10).clipShape(roundedRectangle(4)).padding(Edges::all(), 2);
  auto dl = run(v, {100, 100});
  ASSERT_EQ(dl.ops.size(), 3u);
  EXPECT_EQ(dl.ops[0].op, OpKind::clip);
  EXPECT_EQ(dl.ops[0].rect, (Rect{2, 2, 20, 10}));
  EXPECT_EQ(dl.ops[0].shape.kind, ShapeKind::roundedRect);
  EXPECT_EQ(dl.ops[0].shape.radii, (CornerRadii{4, 4, 4, 4}));
  EXPECT_EQ(dl.ops[1].op, OpKind::fill);
  EXPECT_EQ(dl.ops[2].op, OpKind::unclip);
}

TEST(FrameLayout, BackgroundAndOverlayFollowPrimary) {
  auto v = box("p").frame(40, 20).background(box("bg")).overlay(box("dot").frame(4, 4), topTrailing);
  auto dl = run(v, {100, 100});
  ASSERT_EQ(dl.ops.size(), 3u);
  EXPECT_EQ(dl.ops[0].paint.color, "bg");
  EXPECT_EQ(dl.ops[0].rect, (Rect{0, 0, 40, 20}));
  EXPECT_EQ(dl.ops[1].paint.color, "p");
  EXPECT_EQ(dl.ops[2].rect, (Rect{36, 0, 4, 4}));
  EXPECT_EQ(sizeOf(v, 100, 100), (Size{40, 20}));
}

TEST(FrameLayout, GeometryReaderTakesOfferAndTellsContent) {
  auto v = geometryReader([](Size s) { return box("c").frame(s.width / 2, s.height / 4); });
  EXPECT_EQ(sizeOf(v, std::nullopt, std::nullopt), (Size{10, 10}));
  EXPECT_EQ(sizeOf(v, 120, std::nullopt), (Size{120, 10}));
  auto dl = run(vstack(HAlign::leading, 0, {box("top").frame(5, 20), v}), {100, 60});
  EXPECT_EQ(rectNamed(dl, "c"), (Rect{0, 20, 50, 10}));
}

TEST(FrameLayout, ViewThatFitsChoosesFirstFittingElseLast) {
  auto v = viewThatFits(Axis::horizontal, {text("a long label").font(10), text("short").font(10), text("s").font(10)});
  struct Case {
    double width;
    const char* shown;
  };
  for (auto c : {Case{100, "a long label"}, Case{60, "a long label"}, Case{59, "short"}, Case{25, "short"}, Case{10, "s"}, Case{2, "s"}}) {
    SCOPED_TRACE(c.width);
    auto t = test::opsOf(run(v, {c.width, 50}), OpKind::text);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].text.shown, c.shown);
  }
}

TEST(FrameLayout, ViewThatFitsMeasuresIdealOnItsAxisOnly) {
  // Vertical: a 3-line wrapped text does not fit 30 high at width 20, the box does.
  auto v = viewThatFits(Axis::vertical, {text("aaaa bbbb cccc").font(10), box("alt").frame(20, 20)});
  auto dl = run(v, {20, 30});
  EXPECT_EQ(test::opsOf(dl, OpKind::text).size(), 0u);
  EXPECT_EQ(rectNamed(dl, "alt"), (Rect{0, 0, 20, 20}));
  dl = run(v, {20, 40});
  EXPECT_EQ(test::opsOf(dl, OpKind::text)[0].text.lines, 3);
}

TEST(FrameLayout, FixedSizeUsesIdeal) {
  auto v = text("hello world").font(10).fixedSize(true, false);
  EXPECT_EQ(sizeOf(v, 20, 100), (Size{55, 12}));
  EXPECT_EQ(sizeOf(text("hello world").font(10), 20, 100), (Size{20, 48}));
}

TEST(FrameLayout, ShapesIdealAndCircle) {
  EXPECT_EQ(sizeOf(rectangle(), std::nullopt, std::nullopt), (Size{10, 10}));
  EXPECT_EQ(sizeOf(circle(), 30, 12), (Size{12, 12}));
  auto dl = run(capsule().fill(Paint{"c", 0.5}).opacity(0.5), {30, 12});
  ASSERT_EQ(dl.ops.size(), 1u);
  EXPECT_EQ(dl.ops[0].shape.radii, (CornerRadii{6, 6, 6, 6}));
  EXPECT_EQ(dl.ops[0].paint.opacity, 0.25);
}

TEST(FrameLayout, PathPointsResolvedInWidgetCoordinates) {
  auto diag = pathShape([](Rect r) { return std::vector<Point>{{0, r.height}, {r.width, 0}}; }, false);
  auto v = diag.stroke(Paint{"line", 1}, StrokeStyle{.lineWidth = 2, .dash = {3, 2}}).frame(20, 10).padding(Edges::all(), 5);
  auto dl = run(v, {100, 100});
  ASSERT_EQ(dl.ops.size(), 1u);
  EXPECT_EQ(dl.ops[0].op, OpKind::stroke);
  EXPECT_EQ(dl.ops[0].shape.points, (std::vector<Point>{{5, 15}, {25, 5}}));
  EXPECT_FALSE(dl.ops[0].shape.closed);
  EXPECT_EQ(dl.ops[0].stroke.dash, (std::vector<double>{3, 2}));
}

TEST(FrameLayout, AccentAndForegroundInherited) {
  auto v = vstack(HAlign::leading, 0, {rectangle().view().frame(5, 5), text("a").foreground(Paint{"lime", 1})})
               .foreground(Paint{"inkSoft", 1})
               .accentable();
  auto dl = run(v, {100, 100});
  ASSERT_EQ(dl.ops.size(), 2u);
  EXPECT_EQ(dl.ops[0].paint.color, "inkSoft");
  EXPECT_TRUE(dl.ops[0].accent);
  EXPECT_EQ(dl.ops[1].text.runs[0].color.color, "lime");
  EXPECT_TRUE(dl.ops[1].accent);
  EXPECT_FALSE(run(rectangle(), {5, 5}).ops[0].accent);
}

TEST(FrameLayout, AppendsAtOrigin) {
  DisplayList dl;
  layout(dl, box("a").frame(10, 10), Point{16, 16}, Size{100, 100}, kFake);
  layout(dl, box("b").frame(10, 10), Point{0, 0}, Size{100, 100}, kFake);
  ASSERT_EQ(dl.ops.size(), 2u);
  EXPECT_EQ(dl.ops[0].rect, (Rect{16, 16, 10, 10}));
}

}  // namespace
}  // namespace korvel::ui
