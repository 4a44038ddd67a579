#include "faces/face_header.h"

#include <gtest/gtest.h>

#include "face_test_support.h"

namespace korvel {
namespace {

using facetest::kGenerated;
using facetest::layoutFake;
using facetest::textsOf;

const TimeFormat& usUtc() {
  static const TimeFormat format(TimeSettings{"en_US", "UTC"});
  return format;
}

FaceHeader freshHeader(std::string title, std::string trailing, bool withTime) {
  FaceHeader h;
  h.title = std::move(title);
  h.trailing = std::move(trailing);
  if (withTime) h.time = kGenerated;
  h.asOf = kGenerated + 3600;
  h.format = usUtc();
  return h;
}

FaceHeader staleHeader(bool withWords) {
  FaceHeader h = freshHeader("Limits", "right now", withWords);
  h.staleSince = kGenerated;
  if (withWords) h.staleWords = "App closed";
  h.asOf = kGenerated + 5 * 3600 + 59 * 60;
  return h;
}

void expectRect(const ui::Op& op, ui::Rect expected) {
  EXPECT_NEAR(op.rect.x, expected.x, 1e-9) << op.text.text << op.symbol;
  EXPECT_NEAR(op.rect.y, expected.y, 1e-9) << op.text.text << op.symbol;
  EXPECT_NEAR(op.rect.width, expected.width, 1e-9) << op.text.text << op.symbol;
  EXPECT_NEAR(op.rect.height, expected.height, 1e-9) << op.text.text << op.symbol;
}

void expectStyle(const ui::Op& op, double size, ui::Weight weight, const std::string& color) {
  ASSERT_EQ(op.op, ui::OpKind::text);
  ASSERT_EQ(op.text.runs.size(), 1u) << op.text.text;
  const ui::TextRunStyle& run = op.text.runs[0];
  EXPECT_EQ(run.size, size) << op.text.text;
  EXPECT_EQ(run.weight, weight) << op.text.text;
  EXPECT_EQ(run.design, ui::Design::standard) << op.text.text;
  EXPECT_EQ(run.color.color, color) << op.text.text;
  EXPECT_EQ(op.text.lineLimit, 1) << op.text.text;
  EXPECT_EQ(op.text.lines, 1) << op.text.text;
}

TEST(FaceHeader, FreshMediumReadsMarkTitleTrailingAndTime) {
  const ui::DisplayList list = layoutFake(header(freshHeader("Limits", "right now", true)), 332, 100);
  ASSERT_EQ(list.ops.size(), 4u);

  const ui::Op& mark = list.ops[0];
  EXPECT_EQ(mark.op, ui::OpKind::fill);
  EXPECT_EQ(mark.paint.color, "lime");
  EXPECT_EQ(mark.shape.kind, ui::ShapeKind::path);
  EXPECT_TRUE(mark.accent);  // the mark alone joins the accent group
  expectRect(mark, {0, 1.2, 8, 12});

  expectStyle(list.ops[1], 12, ui::Weight::semibold, "inkSoft");
  EXPECT_EQ(list.ops[1].text.text, "Limits");
  expectRect(list.ops[1], {13, 0, 36, 14.4});

  // Pushed to the right edge: 9 + 10 characters at 5.5 points end exactly at 332.
  expectStyle(list.ops[2], 11, ui::Weight::medium, "inkFaint");
  EXPECT_EQ(list.ops[2].text.text, "right now");
  expectRect(list.ops[2], {227.5, 0.6, 49.5, 13.2});
  expectStyle(list.ops[3], 11, ui::Weight::medium, "inkFaint");
  EXPECT_EQ(list.ops[3].text.text, " \u00B7 4:42\u202FPM");
  expectRect(list.ops[3], {277, 0.6, 55, 13.2});

  for (std::size_t i = 1; i < list.ops.size(); ++i) EXPECT_FALSE(list.ops[i].accent);
}

struct FreshCase {
  const char* name;
  const char* trailing;
  bool withTime;
  std::vector<std::string> right;
};

TEST(FaceHeader, FreshRightPart) {
  const FreshCase cases[] = {
      {"small: an empty text only", "", false, {""}},
      {"small with a trailing text", "Jun 9", false, {"Jun 9"}},
      {"medium now or week: the time alone", "", true, {"", "4:42\u202FPM"}},
      {"medium with a period", "Jun 9 \u2013 15", true, {"Jun 9 \u2013 15", " \u00B7 4:42\u202FPM"}},
  };
  for (const FreshCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ui::DisplayList list = layoutFake(header(freshHeader("T", c.trailing, c.withTime)), 332, 100);
    std::vector<std::string> expected{"T"};
    expected.insert(expected.end(), c.right.begin(), c.right.end());
    EXPECT_EQ(textsOf(facetest::textOps(list)), expected);
    // Whatever the right part holds, it ends at the right edge.
    const ui::Op& last = list.ops.back();
    EXPECT_DOUBLE_EQ(last.rect.x + last.rect.width, 332);
  }
}

TEST(FaceHeader, StaleMediumShowsClockWordsAndAgeInAmber) {
  const ui::DisplayList list = layoutFake(header(staleHeader(true)), 332, 100);
  ASSERT_EQ(list.ops.size(), 5u);
  EXPECT_EQ(textsOf(list.ops),
            (std::vector<std::string>{"Limits", "[clock]", "App closed \u00B7", "5 hr. ago"}));

  const ui::Op& clock = list.ops[2];
  EXPECT_EQ(clock.op, ui::OpKind::symbol);
  EXPECT_EQ(clock.paint.color, "amber");
  expectRect(clock, {205.25, 1.425, 10.5, 10.5});  // as tall as the 10.5-point font

  expectStyle(list.ops[3], 10.5, ui::Weight::semibold, "amber");
  expectRect(list.ops[3], {218.75, 0.9, 63, 12.6});  // 3 points after the clock
  expectStyle(list.ops[4], 10.5, ui::Weight::semibold, "amber");
  expectRect(list.ops[4], {284.75, 0.9, 47.25, 12.6});
  for (std::size_t i = 1; i < list.ops.size(); ++i) EXPECT_FALSE(list.ops[i].accent);
}

TEST(FaceHeader, StaleSmallLeavesOutWordsAndTheirDot) {
  const ui::DisplayList list = layoutFake(header(staleHeader(false)), 138, 100);
  EXPECT_EQ(textsOf(list.ops), (std::vector<std::string>{"Limits", "[clock]", "5 hr. ago"}));
  const ui::Op& age = list.ops.back();
  expectRect(age, {90.75, 0.9, 47.25, 12.6});
  EXPECT_DOUBLE_EQ(list.ops[2].rect.x, 90.75 - 3 - 10.5);
}

TEST(FaceHeader, StaleWinsOverTrailingAndTime) {
  FaceHeader h = staleHeader(true);
  ASSERT_TRUE(h.time.has_value());
  const auto texts = textsOf(layoutFake(header(h), 332, 100).ops);
  for (const std::string& t : texts) {
    EXPECT_EQ(t.find("right now"), std::string::npos) << t;
    EXPECT_EQ(t.find("PM"), std::string::npos) << t;
  }
}

TEST(FaceHeader, UsesTheGivenLocaleAndZone) {
  FaceHeader fresh = freshHeader("Limits", "jetzt", true);
  fresh.format = TimeFormat(TimeSettings{"de_DE", "Europe/Berlin"});
  EXPECT_EQ(textsOf(layoutFake(header(fresh), 332, 100).ops),
            (std::vector<std::string>{"Limits", "jetzt", " \u00B7 18:42"}));

  FaceHeader stale = staleHeader(true);
  stale.staleWords = "App geschlossen";
  stale.format = fresh.format;
  EXPECT_EQ(textsOf(layoutFake(header(stale), 332, 100).ops),
            (std::vector<std::string>{"Limits", "[clock]", "App geschlossen \u00B7", "vor 5 Std."}));
}

TEST(FaceHeader, UnformattableTimesDrawEmptyTexts) {
  FaceHeader h = freshHeader("Limits", "right now", true);
  h.time = 9.2e15;  // about the largest generatedMs, in seconds
  EXPECT_EQ(textsOf(layoutFake(header(h), 332, 100).ops),
            (std::vector<std::string>{"Limits", "right now", " \u00B7 "}));
  h.staleSince = -9.2e15;
  h.staleWords.reset();
  EXPECT_EQ(textsOf(layoutFake(header(h), 332, 100).ops),
            (std::vector<std::string>{"Limits", "[clock]", ""}));
}

TEST(FaceHeader, RightPartIsCutBeforeTheTitle) {
  // 19 title characters need 114 points; 27 go to the mark, the gaps and the spacer's minimum,
  // and the right part keeps only its two ellipses.
  const FaceHeader h = freshHeader("Receipt of the week", "Jun 9 \u2013 15", true);
  const auto ops = facetest::textOps(layoutFake(header(h), 160, 100));
  ASSERT_EQ(ops.size(), 3u);
  EXPECT_EQ(ops[0].text.shown, "Receipt of the week");
  EXPECT_EQ(ops[1].text.shown, "\u2026");
  EXPECT_EQ(ops[2].text.shown, "\u2026");
  for (const ui::Op& op : ops) EXPECT_EQ(op.text.lines, 1);

  // Only when the title alone does not fit is it cut, at its end, still on one line.
  const auto narrow = facetest::textOps(layoutFake(header(h), 100, 100));
  EXPECT_EQ(narrow[0].text.shown, "Receipt o\u2026");
  EXPECT_EQ(narrow[0].text.lines, 1);
}

TEST(FaceHeader, OneLineHighInEveryForm) {
  for (const FaceHeader& h : {freshHeader("Limits", "", false), freshHeader("Limits", "x", true),
                              staleHeader(false), staleHeader(true)}) {
    const ui::Size size = ui::measureView(header(h), 332, std::nullopt, facetest::fakeMeasurer());
    EXPECT_DOUBLE_EQ(size.height, 14.4);
    EXPECT_DOUBLE_EQ(size.width, 332);
  }
}

}  // namespace
}  // namespace korvel
