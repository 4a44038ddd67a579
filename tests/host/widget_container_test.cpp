#include "host/widget_container.h"

#include <gtest/gtest.h>

#include "kit/palette.h"
#include "ui/layout.h"
#include "ui/text_measurer.h"

namespace korvel::host {
namespace {

ui::DisplayList layOut(const ui::View& view, ui::Size size) {
  static const ui::FakeTextMeasurer measurer;
  return ui::layout(view, size, measurer);
}

TEST(WidgetContainer, FamilySizesAndContentArea) {
  struct Case {
    WidgetFamily family;
    ui::Size size;
    ui::Rect content;
  } cases[] = {
      {WidgetFamily::systemSmall, {170, 170}, {16, 16, 138, 138}},
      {WidgetFamily::systemMedium, {364, 170}, {16, 16, 332, 138}},
      {WidgetFamily::systemLarge, {364, 382}, {16, 16, 332, 350}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(familySize(c.family), c.size);
    EXPECT_EQ(contentRect(c.family), c.content);
  }
}

TEST(WidgetContainer, PaperFirstThenEverythingClippedToTheRoundedShape) {
  const auto list = layOut(widgetContainer(ui::rectangle().fill(ink), {364, 170}), {364, 170});
  ASSERT_EQ(list.ops.size(), 4u);
  const ui::Op& background = list.ops[0];
  EXPECT_EQ(background.op, ui::OpKind::fill);
  EXPECT_EQ(background.paint, paper);
  EXPECT_EQ(background.rect, (ui::Rect{0, 0, 364, 170}));
  EXPECT_EQ(background.shape.kind, ui::ShapeKind::roundedRect);
  EXPECT_EQ(background.shape.radii, (ui::CornerRadii{22, 22, 22, 22}));
  EXPECT_EQ(background.shape.corners, ui::CornerStyle::continuous);
  const ui::Op& clip = list.ops[1];
  EXPECT_EQ(clip.op, ui::OpKind::clip);
  EXPECT_EQ(clip.rect, background.rect);
  EXPECT_EQ(clip.shape, background.shape);
  // Flexible content takes exactly the area inside the margins.
  EXPECT_EQ(list.ops[2].rect, (ui::Rect{16, 16, 332, 138}));
  EXPECT_EQ(list.ops[3].op, ui::OpKind::unclip);
}

TEST(WidgetContainer, ContentStartsAtTheTopLeadingCornerOfTheMargins) {
  const auto small =
      layOut(widgetContainer(ui::circle().fill(lime).frame(10, 10), {170, 170}), {170, 170});
  ASSERT_EQ(small.ops.size(), 4u);
  EXPECT_EQ(small.ops[2].rect, (ui::Rect{16, 16, 10, 10}));
  // Content larger than the widget is still drawn inside the clip, never after it.
  const auto big =
      layOut(widgetContainer(ui::rectangle().fill(red).frame(1000, 1000), {170, 170}), {170, 170});
  ASSERT_EQ(big.ops.size(), 4u);
  EXPECT_EQ(big.ops[1].op, ui::OpKind::clip);
  EXPECT_EQ(big.ops[2].paint, red);
  EXPECT_EQ(big.ops[3].op, ui::OpKind::unclip);
  // Neither the paper nor the clip grows with it: nothing is drawn beyond the widget.
  EXPECT_EQ(big.ops[0].rect, (ui::Rect{0, 0, 170, 170}));
  EXPECT_EQ(big.ops[1].rect, (ui::Rect{0, 0, 170, 170}));
  EXPECT_EQ(big.ops[2].rect, (ui::Rect{16, 16, 1000, 1000}));
}

TEST(PlacedWidget, CarriesSizeLinkAndLabel) {
  WeekSnapshot s;
  s.volume.spoken = "1,204 lines added";
  const PlacedWidget withData =
      placeWidget(WeekFaceKind::volume, WidgetFamily::systemSmall, {0, s}, TimeFormat());
  EXPECT_EQ(withData.size, (ui::Size{170, 170}));
  EXPECT_EQ(withData.content, (ui::Rect{16, 16, 138, 138}));
  EXPECT_EQ(withData.url, "korvel://week/volume");
  EXPECT_EQ(withData.label, "1,204 lines added");

  const PlacedWidget empty =
      placeWidget(WeekFaceKind::week, WidgetFamily::systemLarge, {0, std::nullopt}, TimeFormat());
  EXPECT_EQ(empty.url, "korvel://week/week");
  EXPECT_EQ(empty.label, "Korvel");
  const auto list = layOut(empty.view, empty.size);
  ASSERT_GE(list.ops.size(), 3u);
  EXPECT_EQ(list.ops.front().paint, paper);
  EXPECT_EQ(list.ops.front().rect, (ui::Rect{0, 0, 364, 382}));
  EXPECT_EQ(list.ops[1].op, ui::OpKind::clip);
  EXPECT_EQ(list.ops.back().op, ui::OpKind::unclip);
}

}  // namespace
}  // namespace korvel::host
