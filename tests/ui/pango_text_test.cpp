// Real text measuring with the installed fonts (Debian's Inter, JetBrains Mono, Quicksand).
#include <cairo.h>
#include <glib.h>

#include <cmath>
#include <set>
#include <string>

#include "ui/pango/fonts.h"
#include "ui/pango/paint_text.h"
#include "ui/pango/pango_text_measurer.h"
#include "ui_test_support.h"

namespace korvel::ui {
namespace {

const TextMeasurer& pango() { return PangoTextMeasurer::shared(); }

TextRequest req(std::string s, double size, std::optional<double> width = std::nullopt, int limit = 0,
                Weight w = Weight::regular, Design d = Design::standard, bool tnum = false) {
  TextRequest r;
  r.runs.push_back(TextRunStyle{std::move(s), size, w, d, tnum, Paint{"ink", 1}});
  r.width = width;
  r.lineLimit = limit;
  return r;
}

TEST(PangoText, FamiliesResolveToTheProjectFonts) {
  struct Case {
    Design design;
    Weight weight;
    const char* file;
  };
  const std::vector<Case> cases = {
      {Design::standard, Weight::regular, "/usr/share/fonts/opentype/inter/Inter-Regular.otf"},
      {Design::standard, Weight::medium, "/usr/share/fonts/opentype/inter/Inter-Medium.otf"},
      {Design::standard, Weight::semibold, "/usr/share/fonts/opentype/inter/Inter-SemiBold.otf"},
      {Design::standard, Weight::bold, "/usr/share/fonts/opentype/inter/Inter-Bold.otf"},
      {Design::monospaced, Weight::regular, "/usr/share/fonts/truetype/jetbrains-mono/JetBrainsMono-Regular.ttf"},
      {Design::monospaced, Weight::semibold, "/usr/share/fonts/truetype/jetbrains-mono/JetBrainsMono-SemiBold.ttf"},
      {Design::rounded, Weight::regular, "/usr/share/fonts/truetype/quicksand/Quicksand-Regular.ttf"},
      {Design::rounded, Weight::medium, "/usr/share/fonts/truetype/quicksand/Quicksand-Medium.ttf"},
      {Design::rounded, Weight::semibold, "/usr/share/fonts/truetype/quicksand/Quicksand-Bold.ttf"},
      {Design::rounded, Weight::bold, "/usr/share/fonts/truetype/quicksand/Quicksand-Bold.ttf"},
  };
  for (const auto& c : cases) EXPECT_EQ(fonts::resolvedFile(c.design, c.weight), c.file);
}

TEST(PangoText, InterLineMetricsAreUnhinted) {
  auto m = pango().measure(req("Hg", 10));
  EXPECT_NEAR(m.size.height, 12.103, 0.001);
  EXPECT_NEAR(m.firstBaseline, 9.688, 0.001);
  EXPECT_EQ(m.lines, 1);
  auto lm = pango().lineMetrics(10, Weight::regular, Design::standard);
  EXPECT_NEAR(lm.height, 12.103, 0.001);
  EXPECT_NEAR(lm.capHeight, 7.27, 0.05);
}

TEST(PangoText, TabularDigitsWiden) {
  auto plain = pango().measure(req("1111111111", 13, std::nullopt, 0, Weight::medium));
  auto tnum = pango().measure(req("1111111111", 13, std::nullopt, 0, Weight::medium, Design::standard, true));
  EXPECT_NEAR(plain.size.width, 61.4, 0.1);
  EXPECT_NEAR(tnum.size.width, 85.7, 0.1);
}

TEST(PangoText, LineLimitCountsAcrossParagraphs) {
  auto m = pango().measure(req("a\nb\nc\nd", 10, 100, 2));
  EXPECT_EQ(m.lines, 2);
  EXPECT_TRUE(m.truncated);
  EXPECT_EQ(m.shown, "a\nb\u2026");
  auto whole = pango().measure(req("a\nb\nc\nd", 10, 100, 0));
  EXPECT_EQ(whole.lines, 4);
  EXPECT_EQ(whole.shown, "a\nb\nc\nd");
  EXPECT_NEAR(m.size.height, 2 * 12.103, 0.01);
}

TEST(PangoText, WrapsAtWordsAndEllipsizesTail) {
  auto wrapped = pango().measure(req("alpha beta gamma delta", 10, 60));
  EXPECT_EQ(wrapped.lines, 3);
  EXPECT_LE(wrapped.size.width, 60);
  EXPECT_EQ(wrapped.shown, "alpha beta\ngamma\ndelta");
  auto cut = pango().measure(req("alpha beta gamma delta", 10, 60, 1));
  EXPECT_EQ(cut.lines, 1);
  EXPECT_TRUE(cut.truncated);
  EXPECT_LE(cut.size.width, 60);
  EXPECT_EQ(cut.shown.substr(0, 6), "alpha ");
  EXPECT_EQ(cut.shown.substr(cut.shown.size() - 3), "\u2026");
  auto ideal = pango().measure(req("alpha beta gamma delta", 10));
  EXPECT_EQ(ideal.lines, 1);
  EXPECT_FALSE(ideal.truncated);
}

// Spaces that end a wrapped line hang past the width without showing; the text is as wide as
// what it shows.
TEST(PangoText, HangingSpacesDoNotWidenAWrappedLine) {
  const double bare = pango().measure(req("#18 dolor", 28.9, std::nullopt, 1, Weight::semibold, Design::rounded)).size.width;
  const double spaced = pango().measure(req("#18 dolor ", 28.9, std::nullopt, 1, Weight::semibold, Design::rounded)).size.width;
  ASSERT_GT(spaced, bare + 1);
  for (const int limit : {1, 0}) {
    const auto m = pango().measure(req("#18 dolor ", 28.9, (bare + spaced) / 2, limit, Weight::semibold, Design::rounded));
    EXPECT_FALSE(m.truncated);
    EXPECT_EQ(m.shown, "#18 dolor");
    EXPECT_NEAR(m.size.width, bare, 1e-6) << limit;
  }
}

// One cluster wider than the width (a base carrying hundreds of enclosing keycap marks, each as
// wide as a digit) cannot be broken: the text is cut there with an ellipsis instead of spilling.
TEST(PangoText, AnUnbreakableClusterWiderThanTheWidthIsCut) {
  std::string cluster = "a";
  for (int i = 0; i < 200; ++i) cluster += "\u20E3";
  const double ideal = pango().measure(req(cluster, 12)).size.width;
  ASSERT_GT(ideal, 100);
  for (const int limit : {1, 0}) {
    const auto m = pango().measure(req(cluster, 12, 60, limit));
    SCOPED_TRACE(limit);
    EXPECT_TRUE(m.truncated);
    EXPECT_EQ(m.lines, 1);
    EXPECT_LE(m.size.width, 60);
    EXPECT_TRUE(m.shown.ends_with("\u2026"));
  }
}

// A text without a line limit probed narrower than a glyph breaks after every character; it
// stops at 200 lines, cut with an ellipsis.
TEST(PangoText, LinesStopAtTwoHundred) {
  const std::string word(4096, 'x');
  const auto narrow = pango().measure(req(word, 20, 0));
  EXPECT_EQ(narrow.lines, 200);
  EXPECT_TRUE(narrow.truncated);
  EXPECT_TRUE(narrow.shown.ends_with("\u2026"));
  const auto shortWord = pango().measure(req(std::string(150, 'x'), 20, 0));
  EXPECT_EQ(shortWord.lines, 150);
  EXPECT_FALSE(shortWord.truncated);
}

TEST(PangoText, BadInputIsBoundedAndSafe) {
  const std::string invalid("ab\xff\xfe\xc3(", 6);
  const std::string longWord(100000, 'x');
  struct Case {
    const char* name;
    TextRequest r;
  };
  const std::vector<Case> cases = {
      {"invalid utf8", req(invalid, 12, 100)},
      {"10000 chars one line", req(longWord.substr(0, 10000), 12, 364, 1)},
      {"100000 chars one line", req(longWord, 12, 364, 1)},
      {"100000 chars zero width", req(longWord, 12, 0, 2)},
      {"10000 chars zero width", req(longWord.substr(0, 10000), 12, 0, 2)},
      {"rtl", req("\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd \u0645\u0631\u062d\u0628\u0627", 12, 40, 2)},
      {"emoji", req("\U0001F469\u200D\U0001F469\u200D\U0001F467 \U0001F1E9\U0001F1EA ok", 12, 30, 1)},
      {"combining", req("e\u0301\u0301\u0301a\u0308", 12, 5)},
      {"empty", req("", 12, 100, 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto m = pango().measure(c.r);
    EXPECT_TRUE(std::isfinite(m.size.width) && std::isfinite(m.size.height));
    EXPECT_GE(m.lines, 1);
    EXPECT_LE(m.lines, 2) << m.shown.size();
    EXPECT_TRUE(g_utf8_validate(m.shown.data(), static_cast<gssize>(m.shown.size()), nullptr));
  }
}

// The process-wide measurement cache: a request that differs in anything that changes its
// measurement is measured anew; the colour alone never is; the cache stays within its bounds.
TEST(PangoTextCache, KeysHoldEverythingThatChangesAMeasurement) {
  const TextRequest base = req("Weekly limit", 12, 80.0, 1);
  auto with = [&](auto change) {
    TextRequest r = base;
    change(r);
    return r;
  };
  const std::vector<std::pair<const char*, TextRequest>> different = {
      {"text", with([](TextRequest& r) { r.runs[0].text = "Weekly limiT"; })},
      {"size", with([](TextRequest& r) { r.runs[0].size = 12.5; })},
      {"weight", with([](TextRequest& r) { r.runs[0].weight = Weight::semibold; })},
      {"design", with([](TextRequest& r) { r.runs[0].design = Design::rounded; })},
      {"digits", with([](TextRequest& r) { r.runs[0].monospacedDigits = true; })},
      {"width", with([](TextRequest& r) { r.width = 81.0; })},
      {"ideal width", with([](TextRequest& r) { r.width.reset(); })},
      {"height", with([](TextRequest& r) { r.maxHeight = 20.0; })},
      {"line limit", with([](TextRequest& r) { r.lineLimit = 2; })},
      {"run boundary", with([](TextRequest& r) {
         r.runs[0].text = "Weekly";
         r.runs.push_back(r.runs[0]);
         r.runs[1].text = " limit";
       })},
      {"run boundary moved", with([](TextRequest& r) {
         r.runs[0].text = "Weekly ";
         r.runs.push_back(r.runs[0]);
         r.runs[1].text = "limit";
       })},
  };
  const std::string key = measureKey(base);
  std::set<std::string> keys{key};
  for (const auto& [what, request] : different) {
    EXPECT_TRUE(keys.insert(measureKey(request)).second) << what << " does not change the key";
  }
  TextRequest recoloured = base;
  recoloured.runs[0].color = Paint{"red", 0.5};
  EXPECT_EQ(measureKey(recoloured), key);
}

TEST(PangoTextCache, AnswersRepeatsFromTheCacheWithinItsBounds) {
  const auto& measurer = PangoTextMeasurer::shared();
  measurer.clearCache();
  const TextRequest r = req("Ahead of pace", 10, 0.0, 1);
  const PangoTextMeasurer::CacheStats before = measurer.cacheStats();
  const TextMetrics first = measurer.measure(r);
  const TextMetrics again = measurer.measure(r);
  const PangoTextMeasurer::CacheStats after = measurer.cacheStats();
  EXPECT_EQ(after.misses - before.misses, 1u);
  EXPECT_EQ(after.hits - before.hits, 1u);
  EXPECT_EQ(again.size.width, first.size.width);
  EXPECT_EQ(again.shown, first.shown);
  EXPECT_EQ(again.truncated, first.truncated);

  // More distinct texts than the cache holds: the oldest go, the newest stay.
  for (std::size_t i = 0; i < PangoTextMeasurer::kCacheEntries + 50; ++i) {
    measurer.measure(req("run " + std::to_string(i), 11, std::nullopt, 1));
  }
  const PangoTextMeasurer::CacheStats full = measurer.cacheStats();
  EXPECT_EQ(full.entries, PangoTextMeasurer::kCacheEntries);
  EXPECT_LE(full.bytes, PangoTextMeasurer::kCacheBytes);
  const std::size_t misses = full.misses;
  measurer.measure(req("run " + std::to_string(PangoTextMeasurer::kCacheEntries + 49), 11, std::nullopt, 1));
  EXPECT_EQ(measurer.cacheStats().misses, misses);
  measurer.measure(r);  // evicted long ago
  EXPECT_EQ(measurer.cacheStats().misses, misses + 1);

}

}  // namespace
}  // namespace korvel::ui
