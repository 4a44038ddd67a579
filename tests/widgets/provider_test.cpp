#include "widgets/week_provider.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "snapshot/fake_lookups.h"
#include "snapshot/test_files.h"

namespace korvel {
namespace {

using testing::FakeLookups;
using testing::ScratchDir;

// A moment whose seconds are exact in binary, so dates compare without rounding.
constexpr double kNow = 1749750000.0;

std::string sampleGeneratedAt(double seconds) {
  return testing::replaceOnce(testing::exampleText("week.json"), "\"generatedMs\": 1749746527123",
                              "\"generatedMs\": " +
                                  std::to_string(static_cast<long long>(seconds * 1000)));
}

class Provider : public ::testing::Test {
 protected:
  Provider() { lookups.group = dir.path(); }

  void writeSnapshot(const std::string& text) { testing::writeFile(dir / "week.json", text); }

  Timeline timeline(double now = kNow) const {
    const WeekProvider provider(lookups, [now] { return now; });
    int calls = 0;
    Timeline result;
    provider.getTimeline([&](Timeline t) {
      ++calls;
      result = std::move(t);
    });
    EXPECT_EQ(calls, 1);
    return result;
  }

  std::vector<double> dates(const Timeline& t) const {
    std::vector<double> out;
    for (const auto& e : t.entries) out.push_back(e.date);
    return out;
  }

  ScratchDir dir;
  FakeLookups lookups;
};

TEST_F(Provider, NoFileGivesOneEmptyEntryAndReloadIn15Minutes) {
  const Timeline t = timeline();
  ASSERT_EQ(t.entries.size(), 1u);
  EXPECT_EQ(t.entries[0].date, kNow);
  EXPECT_FALSE(t.entries[0].snapshot.has_value());
  EXPECT_EQ(t.reloadAfter, kNow + 900);
}

TEST_F(Provider, BrokenFileIsLikeNoFile) {
  writeSnapshot(testing::replaceOnce(sampleGeneratedAt(kNow - 3600), "\"v\": 1,", "\"v\": 0,"));
  const Timeline t = timeline();
  EXPECT_EQ(dates(t), std::vector<double>{kNow});
  EXPECT_FALSE(t.entries[0].snapshot.has_value());
  EXPECT_EQ(t.reloadAfter, kNow + 900);
}

struct StaleCase {
  const char* name;
  double generatedBeforeNow;
  std::vector<double> entryOffsets;  // entry dates minus now
};

void PrintTo(const StaleCase& c, std::ostream* os) { *os << c.name; }

class StaleEntry : public Provider, public ::testing::WithParamInterface<StaleCase> {};

TEST_P(StaleEntry, AppearsOnlyWhenStrictlyLater) {
  writeSnapshot(sampleGeneratedAt(kNow - GetParam().generatedBeforeNow));
  const Timeline t = timeline();
  std::vector<double> offsets;
  for (double d : dates(t)) offsets.push_back(d - kNow);
  EXPECT_EQ(offsets, GetParam().entryOffsets);
  for (const auto& entry : t.entries) {
    ASSERT_TRUE(entry.snapshot.has_value());
    EXPECT_EQ(*entry.snapshot, *t.entries[0].snapshot);
  }
  EXPECT_EQ(t.reloadAfter, kNow + 900);
}

INSTANTIATE_TEST_SUITE_P(
    Generation, StaleEntry,
    ::testing::Values(StaleCase{"OneHourAgo", 3600, {0, 7201}},
                      StaleCase{"FiveHoursAgo", 5 * 3600, {0}},
                      StaleCase{"Exactly10801Ago", 10801, {0}},
                      StaleCase{"HalfSecondBeforeThat", 10800.5, {0, 0.5}},
                      StaleCase{"JustNow", 0, {0, 10801}},
                      StaleCase{"TenMinutesInTheFuture", -600, {0, 11401}}),
    [](const ::testing::TestParamInfo<StaleCase>& p) { return std::string(p.param.name); });

TEST_F(Provider, MillisecondsCarryIntoTheStaleDate) {
  writeSnapshot(testing::exampleText("week.json"));  // generated at ...527.123
  const Timeline t = timeline(1749746527.123 + 60);
  ASSERT_EQ(t.entries.size(), 2u);
  EXPECT_DOUBLE_EQ(t.entries[1].date, 1749746527.123 + 10801);
}

TEST_F(Provider, PlaceholderNeverReadsTheFile) {
  writeSnapshot(sampleGeneratedAt(kNow - 60));
  const WeekProvider provider(lookups, [] { return kNow; });
  const WeekEntry entry = provider.placeholder();
  EXPECT_EQ(entry.date, kNow);
  EXPECT_FALSE(entry.snapshot.has_value());
  EXPECT_EQ(lookups.calls, 0);
}

TEST_F(Provider, SnapshotRequestCarriesTheRealData) {
  const WeekProvider provider(lookups, [] { return kNow; });
  std::vector<WeekEntry> delivered;
  provider.getSnapshot([&](WeekEntry e) { delivered.push_back(std::move(e)); });
  ASSERT_EQ(delivered.size(), 1u);
  EXPECT_FALSE(delivered[0].snapshot.has_value());

  writeSnapshot(sampleGeneratedAt(kNow - 60));
  provider.getSnapshot([&](WeekEntry e) { delivered.push_back(std::move(e)); });
  ASSERT_EQ(delivered.size(), 2u);
  EXPECT_EQ(delivered[1].date, kNow);
  ASSERT_TRUE(delivered[1].snapshot.has_value());
  EXPECT_EQ(delivered[1].snapshot->generatedMs, static_cast<std::int64_t>((kNow - 60) * 1000));
}

TEST_F(Provider, TakesTheTimeBeforeTouchingTheFile) {
  std::vector<std::string> events;
  const WeekProvider provider(
      [&] {
        events.push_back("load");
        return std::optional<WeekSnapshot>();
      },
      [&] {
        events.push_back("clock");
        return kNow;
      });
  provider.getTimeline([&](Timeline) { events.push_back("completion"); });
  provider.getSnapshot([&](WeekEntry) { events.push_back("completion"); });
  EXPECT_EQ(events, (std::vector<std::string>{"clock", "load", "completion", "clock", "load",
                                              "completion"}));
}

TEST_F(Provider, FileOverrideReplacesOnlyTheLocation) {
  testing::writeFile(dir / "elsewhere.json", sampleGeneratedAt(kNow - 3600));
  const WeekProvider provider(dir / "elsewhere.json", [] { return kNow; });
  Timeline t;
  provider.getTimeline([&](Timeline got) { t = std::move(got); });
  EXPECT_EQ(dates(t), (std::vector<double>{kNow, kNow + 7201}));

  testing::writeFile(dir / "elsewhere.json",
                     testing::replaceOnce(sampleGeneratedAt(kNow), "\"v\": 1,", "\"v\": 0,"));
  provider.getTimeline([&](Timeline got) { t = std::move(got); });
  EXPECT_EQ(dates(t), std::vector<double>{kNow});
  EXPECT_FALSE(t.entries[0].snapshot.has_value());
}

TEST_F(Provider, EachRequestReadsAfresh) {
  const WeekProvider provider(lookups, [] { return kNow; });
  EXPECT_FALSE(timeline().entries[0].snapshot.has_value());
  writeSnapshot(testing::exampleText("week-off.json"));
  Timeline t;
  provider.getTimeline([&](Timeline got) { t = std::move(got); });
  ASSERT_TRUE(t.entries[0].snapshot.has_value());
  EXPECT_TRUE(t.entries[0].snapshot->off);
}

TEST(ProviderClock, SystemClockIsSecondsSince1970) {
  const double now = systemClock();
  EXPECT_GT(now, 1.7e9);  // after November 2023
  EXPECT_LT(now, 4.1e9);  // before 2100
  EXPECT_EQ(WeekProvider([] { return std::optional<WeekSnapshot>(); }, systemClock).relevance(),
            std::nullopt);
}

}  // namespace
}  // namespace korvel
