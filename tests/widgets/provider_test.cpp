// The timeline provider: an entry now, a second one once the faces turn stale, a reload in 15
// minutes; the time comes from the injected clock, and each request reads the file afresh.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_lookups.h"
#include "support/files.h"
#include "widgets/week_provider.h"

namespace korvel {
namespace {

constexpr double kProviderNow = 1749750000.0;  // exact in binary, as are the dates below

TEST(WeekProvider, TimelineFollowsTheSnapshotsAge) {
  const std::string sample = testing::exampleText("week.json");
  const auto generatedAgo = [&](std::int64_t ms) {  // milliseconds before now
    return testing::replaceOnce(sample, "1749746527123", std::to_string(1749750000000 - ms));
  };
  const struct {
    const char* name;
    std::optional<std::string> file;  // nothing: no file
    std::vector<double> entries;      // their dates minus now
  } cases[] = {
      {"NoFile", std::nullopt, {0}},
      {"OneHourOld", generatedAgo(3600000), {0, 7201}},
      {"StaleNow", generatedAgo(10801000), {0}},
      {"StaleInHalfASecond", generatedAgo(10800500), {0, 0.5}},  // the milliseconds count
  };
  testing::ScratchDir dir;
  testing::FakeLookups lookups;
  lookups.group = dir.path();
  const Clock clock = [] { return kProviderNow; };
  const WeekProvider providers[] = {WeekProvider(lookups, clock),             // through the lookups
                                    WeekProvider(dir / "week.json", clock)};  // a given file
  EXPECT_EQ(providers[0].placeholder(), (WeekEntry{kProviderNow, std::nullopt}));
  EXPECT_EQ(lookups.calls, 0);  // a placeholder never looks for the file
  for (const auto& c : cases) {
    if (c.file) testing::writeFile(dir / "week.json", *c.file);
    const auto snapshot = c.file ? decodeSnapshot(*c.file) : std::nullopt;
    Timeline expected{{}, kProviderNow + 900};
    for (const double d : c.entries) expected.entries.push_back({kProviderNow + d, snapshot});
    for (const WeekProvider& provider : providers) {
      std::vector<Timeline> delivered;
      provider.getTimeline([&](Timeline t) { delivered.push_back(std::move(t)); });
      EXPECT_EQ(delivered, std::vector<Timeline>{expected}) << c.name;
    }
  }
}

TEST(WeekProvider, TakesTheTimeBeforeLookingForTheFile) {
  testing::FakeLookups lookups;  // counts the questions asked
  const WeekProvider provider(lookups, [&lookups] { return kProviderNow + lookups.calls; });
  std::vector<double> dates;
  provider.getSnapshot([&](WeekEntry e) { dates.push_back(e.date); });
  const double afterOneLoad = kProviderNow + lookups.calls;
  provider.getTimeline([&](Timeline t) { dates.push_back(t.entries[0].date); });
  EXPECT_EQ(dates, (std::vector<double>{kProviderNow, afterOneLoad}));
  // The real clock counts seconds since 1970: between 2023 and 2100.
  EXPECT_GT(systemClock(), 1.7e9);
  EXPECT_LT(systemClock(), 4.1e9);
}

}  // namespace
}  // namespace korvel
