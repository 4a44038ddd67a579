#include "faces/face_view.h"

#include <gtest/gtest.h>

#include "faces/empty_face.h"
#include "face_test_support.h"

namespace korvel {
namespace {

using facetest::headerRow;
using facetest::kGenerated;
using facetest::layoutFake;
using facetest::sampleSnapshot;
using facetest::textsOf;

constexpr WeekFaceSize kSizes[] = {WeekFaceSize::small, WeekFaceSize::medium,
                                   WeekFaceSize::large};

// Content areas inside the host's margins.
ui::Size area(WeekFaceSize size) {
  switch (size) {
    case WeekFaceSize::small: return {138, 138};
    case WeekFaceSize::medium: return {332, 138};
    case WeekFaceSize::large: return {332, 350};
  }
  return {};
}

const TimeFormat& usUtc() {
  static const TimeFormat format(TimeSettings{"en_US", "UTC"});
  return format;
}

WeekFaceView faceView(WeekFaceKind kind, WeekFaceSize size, std::optional<WeekSnapshot> s,
                      double now = kGenerated + 3600) {
  return WeekFaceView{.kind = kind, .size = size, .snapshot = std::move(s),
                      .place = WeekPlace::mac, .now = now, .format = usUtc()};
}

ui::DisplayList draw(const WeekFaceView& v) {
  const ui::Size a = area(v.size);
  return layoutFake(v.view(), a.width, a.height);
}

std::string describe(WeekFaceKind kind, WeekFaceSize size) {
  return std::string(rawValue(kind)) + " " + std::string(name(size));
}

TEST(FaceSelection, NoSnapshotDrawsTheMacEmptyFaceForEveryKindAndSize) {
  for (const WeekFaceKind kind : allWeekFaceKinds) {
    for (const WeekFaceSize size : kSizes) {
      SCOPED_TRACE(describe(kind, size));
      const ui::DisplayList list = draw(faceView(kind, size, std::nullopt));
      ASSERT_EQ(list.ops.size(), 2u);
      EXPECT_EQ(list.ops[0].paint.color, "lime");
      EXPECT_FALSE(list.ops[0].accent);
      EXPECT_EQ(list.ops[1].text.text, "Open Korvel and this fills in within minutes.");
    }
  }
}

TEST(FaceSelection, OffDrawsTheOffFaceForEveryKindButLimits) {
  WeekSnapshot off = sampleSnapshot();
  off.off = true;
  for (const WeekFaceKind kind : allWeekFaceKinds) {
    for (const WeekFaceSize size : kSizes) {
      SCOPED_TRACE(describe(kind, size));
      const ui::DisplayList list = draw(faceView(kind, size, off));
      const std::vector<std::string> texts = textsOf(facetest::textOps(list));
      if (kind == WeekFaceKind::limits) {
        // Limits keeps its face and its normal header.
        const std::vector<std::string> top = textsOf(headerRow(list));
        ASSERT_FALSE(top.empty());
        EXPECT_EQ(top[0], "Limits");
        EXPECT_EQ(std::count(texts.begin(), texts.end(), "Korvel is off"), 0);
      } else {
        std::vector<std::string> expected{"Korvel is off"};
        if (size != WeekFaceSize::small) expected.push_back(off.words.offHint);
        expected.push_back("Turn on \u2192");
        EXPECT_EQ(texts, expected);
      }
    }
  }
}

TEST(FaceSelection, ChoiceMatrix) {
  WeekSnapshot on = sampleSnapshot();
  WeekSnapshot off = sampleSnapshot();
  off.off = true;
  for (const WeekFaceKind kind : allWeekFaceKinds) {
    EXPECT_EQ(chooseFace(kind, nullptr), FaceChoice::empty);
    EXPECT_EQ(chooseFace(kind, &on), FaceChoice::kind);
    EXPECT_EQ(chooseFace(kind, &off),
              kind == WeekFaceKind::limits ? FaceChoice::kind : FaceChoice::off);
  }
}

struct HeaderCase {
  WeekFaceKind kind;
  WeekFaceSize size;
  const char* title;
  const char* trailing;
};

// Title and trailing text by kind and size; the time follows from medium up.
const HeaderCase kHeaderCases[] = {
    {WeekFaceKind::autonomy, WeekFaceSize::small, "Without you", ""},
    {WeekFaceKind::autonomy, WeekFaceSize::medium, "Without you", "Jun 9 \u2013 15"},
    {WeekFaceKind::autonomy, WeekFaceSize::large, "Without you", "Jun 9 \u2013 15"},
    {WeekFaceKind::outcomes, WeekFaceSize::small, "How runs ended", ""},
    {WeekFaceKind::outcomes, WeekFaceSize::medium, "How runs ended", "Jun 9 \u2013 15"},
    {WeekFaceKind::outcomes, WeekFaceSize::large, "How runs ended", "Jun 9 \u2013 15"},
    {WeekFaceKind::receipt, WeekFaceSize::small, "Receipt", ""},
    {WeekFaceKind::receipt, WeekFaceSize::medium, "Receipt of the week", "Jun 9 \u2013 15"},
    {WeekFaceKind::receipt, WeekFaceSize::large, "Receipt of the week", "Jun 9 \u2013 15"},
    {WeekFaceKind::rhythm, WeekFaceSize::small, "Rhythm", ""},
    {WeekFaceKind::rhythm, WeekFaceSize::medium, "Rhythm of the week", "Jun 9 \u2013 15"},
    {WeekFaceKind::rhythm, WeekFaceSize::large, "Rhythm of the week", "Jun 9 \u2013 15"},
    {WeekFaceKind::volume, WeekFaceSize::small, "Code", ""},
    {WeekFaceKind::volume, WeekFaceSize::medium, "Code changes", "Jun 9 \u2013 15"},
    {WeekFaceKind::volume, WeekFaceSize::large, "Code changes", "Jun 9 \u2013 15"},
    {WeekFaceKind::limits, WeekFaceSize::small, "Limits", ""},
    {WeekFaceKind::limits, WeekFaceSize::medium, "Limits", "right now"},
    {WeekFaceKind::limits, WeekFaceSize::large, "Limits", "right now"},
    {WeekFaceKind::now, WeekFaceSize::small, "Now", ""},
    {WeekFaceKind::now, WeekFaceSize::medium, "Working now", ""},
    {WeekFaceKind::now, WeekFaceSize::large, "Working now", ""},
    {WeekFaceKind::week, WeekFaceSize::small, "Jun 9 \u2013 15", ""},
    {WeekFaceKind::week, WeekFaceSize::medium, "Jun 9 \u2013 15", ""},
    {WeekFaceKind::week, WeekFaceSize::large, "Jun 9 \u2013 15", ""},
};

TEST(FaceHeaderFields, EveryKindAndSize) {
  const WeekSnapshot s = sampleSnapshot();
  for (const HeaderCase& c : kHeaderCases) {
    SCOPED_TRACE(describe(c.kind, c.size));
    const bool small = c.size == WeekFaceSize::small;
    const FaceHeader h = faceHeader(c.kind, c.size, s, WeekPlace::mac, kGenerated + 60, usUtc());
    EXPECT_EQ(h.title, c.title);
    EXPECT_EQ(h.trailing, c.trailing);
    EXPECT_EQ(h.time, small ? std::nullopt : std::optional<double>(kGenerated));
    EXPECT_EQ(h.staleWords, small ? std::nullopt : std::optional<std::string>("App closed"));
    EXPECT_EQ(h.staleSince, std::nullopt);
    EXPECT_EQ(h.asOf, kGenerated + 60);
  }
}

TEST(FaceHeaderFields, DrawnAtTheTopOfEveryFace) {
  const WeekSnapshot s = sampleSnapshot();
  for (const HeaderCase& c : kHeaderCases) {
    SCOPED_TRACE(describe(c.kind, c.size));
    const std::vector<std::string> top = textsOf(headerRow(draw(faceView(c.kind, c.size, s))));
    std::vector<std::string> expected{c.title, c.trailing};
    if (c.size != WeekFaceSize::small) {
      expected.push_back(std::string(*c.trailing ? " \u00B7 " : "") + "4:42\u202FPM");
    }
    EXPECT_EQ(top, expected);
  }
}

TEST(FaceHeaderFields, PhonePlacementUsesTheMacAwayWords) {
  const FaceHeader h = faceHeader(WeekFaceKind::volume, WeekFaceSize::medium, sampleSnapshot(),
                                  WeekPlace::phone, kGenerated, usUtc());
  EXPECT_EQ(h.staleWords, "Mac away");
}

TEST(Staleness, StrictlyMoreThanThreeHours) {
  const WeekSnapshot s = sampleSnapshot();
  struct Case {
    double now;
    bool stale;
  };
  const Case cases[] = {
      {kGenerated + 10800, false},     // exactly three hours is still fresh
      {kGenerated + 10800.001, true},  // a millisecond more is stale
      {kGenerated, false},
      {kGenerated - 50000, false},     // generated in the future
      {kGenerated + 86400 * 30, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(isStale(s, c.now), c.stale) << c.now - kGenerated;
    for (const WeekFaceSize size : kSizes) {
      const FaceHeader h = faceHeader(WeekFaceKind::receipt, size, s, WeekPlace::mac, c.now, usUtc());
      EXPECT_EQ(h.staleSince, c.stale ? std::optional<double>(kGenerated) : std::nullopt);
    }
    EXPECT_EQ(faceView(WeekFaceKind::receipt, WeekFaceSize::small, s, c.now).isStale(), c.stale);
  }
  EXPECT_FALSE(faceView(WeekFaceKind::receipt, WeekFaceSize::small, std::nullopt, 1e12).isStale());
}

TEST(Staleness, StaleHeaderOnEverySize) {
  const WeekSnapshot s = sampleSnapshot();
  const double now = kGenerated + 10800.001;
  const std::vector<std::string> small{"Receipt", "[clock]", "3 hr. ago"};
  const std::vector<std::string> larger{"Receipt of the week", "[clock]", "App closed \u00B7",
                                        "3 hr. ago"};
  EXPECT_EQ(textsOf(headerRow(draw(faceView(WeekFaceKind::receipt, WeekFaceSize::small, s, now)))),
            small);
  for (const WeekFaceSize size : {WeekFaceSize::medium, WeekFaceSize::large}) {
    EXPECT_EQ(textsOf(headerRow(draw(faceView(WeekFaceKind::receipt, size, s, now)))), larger);
  }
  // At exactly three hours the fresh form is still shown.
  EXPECT_EQ(textsOf(headerRow(draw(faceView(WeekFaceKind::receipt, WeekFaceSize::medium, s,
                                            kGenerated + 10800)))),
            (std::vector<std::string>{"Receipt of the week", "Jun 9 \u2013 15",
                                      " \u00B7 4:42\u202FPM"}));
}

TEST(GenerationTime, KeepsFractionsOfASecond) {
  WeekSnapshot s = sampleSnapshot();
  s.generatedMs = 1500;
  EXPECT_EQ(faceView(WeekFaceKind::now, WeekFaceSize::small, s).generationTime(), 1.5);
  EXPECT_EQ(faceView(WeekFaceKind::now, WeekFaceSize::small, std::nullopt).generationTime(),
            std::nullopt);
}

TEST(GenerationTime, ExtremesDrawWithoutATime) {
  for (const std::int64_t ms : {std::numeric_limits<std::int64_t>::max(),
                                std::numeric_limits<std::int64_t>::min()}) {
    WeekSnapshot s = sampleSnapshot();
    s.generatedMs = ms;
    const std::vector<std::string> top =
        textsOf(headerRow(draw(faceView(WeekFaceKind::limits, WeekFaceSize::medium, s))));
    if (ms > 0) {
      EXPECT_EQ(top, (std::vector<std::string>{"Limits", "right now", " \u00B7 "}));
    } else {  // generated long ago: stale, with an age ICU cannot word
      EXPECT_EQ(top, (std::vector<std::string>{"Limits", "[clock]", "App closed \u00B7", ""}));
    }
  }
}

TEST(FaceFrame, TakesTheWholeAreaFromTheTopLeadingCorner) {
  for (const WeekFaceKind kind : allWeekFaceKinds) {
    for (const WeekFaceSize size : kSizes) {
      SCOPED_TRACE(describe(kind, size));
      for (const std::optional<WeekSnapshot>& s :
           {std::optional<WeekSnapshot>(), std::optional<WeekSnapshot>(sampleSnapshot())}) {
        const ui::View v = faceView(kind, size, s).view();
        const ui::Size measured = ui::measureView(v, 500, 400, facetest::fakeMeasurer());
        EXPECT_NEAR(measured.width, 500, 1e-9);  // sums of child widths may be off by an ulp
        EXPECT_NEAR(measured.height, 400, 1e-9);
        const ui::DisplayList list = layoutFake(v, 500, 400);
        ASSERT_FALSE(list.ops.empty());
        EXPECT_EQ(list.ops[0].rect.x, 0);  // the mark starts every face at the leading edge
      }
    }
  }
}

TEST(FaceFrame, SmallerFaceSitsAtTheTopLeft) {
  // The empty face's message, a single line at this width, starts at the leading edge rather
  // than being centred.
  const ui::DisplayList list = layoutFake(faceView(WeekFaceKind::now, WeekFaceSize::large,
                                                   std::nullopt).view(), 600, 200);
  ASSERT_EQ(list.ops.size(), 2u);
  EXPECT_EQ(list.ops[1].rect.x, 0);
  EXPECT_EQ(list.ops[1].text.lines, 1);
}

TEST(FaceFrame, InkIsTheDefaultForeground) {
  WeekSnapshot off = sampleSnapshot();
  off.off = true;
  ui::LayoutOptions options;
  options.defaultForeground = ui::Paint{"red"};
  const ui::DisplayList list =
      layoutFake(faceView(WeekFaceKind::volume, WeekFaceSize::small, off).view(), 138, 138, options);
  const auto texts = facetest::textOps(list);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[0].text.text, "Korvel is off");
  EXPECT_EQ(texts[0].text.runs[0].color.color, "ink");
}

}  // namespace
}  // namespace korvel
