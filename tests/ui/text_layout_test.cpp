// Texts laid out with the fake measurer: wrapping, line limits and the ellipsis, minimum scale
// factors, style inheritance, measuring once per proposal, and bounded work on bad input.
#include <cmath>
#include <set>
#include <tuple>

#include "ui_test_support.h"

namespace korvel::ui::test {
namespace {

DrawText onlyText(const DisplayList& dl) {
  auto t = opsOf<DrawText>(dl);
  EXPECT_EQ(t.size(), 1u);
  return t.empty() ? DrawText{} : t[0];
}

// Records every request, so a test can tell whether the same text was measured twice.
class CountingMeasurer : public TextMeasurer {
 public:
  TextMetrics measure(const TextRequest& r) const override {
    requests.push_back(r);
    return fake.measure(r);
  }
  LineMetrics lineMetrics(double size, Weight w, Design d) const override { return fake.lineMetrics(size, w, d); }
  FakeTextMeasurer fake;
  mutable std::vector<TextRequest> requests;
};

TEST(TextLayout, WrapLineLimitAndEllipsis) {
  struct Case {
    const char* text;
    std::optional<int> limit;
    Size proposal;
    const char* shown;
    Size size;
  };
  const std::vector<Case> cases = {
      {"hello world foo", std::nullopt, {60, 100}, "hello world\nfoo", {55, 24}},
      {"hello world foo", 1, {60, 100}, "hello world\u2026", {60, 12}},
      {"hello world foo", 1, {200, 100}, "hello world foo", {75, 12}},
      {"hello world foo", std::nullopt, {60, 13}, "hello world\u2026", {60, 12}},  // the height cuts too
      {"abcdefghij", std::nullopt, {22, 100}, "abcd\nefgh\nij", {20, 36}},         // a long word breaks anywhere
      {"abcdefghij", 2, {22, 100}, "abcd\nefg\u2026", {20, 24}},
      {"", std::nullopt, {100, 100}, "", {0, 12}},  // an empty text is still a line tall
      {"e\u0301e\u0301", std::nullopt, {100, 100}, "e\u0301e\u0301", {10, 12}},
      {"abc", 1, {0, 100}, "\u2026", {5, 12}},  // nothing but the ellipsis fits
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const View v = text(c.text).font(10).lineLimit(c.limit);
    const DrawText op = onlyText(run(v, c.proposal));
    EXPECT_EQ(op.text.shown, c.shown);
    EXPECT_EQ(op.text.text, c.text);
    EXPECT_EQ((Size{op.rect.width, op.rect.height}), c.size);
    EXPECT_EQ(sizeOf(v, c.proposal.width, c.proposal.height), c.size);
  }
}

// The largest factor on a 0.01 grid that fits, else the minimum, cut. Texts side by side in a
// horizontal stack share one factor; in a vertical stack each text has its own.
TEST(TextLayout, MinimumScaleFactor) {
  struct Case {
    const char* name;
    View view;
    double width;
    std::vector<double> sizes;  // font size of every text drawn
    std::vector<std::string> shown;
  };
  const auto single = [](double factor) { return text("abcdefghij").font(10).lineLimit(1).minimumScaleFactor(factor); };
  // 49.2 wide at full size.
  const View hero = hstack(VAlign::lastTextBaseline, 0, {text("1234").font(20), text("ms").font(9.2)}).lineLimit(1).minimumScaleFactor(0.6);
  const std::vector<Case> cases = {
      {"fits: not scaled", single(0.5), 60, {10}, {"abcdefghij"}},
      {"to the hundredth", single(0.5), 33, {6.6}, {"abcdefghij"}},
      {"just above the minimum", single(0.5), 28, {5.6}, {"abcdefghij"}},
      {"at the minimum, cut", single(0.5), 20, {5}, {"abcdefg\u2026"}},
      {"asked for its ideal width, never scaled", single(0.5).fixedSize(true, false), 20, {10}, {"abcdefghij"}},
      {"one factor for the group", hero, 40, {16.2, 7.452}, {"1234", "ms"}},
      {"the group fits: not scaled", hero, 60, {20, 9.2}, {"1234", "ms"}},
      {"the group at its minimum, cut", hero, 10, {12, 5.52}, {"\u2026", "\u2026"}},
      {"a vertical stack scales each text on its own",
       vstack(HAlign::leading, 0, {text("abcdefghij"), text("abcde")}).font(10).lineLimit(1).minimumScaleFactor(0.5), 40,
       {8, 10}, {"abcdefghij", "abcde"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto texts = opsOf<DrawText>(run(c.view, {c.width, 100}));
    ASSERT_EQ(texts.size(), c.sizes.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
      EXPECT_NEAR(texts[i].text.runs[0].size, c.sizes[i], 1e-9) << i;
      EXPECT_EQ(texts[i].text.shown, c.shown[i]) << i;
    }
  }
}

TEST(TextLayout, RunsInheritWhatTheyDoNotSet) {
  const View v = text({TextRun{"12", Weight::bold, std::nullopt, 20.0, std::nullopt, true},
                       TextRun{" ms", std::nullopt, Paint{"inkFaint", 0.5}, std::nullopt, std::nullopt, std::nullopt}})
                     .font(10, Weight::medium, Design::rounded)
                     .foreground(Paint{"ink", 1});
  const DrawText op = onlyText(run(v, {200, 100}));
  ASSERT_EQ(op.text.runs.size(), 2u);
  EXPECT_EQ(op.text.runs[0], (TextRunStyle{"12", 20, Weight::bold, Design::rounded, true, Paint{"ink", 1}}));
  EXPECT_EQ(op.text.runs[1], (TextRunStyle{" ms", 10, Weight::medium, Design::rounded, false, Paint{"inkFaint", 0.5}}));
  // One line, as tall as its largest run, on one baseline.
  EXPECT_EQ(op.rect, (Rect{0, 0, 35, 24}));
  EXPECT_EQ(op.text.baseline, 18);
}

TEST(TextLayout, EachTextMeasuredOncePerProposal) {
  CountingMeasurer counting;
  std::vector<View> rows;
  for (int i = 0; i < 6; ++i)
    rows.push_back(hstack(VAlign::firstTextBaseline, std::nullopt,
                          {text("row " + std::to_string(i)).lineLimit(1), spacer(4),
                           text("12:0" + std::to_string(i)).frame(FlexFrame{.maxWidth = 70, .alignment = trailing})}));
  LayoutStats stats;
  layout(vstack(HAlign::leading, 6, rows).padding(Edges::all(), 4).font(12), Size{170, 170}, counting, &stats);
  std::set<std::tuple<std::string, double, double, int>> seen;
  for (const auto& r : counting.requests) {
    std::string all;
    for (const auto& run : r.runs) all += run.text;
    EXPECT_TRUE(seen.emplace(all, r.width.value_or(-1), r.maxHeight.value_or(-1), r.lineLimit).second)
        << all << " measured twice at width " << r.width.value_or(-1);
  }
  EXPECT_EQ(stats.textsMeasured, 12u);
}

// Bad input lays out in bounded work with every length in range. A runaway text reaches the
// measurer cut at a character boundary just short of kMaxTextBytes, with an ellipsis, also
// when cleaning it up shrinks it (line separators become one-byte breaks) or grows it
// (invalid bytes become three-byte replacement characters).
TEST(TextLayout, BadInputLaysOutInBoundedWork) {
  const double nan = std::nan("");
  std::string words, separators;
  for (int i = 0; i < 20000; ++i) words += "word ";
  for (int i = 0; i < 30000; ++i) separators += "\u2028";
  struct Case {
    const char* name;
    View view;
    Size size;
    const char* runaway = nullptr;  // the first character of a cut text, once cleaned up
  };
  const std::vector<Case> cases = {
      {"100000 characters, no spaces", text(std::string(100000, 'x')), {170, 170}, "x"},
      {"100000 characters in zero width", text(std::string(100000, 'x')).lineLimit(2), {0, 170}, "x"},
      {"line separators", text(separators).lineLimit(1), {100, 50}, "\n"},
      {"invalid bytes", text(std::string(30000, '\xff')).lineLimit(1), {100, 50}, "\uFFFD"},
      {"many words", text(words), {364, 170}, "w"},
      {"invalid UTF-8", text(std::string("a\xff\xfe b\xc3")), {50, 50}},
      {"NaN everywhere", hstack(VAlign::center, nan, {text("a").font(nan), box("b").frame(nan, -4)}), {nan, nan}},
      {"negative padding and proposal", text("abc").padding(Edges::all(), -50), {-10, -10}},
      {"infinite proposal", hstack(VAlign::center, std::nullopt, {spacer(), box("f").frame(FlexFrame{.maxWidth = kInfinity})}),
       {kInfinity, kInfinity}},
      {"huge frame and offset", box("huge").frame(1e19, 1e19).offset(1e300, -1e300), {100, 100}},
      {"huge font", text("a").font(1e19), {100, 100}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CountingMeasurer counting;
    const auto dl = layout(c.view, c.size, counting);
    ASSERT_FALSE(dl.ops.empty());
    for (const auto& op : dl.ops) {
      const Rect& f = frameOf(op);
      for (double v : {f.x, f.y, f.width, f.height}) EXPECT_LE(std::abs(v), kMaxLength);
    }
    for (const auto& t : opsOf<DrawText>(dl))
      for (const auto& r : t.text.runs) EXPECT_LE(r.size, 1000);
    EXPECT_LE(counting.requests.size(), 50u);
    for (const TextRequest& r : c.runaway ? counting.requests : std::vector<TextRequest>{}) {
      ASSERT_EQ(r.runs.size(), 1u);
      const std::string& t = r.runs[0].text;
      EXPECT_TRUE(t.starts_with(c.runaway) && t.ends_with(kEllipsis));
      const std::size_t kept = t.size() - std::string(kEllipsis).size();
      EXPECT_LE(kept, kMaxTextBytes);
      EXPECT_GT(kept + 4, kMaxTextBytes);
    }
  }
}

}  // namespace
}  // namespace korvel::ui::test
