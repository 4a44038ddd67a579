#include <gtest/gtest.h>

#include "faces/empty_face.h"
#include "faces/off_face.h"
#include "face_test_support.h"

namespace korvel {
namespace {

using facetest::layoutFake;
using facetest::sampleSnapshot;
using facetest::textOps;

void expectText(const ui::Op& op, const std::string& text, double size, ui::Weight weight,
                const std::string& color, int lineLimit) {
  ASSERT_EQ(op.op, ui::OpKind::text);
  EXPECT_EQ(op.text.text, text);
  ASSERT_EQ(op.text.runs.size(), 1u);
  EXPECT_EQ(op.text.runs[0].size, size) << text;
  EXPECT_EQ(op.text.runs[0].weight, weight) << text;
  EXPECT_EQ(op.text.runs[0].design, ui::Design::standard) << text;
  EXPECT_EQ(op.text.runs[0].color.color, color) << text;
  EXPECT_EQ(op.text.lineLimit, lineLimit) << text;
}

void expectMark(const ui::Op& op) {
  EXPECT_EQ(op.op, ui::OpKind::fill);
  EXPECT_EQ(op.shape.kind, ui::ShapeKind::path);
  EXPECT_EQ(op.paint.color, "lime");
  EXPECT_FALSE(op.accent);  // unlike the header's mark
  EXPECT_EQ(op.rect, (ui::Rect{0, 0, 8, 12}));
}

TEST(EmptyFace, MessagesByPlace) {
  EXPECT_EQ(emptyFaceMessage(WeekPlace::mac), "Open Korvel and this fills in within minutes.");
  EXPECT_EQ(emptyFaceMessage(WeekPlace::phone), "Connect to Korvel on your Mac and this fills in.");
}

TEST(EmptyFace, MarkThenMessageCentredBelowIt) {
  const ui::DisplayList list = layoutFake(emptyFace(WeekPlace::mac), 138, 138);
  ASSERT_EQ(list.ops.size(), 2u);
  expectMark(list.ops[0]);
  const ui::Op& message = list.ops[1];
  expectText(message, "Open Korvel and this fills in within minutes.", 13, ui::Weight::semibold,
             "inkSoft", 4);
  // Three lines of 15.6 wrapped at words; the free 61.2 points split evenly around them.
  EXPECT_EQ(message.text.shown, "Open Korvel and this\nfills in within\nminutes.");
  EXPECT_DOUBLE_EQ(message.rect.y, 12 + 6 + 30.6 + 6);
  EXPECT_DOUBLE_EQ(message.rect.height, 46.8);
  EXPECT_DOUBLE_EQ(138 - (message.rect.y + message.rect.height), 6 + 30.6);
}

TEST(EmptyFace, MessageStopsAfterFourLines) {
  const auto ops = textOps(layoutFake(emptyFace(WeekPlace::phone), 40, 300));
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].text.lines, 4);
  const std::string& shown = ops[0].text.shown;
  EXPECT_EQ(shown.substr(shown.size() - 3), "\u2026");
}

struct OffCase {
  WeekFaceSize size;
  double width, height;
  bool hint;
  double offY, turnOnY;
};

TEST(OffFace, HintOnlyFromMediumUp) {
  // Blocks: mark 12, headline 18, hint 14.4, call 14.4, gaps of 6; the free height is shared
  // by the two spacers.
  const OffCase cases[] = {
      {WeekFaceSize::small, 138, 138, false, 12 + 6 + 34.8 + 6, 58.8 + 18 + 6},
      {WeekFaceSize::medium, 332, 138, true, 12 + 6 + 24.6 + 6, 48.6 + 18 + 6 + 14.4 + 6},
      {WeekFaceSize::large, 332, 350, true, 12 + 6 + 130.6 + 6, 154.6 + 18 + 6 + 14.4 + 6},
  };
  WeekSnapshot s = sampleSnapshot();
  s.off = true;
  s.words.offHint = "Turn it on";
  for (const OffCase& c : cases) {
    SCOPED_TRACE(std::string(name(c.size)));
    const ui::DisplayList list = layoutFake(offFace(s, c.size), c.width, c.height);
    expectMark(list.ops[0]);
    const auto ops = textOps(list);
    ASSERT_EQ(ops.size(), c.hint ? 3u : 2u);
    expectText(ops[0], "Korvel is off", 15, ui::Weight::semibold, "ink", 2);
    EXPECT_DOUBLE_EQ(ops[0].rect.y, c.offY);
    if (c.hint) {
      expectText(ops[1], "Turn it on", 12, ui::Weight::regular, "inkSoft", 2);
      EXPECT_DOUBLE_EQ(ops[1].rect.y, c.offY + 18 + 6);
    }
    expectText(ops.back(), "Turn on \u2192", 12, ui::Weight::semibold, "lime", 0);
    EXPECT_DOUBLE_EQ(ops.back().rect.y, c.turnOnY);
    for (const ui::Op& op : ops) EXPECT_EQ(op.rect.x, 0);
  }
}

TEST(OffFace, HeadlineAndHintStopAfterTwoLinesTheCallNever) {
  WeekSnapshot s = sampleSnapshot();
  s.words.off = "Korvel is switched off on this Mac for the whole of the week";
  s.words.offHint = "Open the menu bar item and choose Turn On to see the agents again";
  s.words.turnOn = "Turn Korvel on again from the menu bar item";
  const auto ops = textOps(layoutFake(offFace(s, WeekFaceSize::medium), 90, 400));
  ASSERT_EQ(ops.size(), 3u);
  EXPECT_EQ(ops[0].text.lines, 2);
  EXPECT_EQ(ops[0].text.shown.substr(ops[0].text.shown.size() - 3), "\u2026");
  EXPECT_EQ(ops[1].text.lines, 2);
  EXPECT_GT(ops[2].text.lines, 2);
  EXPECT_EQ(ops[2].text.shown.find("\u2026"), std::string::npos);
}

TEST(OffFace, EmptyWordsStillDrawTheArrow) {
  WeekSnapshot s = sampleSnapshot();
  s.words = WeekWords{};
  const auto ops = textOps(layoutFake(offFace(s, WeekFaceSize::medium), 332, 138));
  ASSERT_EQ(ops.size(), 3u);
  EXPECT_EQ(ops[0].text.text, "");
  EXPECT_EQ(ops[1].text.text, "");
  EXPECT_EQ(ops[2].text.text, " \u2192");
}

}  // namespace
}  // namespace korvel
