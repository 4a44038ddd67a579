#include "faces/time_format.h"

#include "faces/face_header.h"
#include "faces/face_view.h"
#include "ui/text_measurer.h"
#include "ui/layout.h"

#include <cstdint>
#include <filesystem>
#include <limits>
#include <map>
#include <string>

#include <gtest/gtest.h>

namespace korvel {
namespace {

// 2025-06-12 16:42:07.123 UTC, the sample snapshot's generation time.
constexpr double kGenerated = 1749746527.123;
constexpr double kHour = 3600, kDay = 86400;

const TimeFormat& usUtc() {
  static const TimeFormat format(TimeSettings{"en_US", "UTC"});
  return format;
}

struct ClockCase {
  const char* locale;
  const char* zone;
  double seconds;
  const char* expected;
};

TEST(ClockTime, FollowsLocaleHourCycleAndZone) {
  const ClockCase cases[] = {
      {"en_US", "UTC", kGenerated, "4:42\u202FPM"},  // ICU's narrow no-break space is kept
      {"en_US", "America/New_York", kGenerated, "12:42\u202FPM"},
      {"en_US", "UTC", 0, "12:00\u202FAM"},
      {"de_DE", "UTC", kGenerated, "16:42"},
      {"de_DE", "Europe/Berlin", kGenerated, "18:42"},
      {"en_GB", "Europe/London", kGenerated, "17:42"},
      {"de_DE", "Europe/Berlin", 1.5, "01:00"},  // fractions of a second do not round up
      {"ja_JP", "Asia/Tokyo", kGenerated, "1:42"},
      {"de_DE", "CET-1CEST,M3.5.0,M10.5.0/3", kGenerated, "18:42"},  // a POSIX rule, in summer
      {"de_DE", "CET-1CEST,M3.5.0,M10.5.0/3", kGenerated - 180 * kDay, "17:42"},
      {"de_DE", "<+0530>-5:30", kGenerated, "22:12"},
  };
  for (const ClockCase& c : cases) {
    SCOPED_TRACE(std::string(c.locale) + " " + c.zone);
    EXPECT_EQ(TimeFormat(TimeSettings{c.locale, c.zone}).clockTime(c.seconds), c.expected);
  }
}

TEST(ClockTime, TimesBeyondTheCalendarAreEmpty) {
  const double extremes[] = {
      static_cast<double>(std::numeric_limits<std::int64_t>::max()) / 1000.0,
      static_cast<double>(std::numeric_limits<std::int64_t>::min()) / 1000.0,
      std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::quiet_NaN(),
  };
  for (const double t : extremes) EXPECT_EQ(usUtc().clockTime(t), "") << t;
}

struct AgeCase {
  double since;
  double asOf;
  const char* expected;
};

TEST(RelativeAge, LargestWholeUnitTruncated) {
  const AgeCase cases[] = {
      {kGenerated, kGenerated + 10800.001, "3 hr. ago"},
      {kGenerated, kGenerated + 4 * kHour - 1, "3 hr. ago"},  // 3 h 59 min 59 s
      {kGenerated, kGenerated + 4 * kHour, "4 hr. ago"},
      {kGenerated, kGenerated + 59, "59 sec. ago"},
      {kGenerated, kGenerated + 90, "1 min. ago"},
      {kGenerated, kGenerated + 0.5, "0 sec. ago"},
      {kGenerated, kGenerated + kDay - 1, "23 hr. ago"},
      {kGenerated, kGenerated + kDay, "1 day ago"},  // numeric: never "yesterday"
      {kGenerated, kGenerated + 2 * kDay + 5 * kHour, "2 days ago"},
      {kGenerated, kGenerated + 13 * kDay, "1 wk. ago"},
      {kGenerated, kGenerated + 15 * kDay, "2 wk. ago"},
      // 2025-06-12 to 2025-07-12 is one calendar month; one second less is four weeks.
      {kGenerated, kGenerated + 30 * kDay, "1 mo. ago"},
      {kGenerated, kGenerated + 30 * kDay - 1, "4 wk. ago"},
      {kGenerated, kGenerated + 365 * kDay, "1 yr. ago"},
      {kGenerated, kGenerated + 800 * kDay, "2 yr. ago"},
      {0, kGenerated, "55 yr. ago"},
  };
  for (const AgeCase& c : cases) {
    EXPECT_EQ(usUtc().relativeAge(c.since, c.asOf), c.expected) << c.asOf - c.since;
  }
}

TEST(RelativeAge, DaysAreCalendarDaysInTheUsersZone) {
  // 2025-03-29 12:00 Berlin (CET) to 2025-03-30 12:00 (CEST) is 23 hours but one calendar day.
  const double before = 1743246000;  // 2025-03-29 11:00 UTC
  const TimeFormat berlin(TimeSettings{"en_US", "Europe/Berlin"});
  EXPECT_EQ(berlin.relativeAge(before, before + 23 * kHour), "1 day ago");
  EXPECT_EQ(usUtc().relativeAge(before, before + 23 * kHour), "23 hr. ago");
}

TEST(RelativeAge, LocaleWording) {
  const TimeFormat german(TimeSettings{"de_DE", "Europe/Berlin"});
  EXPECT_EQ(german.relativeAge(kGenerated, kGenerated + 3 * kHour + 5), "vor 3 Std.");
  EXPECT_EQ(german.relativeAge(kGenerated, kGenerated + 2 * kDay), "vor 2 Tagen");
  EXPECT_EQ(TimeFormat(TimeSettings{"sr_Latn_RS", "UTC"}).relativeAge(kGenerated, kGenerated + 2 * kDay), "pre 2 d.");  // not "пре 2 д."
}

TEST(RelativeAge, FutureTimesReadForward) {
  EXPECT_EQ(usUtc().relativeAge(kGenerated + 2 * kHour, kGenerated), "in 2 hr.");
}

TEST(RelativeAge, TimesBeyondTheCalendarAreEmpty) {
  const double lowest = static_cast<double>(std::numeric_limits<std::int64_t>::min()) / 1000.0;
  const double highest = static_cast<double>(std::numeric_limits<std::int64_t>::max()) / 1000.0;
  EXPECT_EQ(usUtc().relativeAge(lowest, kGenerated), "");
  EXPECT_EQ(usUtc().relativeAge(kGenerated, highest), "");
  EXPECT_EQ(usUtc().relativeAge(kGenerated, std::numeric_limits<double>::quiet_NaN()), "");
}

// Stale strictly after three hours; the header then shows the age instead of the clock time,
// and the larger faces the companion's words before it.
TEST(Staleness, StrictlyMoreThanThreeHoursAfterGeneration) {
  WeekSnapshot s;
  s.generatedMs = 1749746527123;
  s.words.appClosed = "closed";
  s.words.macAway = "away";
  const struct {
    double after;
    bool stale;
  } rows[] = {{10800, false}, {10800.001, true}, {0, false}, {-50000, false}, {86400 * 30, true}};
  for (const auto& r : rows) {
    EXPECT_EQ(isStale(s, kGenerated + r.after), r.stale) << r.after;
    const FaceHeader h = faceHeader(WeekFaceKind::receipt, WeekFaceSize::medium, s, WeekPlace::mac,
                                    kGenerated + r.after, usUtc());
    EXPECT_EQ(h.staleSince, r.stale ? std::optional<double>(kGenerated) : std::nullopt) << r.after;
    EXPECT_EQ(h.time, kGenerated);  // the fraction of a second is kept
  }
  EXPECT_EQ(faceHeader(WeekFaceKind::now, WeekFaceSize::large, s, WeekPlace::phone, kGenerated, usUtc()).staleWords, "away");
  EXPECT_EQ(faceHeader(WeekFaceKind::now, WeekFaceSize::small, s, WeekPlace::mac, kGenerated, usUtc()).time, std::nullopt);
}

// A time ICU cannot place leaves no separator behind it.
TEST(Header, TimesBeyondTheCalendarLeaveNoSeparator) {
  for (const std::int64_t ms : {std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min()}) {
    WeekSnapshot s;
    s.generatedMs = ms;
    s.period = "9 June";
    s.autonomy.title = "Without you";
    s.words.appClosed = "closed";
    const FaceHeader h = faceHeader(WeekFaceKind::autonomy, WeekFaceSize::medium, s, WeekPlace::mac, kGenerated, usUtc());
    std::string texts;
    for (const ui::Op& op : ui::layout(header(h), {334, 20}, ui::FakeTextMeasurer()).ops) {
      const auto* text = std::get_if<ui::DrawText>(&op);
      texts += (text ? text->text.shown : "") + "|";
    }
    EXPECT_EQ(texts, ms > 0 ? "|Without you|9 June|" : "|Without you||closed||");
  }
}

struct EnvCase {
  std::map<std::string, std::string> env;
  TimeSettings expected;
  bool warns;
};

TEST(TimeSettingsFromEnvironment, PrecedenceAndFallbacks) {
  const EnvCase cases[] = {
      {{}, {"en_US", "Europe/Berlin"}, false},  // TZ unset: the system's zone
      {{{"LANG", "de_DE.UTF-8"}}, {"de_DE", "Europe/Berlin"}, false},
      {{{"LANG", "de_DE.UTF-8"}, {"LC_TIME", "en_GB.UTF-8"}}, {"en_GB", "Europe/Berlin"}, false},
      {{{"LANG", "de_DE"}, {"LC_TIME", "en_GB"}, {"LC_ALL", "fr_FR.UTF-8"}}, {"fr_FR", "Europe/Berlin"}, false},
      {{{"LC_ALL", ""}, {"LANG", "de_DE.UTF-8@euro"}}, {"de_DE", "Europe/Berlin"}, false},
      {{{"LANG", "C.UTF-8"}}, {"en_US", "Europe/Berlin"}, false},
      {{{"LANG", "POSIX"}}, {"en_US", "Europe/Berlin"}, false},
      {{{"LANG", "zz_QQ.UTF-8"}}, {"en_US", "Europe/Berlin"}, true},
      {{{"TZ", "Europe/Berlin"}}, {"en_US", "Europe/Berlin"}, false},
      {{{"TZ", ":America/New_York"}}, {"en_US", "America/New_York"}, false},
      {{{"TZ", "Mars/Olympus_Mons"}}, {"en_US", "UTC"}, true},
      {{{"TZ", ":/usr/share/zoneinfo/Europe/Berlin"}}, {"en_US", "Europe/Berlin"}, false},
      {{{"TZ", "CET-1CEST,M3.5.0,M10.5.0/3"}}, {"en_US", "CET-1CEST,M3.5.0,M10.5.0/3"}, false},
      {{{"TZ", "CET-1CEST,M13.5.0"}}, {"en_US", "UTC"}, true},
      {{{"TZ", ""}}, {"en_US", "UTC"}, false},  // set and empty: UTC, not the system's zone
      {{{"LANG", "sr_RS.UTF-8@latin"}}, {"sr_Latn_RS", "Europe/Berlin"}, false},
  };
  const auto localtime = std::filesystem::path(::testing::TempDir()) / "localtime";
  std::filesystem::remove(localtime);
  std::filesystem::create_symlink("../usr/share/zoneinfo/Europe/Berlin", localtime);
  for (const EnvCase& c : cases) {
    const auto lookup = [&c](const char* key) -> const char* {
      const auto it = c.env.find(key);
      return it == c.env.end() ? nullptr : it->second.c_str();
    };
    const ResolvedTimeSettings got = timeSettingsFromEnvironment(lookup, localtime);
    EXPECT_EQ(got.settings, c.expected) << got.settings.locale << " " << got.settings.timeZone;
    EXPECT_EQ(!got.warning().empty(), c.warns) << got.warning();
  }
}

TEST(LocaleAndZoneNames, AcceptOnlyWhatIcuKnows) {
  EXPECT_EQ(icuLocaleId("de-DE"), "de_DE");
  EXPECT_EQ(icuLocaleId("ja_JP.eucJP"), "ja_JP");
  EXPECT_EQ(icuLocaleId("klingon"), std::nullopt);
  EXPECT_EQ(icuLocaleId(""), std::nullopt);
  EXPECT_EQ(knownTimeZone("UTC"), "UTC");
  EXPECT_EQ(knownTimeZone("Asia/Tokyo"), "Asia/Tokyo");
  EXPECT_EQ(knownTimeZone("Europe/Nowhere"), std::nullopt);
  EXPECT_EQ(knownTimeZone(":"), std::nullopt);
}

}  // namespace
}  // namespace korvel
