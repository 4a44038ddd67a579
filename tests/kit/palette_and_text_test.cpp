// Colour resolution and the text helpers the faces decide with. Which colour each face draws in
// light and dark is held by the golden display lists.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "kit/palette.h"
#include "kit/text_utils.h"

namespace korvel {
namespace {

TEST(Palette, OpacityIsClampedAndMultipliesTheColoursOwnAlpha) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = HUGE_VAL;
  struct Row {
    ui::Paint paint;
    Appearance appearance;
    double alpha;
  } rows[] = {
      {lime.opacity_(0.5), Appearance::light, 0.5},    {lime.opacity_(-1), Appearance::light, 0},
      {lime.opacity_(3), Appearance::dark, 1},         {lime.opacity_(nan), Appearance::dark, 0},
      {lime.opacity_(inf), Appearance::dark, 0},       {hairline.opacity_(0.5), Appearance::dark, 0.04},
      {hairline.opacity_(7), Appearance::light, 0.07},
  };
  for (const Row& r : rows) {
    EXPECT_DOUBLE_EQ(resolve(r.paint, r.appearance).a, r.alpha) << r.paint.color << " " << r.paint.opacity;
  }
}

TEST(Palette, UnknownNamesPaintAsInkAndOnlyDarkIsDark) {
  for (const char* unknown : {"purple", "Ink", ""}) {
    EXPECT_EQ(findPaletteColor(unknown), nullptr) << unknown;
    EXPECT_EQ(resolve(ui::Paint{unknown, 0.5}, Appearance::dark), resolve(ink.opacity_(0.5), Appearance::dark));
  }
  EXPECT_EQ(appearanceFromName("dark"), Appearance::dark);
  for (const char* other : {"light", "", "Dark", "vibrantLight"}) EXPECT_EQ(appearanceFromName(other), Appearance::light);
}

TEST(TextUtils, GraphemesLowerCaseAndComposition) {
  const std::pair<const char*, std::size_t> graphemes[] = {
      {"12,345", 6}, {"e\u0301", 1}, {"\U0001F1E9\U0001F1EA", 1}, {"", 0},
      {"\U0001F468\u200D\U0001F469\u200D\U0001F467", 1}};
  for (const auto& [text, count] : graphemes) EXPECT_EQ(graphemeCount(text), count) << text;
  // The locale-independent mapping: no Turkish dotless i, a final sigma at the word's end.
  EXPECT_EQ(lowercased("Hours WITHOUT You"), "hours without you");
  EXPECT_EQ(lowercased("\u0130stanbul"), "i\u0307stanbul");
  EXPECT_EQ(lowercased("\u039F\u0394\u039F\u03A3"), "\u03BF\u03B4\u03BF\u03C2");
  EXPECT_EQ(nfc("Cafe\u0301"), "Caf\u00E9");
}

}  // namespace
}  // namespace korvel
