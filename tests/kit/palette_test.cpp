#include "kit/palette.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace korvel {
namespace {

struct Expected {
  const char* name;
  Rgba light;
  Rgba dark;
};

// The palette's table, typed in again so a slip in either copy shows up.
const Expected kTable[] = {
    {"paper", {0.953, 0.965, 0.933, 1}, {0.086, 0.161, 0.110, 1}},
    {"ink", {0.082, 0.141, 0.102, 1}, {0.949, 0.949, 0.953, 1}},
    {"inkSoft", {0.302, 0.353, 0.314, 1}, {0.710, 0.710, 0.733, 1}},
    {"inkFaint", {0.435, 0.478, 0.443, 1}, {0.545, 0.545, 0.573, 1}},
    {"lime", {0.298, 0.478, 0.094, 1}, {0.780, 0.945, 0.514, 1}},
    {"hairline", {0, 0, 0, 0.07}, {1, 1, 1, 0.08}},
    {"green", {0.184, 0.541, 0.333, 1}, {0.263, 0.663, 0.427, 1}},
    {"blue", {0.290, 0.455, 0.788, 1}, {0.435, 0.573, 0.890, 1}},
    {"orange", {0.722, 0.412, 0.122, 1}, {0.776, 0.478, 0.208, 1}},
    {"amber", {0.659, 0.373, 0.071, 1}, {0.910, 0.643, 0.365, 1}},
    {"red", {0.761, 0.271, 0.243, 1}, {0.937, 0.467, 0.439, 1}},
};

TEST(Palette, ElevenColoursInTableOrder) {
  const auto& colors = paletteColors();
  ASSERT_EQ(colors.size(), std::size(kTable));
  for (std::size_t i = 0; i < colors.size(); ++i) EXPECT_EQ(colors[i].name, kTable[i].name);
}

TEST(Palette, ResolvesEveryColourInBothAppearances) {
  for (const Expected& e : kTable) {
    SCOPED_TRACE(e.name);
    EXPECT_EQ(resolve(ui::Paint{e.name}, Appearance::light), e.light);
    EXPECT_EQ(resolve(ui::Paint{e.name}, Appearance::dark), e.dark);
  }
}

TEST(Palette, ConstantsNameTheirColours) {
  const ui::Paint* constants[] = {&paper, &ink,  &inkSoft, &inkFaint, &lime, &hairline,
                                  &green, &blue, &orange,  &amber,    &red};
  for (std::size_t i = 0; i < std::size(constants); ++i) {
    EXPECT_EQ(constants[i]->color, kTable[i].name);
    EXPECT_EQ(constants[i]->opacity, 1.0);
    EXPECT_NE(findPaletteColor(constants[i]->color), nullptr);
  }
}

TEST(Palette, PaperAndInkSwapRolesWithTheAppearance) {
  const Rgba lightPaper = resolve(paper, Appearance::light);
  const Rgba darkPaper = resolve(paper, Appearance::dark);
  const Rgba lightInk = resolve(ink, Appearance::light);
  const Rgba darkInk = resolve(ink, Appearance::dark);
  EXPECT_GT(lightPaper.g, 0.9);
  EXPECT_LT(lightInk.g, 0.2);
  EXPECT_LT(darkPaper.g, 0.2);
  EXPECT_GT(darkInk.g, 0.9);
}

TEST(Palette, HairlineNeverBecomesOpaque) {
  EXPECT_EQ(resolve(hairline, Appearance::light).a, 0.07);
  EXPECT_EQ(resolve(hairline, Appearance::dark).a, 0.08);
  EXPECT_DOUBLE_EQ(resolve(hairline.opacity_(0.5), Appearance::dark).a, 0.04);
  EXPECT_DOUBLE_EQ(resolve(ui::Paint{"hairline", 7.0}, Appearance::light).a, 0.07);
}

TEST(Palette, OpacityMultipliesTheColoursAlpha) {
  struct Case {
    double opacity, alpha;
  } cases[] = {{1, 1}, {0.5, 0.5}, {0.25, 0.25}, {0, 0}, {-1, 0}, {3, 1}};
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(resolve(lime.opacity_(c.opacity), Appearance::light).a, c.alpha)
        << c.opacity;
  }
  EXPECT_EQ(resolve(ui::Paint{"lime", std::numeric_limits<double>::quiet_NaN()},
                    Appearance::dark).a, 0);
  EXPECT_EQ(resolve(ui::Paint{"lime", std::numeric_limits<double>::infinity()},
                    Appearance::dark).a, 0);
}

TEST(Palette, OnlyADarkMatchDrawsDarkValues) {
  EXPECT_EQ(appearanceFromName("dark"), Appearance::dark);
  for (const char* other : {"light", "", "Dark", "highContrastLight", "vibrantLight"}) {
    EXPECT_EQ(appearanceFromName(other), Appearance::light) << other;
  }
  EXPECT_EQ(name(Appearance::dark), "dark");
  EXPECT_EQ(name(Appearance::light), "light");
}

TEST(Palette, ColorProviderPicksTheAppearancesValue) {
  const PaletteColor* amberColor = findPaletteColor("amber");
  ASSERT_NE(amberColor, nullptr);
  EXPECT_EQ(colorProvider(*amberColor, Appearance::light), (Rgba{0.659, 0.373, 0.071, 1}));
  EXPECT_EQ(colorProvider(*amberColor, Appearance::dark), (Rgba{0.910, 0.643, 0.365, 1}));
}

TEST(Palette, UnknownNamesPaintAsInk) {
  EXPECT_EQ(findPaletteColor("purple"), nullptr);
  EXPECT_EQ(findPaletteColor("Ink"), nullptr);
  EXPECT_EQ(resolve(ui::Paint{"purple"}, Appearance::dark), resolve(ink, Appearance::dark));
  EXPECT_EQ(resolve(ui::Paint{""}, Appearance::light), resolve(ink, Appearance::light));
  EXPECT_DOUBLE_EQ(resolve(ui::Paint{"purple", 0.5}, Appearance::light).a, 0.5);
}

}  // namespace
}  // namespace korvel
