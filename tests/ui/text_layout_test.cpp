// Texts against the fake measurer: wrapping, limits, ellipsis, scaling, measurement counts.
#include <cmath>
#include <set>

#include "ui_test_support.h"

namespace korvel::ui {
namespace {

using test::box;
using test::run;

Op onlyText(const DisplayList& dl) {
  auto t = test::opsOf(dl, OpKind::text);
  EXPECT_EQ(t.size(), 1u);
  return t.empty() ? Op{} : t[0];
}

TEST(TextLayout, WrapLimitAndEllipsisTable) {
  // Size 10: 5 per character, 12 per line.
  struct Case {
    const char* text;
    std::optional<int> limit;
    double width, height;
    const char* shown;
    int lines;
    Size size;
  };
  const std::vector<Case> cases = {
      {"hello world foo", std::nullopt, 60, 100, "hello world\nfoo", 2, {55, 24}},
      {"hello world foo", 1, 60, 100, "hello world\u2026", 1, {60, 12}},
      {"hello world foo", 1, 200, 100, "hello world foo", 1, {75, 12}},
      {"hello world foo", std::nullopt, 60, 13, "hello world\u2026", 1, {60, 12}},  // height cuts
      {"abcdefghij", std::nullopt, 22, 100, "abcd\nefgh\nij", 3, {20, 36}},        // char breaking
      {"abcdefghij", 2, 22, 100, "abcd\nefg\u2026", 2, {20, 24}},
      {"a\nb\nc\nd", 2, 100, 100, "a\nb\u2026", 2, {10, 24}},                     // limit across paragraphs
      {"a\nb\nc", std::nullopt, 100, 100, "a\nb\nc", 3, {5, 36}},
      {"", std::nullopt, 100, 100, "", 1, {0, 12}},
      {"e\u0301e\u0301", std::nullopt, 100, 100, "e\u0301e\u0301", 1, {10, 12}},  // combining marks add nothing
      {"abc", 1, 0, 100, "\u2026", 1, {5, 12}},                                   // minimum: just the ellipsis
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto v = text(c.text).font(10).lineLimit(c.limit);
    auto op = onlyText(run(v, {c.width, c.height}));
    EXPECT_EQ(op.text.shown, c.shown);
    EXPECT_EQ(op.text.lines, c.lines);
    EXPECT_EQ(op.rect.width, c.size.width);
    EXPECT_EQ(op.rect.height, c.size.height);
    EXPECT_EQ(op.text.text, c.text);
  }
}

TEST(TextLayout, RunsResolveInheritedStyle) {
  auto v = text({TextRun{"12", Weight::bold, std::nullopt, 20.0, std::nullopt, true},
                 TextRun{" ms", std::nullopt, Paint{"inkFaint", 0.5}, std::nullopt, std::nullopt, std::nullopt}})
               .font(10, Weight::medium, Design::rounded)
               .foreground(Paint{"ink", 1});
  auto op = onlyText(run(v, {200, 100}));
  ASSERT_EQ(op.text.runs.size(), 2u);
  EXPECT_EQ(op.text.runs[0], (TextRunStyle{"12", 20, Weight::bold, Design::rounded, true, Paint{"ink", 1}}));
  EXPECT_EQ(op.text.runs[1], (TextRunStyle{" ms", 10, Weight::medium, Design::rounded, false, Paint{"inkFaint", 0.5}}));
  EXPECT_EQ(op.text.text, "12 ms");
  EXPECT_EQ(op.rect, (Rect{0, 0, 35, 24}));  // 2 x 10 + 3 x 5; the line is as tall as its largest run
  EXPECT_EQ(op.text.baseline, 18);
}

TEST(TextLayout, MinimumScaleFactorPicksLargestFittingHundredth) {
  struct Case {
    double width, factor, size;
    const char* shown;
  };
  // "abcdefghij" at 10 is 50 wide.
  for (auto c : {Case{60, 0.5, 10, "abcdefghij"}, Case{40, 0.5, 8, "abcdefghij"}, Case{33, 0.5, 6.6, "abcdefghij"},
                 Case{20, 0.5, 5, "abcdefg\u2026"}}) {
    SCOPED_TRACE(c.width);
    auto v = text("abcdefghij").font(10).lineLimit(1).minimumScaleFactor(c.factor);
    auto op = onlyText(run(v, {c.width, 100}));
    EXPECT_NEAR(op.text.runs[0].size, c.size, 1e-9);
    EXPECT_EQ(op.text.shown, c.shown);
  }
}

TEST(TextLayout, IdealProposalNeverScales) {
  auto v = text("abcdefghij").font(10).lineLimit(1).minimumScaleFactor(0.5).fixedSize(true, false);
  EXPECT_EQ(onlyText(run(v, {20, 100})).text.runs[0].size, 10);
}

TEST(TextLayout, HeroSharesOneScaleFactor) {
  // Value 20 and unit 9.2 (0.46 of it): 40 + 9.2 = 49.2 wide; in 40 both shrink by 0.81.
  auto hero = hstack(VAlign::lastTextBaseline, 0, {text("1234").font(20), text("ms").font(9.2)})
                  .lineLimit(1)
                  .minimumScaleFactor(0.6);
  auto t = test::opsOf(run(hero, {40, 100}), OpKind::text);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_NEAR(t[0].text.runs[0].size, 16.2, 1e-9);
  EXPECT_NEAR(t[1].text.runs[0].size, 7.452, 1e-9);
  EXPECT_NEAR(t[1].text.runs[0].size / t[0].text.runs[0].size, 0.46, 1e-12);
  EXPECT_EQ(t[0].text.shown, "1234");
  EXPECT_EQ(t[1].text.shown, "ms");
  // Fits: nothing shrinks. Far too narrow: both at the minimum, cut.
  t = test::opsOf(run(hero, {60, 100}), OpKind::text);
  EXPECT_EQ(t[0].text.runs[0].size, 20);
  t = test::opsOf(run(hero, {10, 100}), OpKind::text);
  EXPECT_NEAR(t[0].text.runs[0].size, 12, 1e-9);
  EXPECT_NEAR(t[1].text.runs[0].size, 5.52, 1e-9);
}

TEST(TextLayout, ContainerFactorOnVerticalStackScalesEachText) {
  auto v = vstack(HAlign::leading, 0, {text("abcdefghij"), text("abcde")}).font(10).lineLimit(1).minimumScaleFactor(0.5);
  auto t = test::opsOf(run(v, {40, 100}), OpKind::text);
  EXPECT_NEAR(t[0].text.runs[0].size, 8, 1e-9);
  EXPECT_EQ(t[1].text.runs[0].size, 10);
}

TEST(TextLayout, NoTextMeasuredTwiceWithSameProposal) {
  test::CountingMeasurer counting;
  std::vector<View> rows;
  for (int i = 0; i < 6; ++i)
    rows.push_back(hstack(VAlign::firstTextBaseline, std::nullopt,
                          {text("row " + std::to_string(i)).lineLimit(1), spacer(4),
                           text("12:0" + std::to_string(i)).monospacedDigit().frame(FlexFrame{.maxWidth = 70, .alignment = trailing})}));
  auto tree = vstack(HAlign::leading, 6, rows).padding(Edges::all(), 4).font(12);
  LayoutStats stats;
  auto dl = layout(tree, Size{170, 170}, counting, &stats);
  EXPECT_EQ(test::opsOf(dl, OpKind::text).size(), 12u);
  std::set<std::tuple<std::string, double, double, int>> seen;
  for (const auto& r : counting.requests) {
    std::string all;
    for (const auto& run : r.runs) all += run.text;
    EXPECT_TRUE(seen.emplace(all, r.width.value_or(-1), r.maxHeight.value_or(-1), r.lineLimit).second)
        << all << " measured twice at width " << r.width.value_or(-1);
  }
  EXPECT_EQ(stats.measureCalls, counting.requests.size());
  EXPECT_EQ(stats.textsMeasured, 12u);
  EXPECT_EQ(stats.opsEmitted, 12u);
  EXPECT_LE(stats.measureCalls, 12u * 5) << stats.measureCalls;
}

TEST(TextLayout, BadInputLaysOutInBoundedWork) {
  const std::string longText(100000, 'x');
  std::string words;
  for (int i = 0; i < 20000; ++i) words += "word ";
  const double nan = std::nan("");
  struct Case {
    const char* name;
    View view;
    Size size;
  };
  const std::vector<Case> cases = {
      {"100000 chars no spaces", text(longText), {170, 170}},
      {"100000 chars in zero width", text(longText).lineLimit(2), {0, 170}},
      {"many words", text(words), {364, 170}},
      {"rtl", text("\u05e9\u05dc\u05d5\u05dd \u0645\u0631\u062d\u0628\u0627"), {50, 50}},
      {"emoji", text("\U0001F469\u200D\U0001F469\u200D\U0001F467 \U0001F1E9\U0001F1EA"), {50, 50}},
      {"invalid utf8", text(std::string("a\xff\xfe b\xc3")), {50, 50}},
      {"nan size", hstack(VAlign::center, nan, {text("a"), box("b").frame(nan, -4)}), {nan, nan}},
      {"negative", text("abc").padding(Edges::all(), -50), {-10, -10}},
      {"infinite", hstack(VAlign::center, std::nullopt, {spacer(), box("f").frame(FlexFrame{.maxWidth = kInfinity})}),
       {kInfinity, kInfinity}},
      {"huge frame", box("huge").frame(1e19, 1e19).offset(1e300, -1e300), {100, 100}},
      {"huge font", text("a").font(1e19), {100, 100}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LayoutStats stats;
    auto dl = layout(c.view, c.size, FakeTextMeasurer{}, &stats);
    for (const auto& op : dl.ops) {
      for (double v : {op.rect.x, op.rect.y, op.rect.width, op.rect.height}) {
        EXPECT_TRUE(std::isfinite(v));
        EXPECT_LE(std::abs(v), kMaxLength);
      }
      for (const auto& r : op.text.runs) EXPECT_LE(r.size, 1000);
    }
    EXPECT_LE(stats.measureCalls, 50u);
  }
  auto op = onlyText(run(text(std::string("a\xff")), {50, 50}));
  EXPECT_EQ(op.text.text, "a\uFFFD");
}

// A runaway text reaches the measurer cut to kMaxTextBytes plus an ellipsis, also when cleaning
// it up shrinks it (line separators become one-byte breaks) or grows it (invalid bytes become
// three-byte replacement characters).
TEST(TextLayout, RunawayTextsReachTheMeasurerCutToTheCap) {
  std::string separators, invalid;
  for (int i = 0; i < 30000; ++i) separators += "\u2028";
  for (int i = 0; i < 30000; ++i) invalid += '\xff';
  struct Case {
    const char* name;
    std::string raw;
    std::string first;  // the cleaned first character
  };
  const std::vector<Case> cases = {
      {"ascii", std::string(100000, 'x'), "x"},
      {"line separators", separators, "\n"},
      {"invalid bytes", invalid, "\uFFFD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::CountingMeasurer counting;
    LayoutStats stats;
    const Op op = onlyText(layout(text(c.raw).lineLimit(1), {100, 50}, counting, &stats));
    ASSERT_FALSE(counting.requests.empty());
    // The op keeps the start of the text, past the cap but not the whole of it.
    EXPECT_GT(op.text.text.size(), kMaxTextBytes);
    EXPECT_LT(op.text.text.size(), 10 * kMaxTextBytes);
    EXPECT_TRUE(op.text.text.starts_with(c.first));
    for (const TextRequest& r : counting.requests) {
      ASSERT_EQ(r.runs.size(), 1u);
      const std::string& t = r.runs[0].text;
      EXPECT_LE(t.size(), kMaxTextBytes + 3);
      EXPECT_GT(t.size(), kMaxTextBytes - 3);
      EXPECT_TRUE(t.starts_with(c.first));
      EXPECT_TRUE(t.ends_with(kEllipsis));
    }
  }
}

}  // namespace
}  // namespace korvel::ui
