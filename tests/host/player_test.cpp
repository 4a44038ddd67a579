// The player driven by a scripted clock: what it draws, when it wakes, and nothing in between.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <thread>

#include "host/player/player.h"
#include "snapshot/decode.h"
#include "support/child_process.h"
#include "support/files.h"
#include "support/player_fakes.h"
#include "ui/text_measurer.h"

namespace korvel::host {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

constexpr double kStart = 1'750'000'000;  // the moment each test starts at

WeekSnapshot sampleGeneratedAt(double seconds) {
  auto snapshot = decodeSnapshot(korvel::testing::exampleText("week.json"));
  if (!snapshot) throw std::runtime_error("the sample does not decode");
  snapshot->generatedMs = static_cast<std::int64_t>(seconds * 1000);
  return *snapshot;
}

Placement place(std::string_view text) { return std::get<Placement>(parsePlacement(text)); }

// One player over a scripted world, drawing with the fake measurer at scale 1. The snapshot was
// generated an hour before the start: entries now and at +7201 s (stale), a reload every 900 s.
struct Rig {
  korvel::testing::ScratchDir dir;
  korvel::testing::FakeClock clock{kStart};
  korvel::testing::SwitchableAppearance appearance;
  std::optional<WeekSnapshot> snapshot = sampleGeneratedAt(kStart - 3600);
  std::vector<double> loads;  // seconds after the start
  ui::FakeTextMeasurer measurer;
  std::ostringstream log;
  WeekProvider provider{[this] {
                          loads.push_back(clock.now() - kStart);
                          return snapshot;
                        },
                        [this] { return clock.now(); }};

  // Plays until the clock stops it.
  PlayerStats play(std::vector<Placement> placements = {place("now:small")}, fs::path out = {}) {
    Player player({.placements = std::move(placements), .outputDir = out.empty() ? dir.path() : out,
                   .scale = 1, .measurer = &measurer},
                  provider, clock, appearance, log);
    EXPECT_EQ(player.run(), 0);
    return player.stats();
  }
  // The deadlines the player slept towards, in seconds after the start.
  std::vector<double> woken() const {
    std::vector<double> out;
    for (const auto& d : clock.deadlines) out.push_back(d.value_or(kStart - 1) - kStart);
    return out;
  }
  std::string index() const { return korvel::testing::readFile(dir / "index.json"); }
};

TEST(PlayerTest, DrawsEachEntryAtItsDateAndReloadsAfterTheReloadDate) {
  Rig rig;
  rig.clock.end = kStart + 7500;
  const PlayerStats stats = rig.play();
  // Woken at every reload date and at the stale entry's date, and at no other moment.
  EXPECT_EQ(rig.woken(),
            (std::vector<double>{900, 1800, 2700, 3600, 4500, 5400, 6300, 7200, 7201, 8100}));
  // Timelines at the start and each reload date; draws for those and the stale entry.
  EXPECT_EQ(std::tuple(stats.timelines, stats.draws, stats.wakeUps), std::tuple(9L, 10L, 10L));
  EXPECT_THAT(rig.index(), HasSubstr("\"entryDate\": 1750007201,"));
  EXPECT_EQ(rig.log.str(), "");
}

TEST(PlayerTest, OneTimelineServesEveryPlacementAndTheIndexListsEach) {
  Rig rig;
  rig.clock.end = kStart;
  EXPECT_EQ(rig.play({place("now:small"), place("week:large")}).filesWritten, 2);
  EXPECT_EQ(rig.loads.size(), 1u);
  EXPECT_EQ(korvel::testing::fileNames(rig.dir.path()),
            (std::vector<std::string>{"index.json", "now-systemSmall-light.png",
                                      "now-systemSmall.png", "week-systemLarge-light.png",
                                      "week-systemLarge.png"}));
  EXPECT_EQ(rig.index(),
            "{\n  \"entryDate\": 1750000000,\n  \"snapshot\": true,\n  \"scale\": 1,\n"
            "  \"appearance\": \"light\",\n  \"placements\": [\n"
            "    {\"kind\": \"korvel.week.now\", \"face\": \"now\", \"family\": \"systemSmall\", "
            "\"appearance\": \"light\", \"file\": \"now-systemSmall-light.png\", "
            "\"stableFile\": \"now-systemSmall.png\", \"width\": 170, "
            "\"height\": 170, \"label\": \"3 agents working now. 3 runs are waiting for you.\", "
            "\"deepLink\": \"korvel://week/now\"},\n"
            "    {\"kind\": \"korvel.week.glance\", \"face\": \"week\", \"family\": "
            "\"systemLarge\", \"appearance\": \"light\", \"file\": \"week-systemLarge-light.png\", "
            "\"stableFile\": \"week-systemLarge.png\", "
            "\"width\": 364, \"height\": 382, \"label\": \"Agents worked 31.5 hours without you "
            "this week. Each of your messages started 47 minutes of work on average.\", "
            "\"deepLink\": \"korvel://week/week\"}\n  ]\n}\n");
}

struct WakeCase {
  const char* name;
  std::vector<double> changes;   // seconds after the start: the snapshot file changed
  std::optional<double> jumpTo;  // the clock set to this while the player sleeps towards 900
  std::vector<double> loads;     // when the player must ask for a timeline
};

class PlayerWakeTest : public ::testing::TestWithParam<WakeCase> {};

TEST_P(PlayerWakeTest, AsksForATimelineWhenOneIsDueAndOnlyThen) {
  const WakeCase& c = GetParam();
  Rig rig;
  rig.clock.end = kStart + c.loads.back() + 1;
  // The timer comes back early with the clock set (a cancelled realtime timer does that).
  const auto jump = [&] { rig.clock.set(kStart + c.jumpTo.value_or(0)); };
  if (c.jumpTo) rig.clock.events.push_back({kStart + 1, Wake{.deadline = true}, jump});
  for (double t : c.changes) rig.clock.events.push_back({kStart + t, Wake{.snapshot = true}, {}});
  EXPECT_EQ(rig.play().timelines, static_cast<long>(c.loads.size()));
  EXPECT_THAT(rig.loads, ::testing::Pointwise(::testing::DoubleNear(1e-6), c.loads));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlayerWakeTest,
    ::testing::Values(
        // A burst of changes is read a quarter second after its last event.
        WakeCase{"burst", {10, 10.1, 10.2}, {}, {0, 10.45, 910.45}},
        // A writer that never pauses is read a second after it began; what follows is a burst.
        WakeCase{"endlessWriter", {10, 10.2, 10.4, 10.6, 10.8, 11, 11.2, 11.4, 11.6, 11.8}, {},
                 {0, 11, 12.05, 912.05}},
        // The clock set while the player sleeps: what is due is worked out again.
        WakeCase{"forward", {}, 5000, {0, 5000, 5900}},           // past the reload date: at once
        WakeCase{"forwardPastStale", {}, 9000, {0, 9000, 9900}},  // starts stale, no more due
        WakeCase{"smallForward", {}, 300, {0, 900}},              // nothing due yet: same timeline
        WakeCase{"backward", {}, -3600, {0, -3600, -2700}}),      // old dates mean nothing: anew
    [](const auto& p) { return std::string(p.param.name); });

TEST(PlayerTest, ABadSnapshotShowsTheEmptyFaceAndRecoversOnTheNextChange) {
  Rig rig;
  rig.snapshot.reset();
  rig.clock.end = kStart + 100;
  std::string before;
  rig.clock.events = {{kStart + 5, Wake{.snapshot = true}, [&rig, &before] {
                         before = rig.index();
                         rig.snapshot = sampleGeneratedAt(kStart);
                       }}};
  EXPECT_EQ(rig.play().timelines, 2);
  EXPECT_THAT(before, HasSubstr("\"snapshot\": false"));
  EXPECT_THAT(before, HasSubstr("\"label\": \"Korvel\""));
  EXPECT_THAT(rig.index(), HasSubstr("\"snapshot\": true"));
}

TEST(PlayerTest, AnAppearanceChangeRedrawsAndRemovesTheOldAppearancesFiles) {
  Rig rig;
  korvel::testing::writeFile(rig.dir / "now-systemSmall-dark.png", "left by an earlier run");
  rig.clock.end = kStart + 100;
  std::vector<std::string> first;
  rig.clock.events = {
      {kStart + 1, Wake{}, [&] { first = korvel::testing::fileNames(rig.dir.path()); }},
      {kStart + 30, Wake{.appearance = true}, [&rig] { rig.appearance.value = Appearance::dark; }}};
  const PlayerStats stats = rig.play();
  EXPECT_EQ(first, (std::vector<std::string>{"index.json", "now-systemSmall-light.png",
                                              "now-systemSmall.png"}));
  EXPECT_EQ(korvel::testing::fileNames(rig.dir.path()),
            (std::vector<std::string>{"index.json", "now-systemSmall-dark.png",
                                      "now-systemSmall.png"}));
  EXPECT_THAT(rig.index(), HasSubstr("\"appearance\": \"dark\""));
  // The stable name holds the picture of the appearance now shown.
  EXPECT_EQ(korvel::testing::readFile(rig.dir / "now-systemSmall.png"),
            korvel::testing::readFile(rig.dir / "now-systemSmall-dark.png"));
  EXPECT_EQ(stats.draws, 2);
  EXPECT_EQ(stats.timelines, 1);  // the same entry, drawn again
}

TEST(PlayerTest, AStopBetweenFilesFinishesTheFileInFlightAndStartsNoOther) {
  Rig rig;
  rig.clock.stopAfterChecks = 1;  // the first file's check passes, the second's does not
  rig.play({place("now:small"), place("limits:small")});
  EXPECT_EQ(korvel::testing::fileNames(rig.dir.path()),
            (std::vector<std::string>{"now-systemSmall-light.png", "now-systemSmall.png"}));
  EXPECT_TRUE(rig.clock.deadlines.empty());
}

TEST(PlayerTest, AnUnwritableFolderIsToldOnceAndRetriedUntilItWorks) {
  Rig rig;
  const fs::path out = rig.dir / "out";  // a file in the folder's place: every write fails
  korvel::testing::writeFile(out, "x");
  rig.clock.end = kStart + 100;
  rig.clock.events = {{kStart + 15, Wake{}, [&] { fs::remove(out), fs::create_directory(out); }}};
  const PlayerStats stats = rig.play({place("now:small")}, out);
  EXPECT_EQ(rig.woken(), (std::vector<double>{10, 20, 20, 900}));
  EXPECT_EQ(stats.failures, 2);
  EXPECT_EQ(stats.draws, 1);
  EXPECT_THAT(rig.log.str(), ::testing::MatchesRegex("play: cannot write[^\n]*\n"
                                                     "play: writing again into[^\n]*\n"));
  EXPECT_TRUE(fs::exists(out / "index.json"));
}

bool wholePng(const std::string& bytes) {
  return bytes.starts_with("\x89PNG\r\n\x1a\n") &&
         bytes.ends_with(std::string("\0\0\0\0IEND\xae\x42\x60\x82", 12));
}

TEST(PlayerTest, AReaderNeverSeesAPartialPicture) {
  Rig rig;
  rig.snapshot = sampleGeneratedAt(kStart - 86400);  // stale already: one entry per timeline
  rig.clock.end = kStart + 900 * 40;                 // 40 new timelines, drawn back to back
  std::atomic<bool> done{false};
  std::atomic<int> whole{0}, partial{0};
  // Once there, the picture is only ever replaced: it never goes missing either.
  std::thread reader([&, file = rig.dir / "week-systemLarge-light.png"] {
    while (!done) {
      if (fs::exists(file)) ++(wholePng(korvel::testing::readFile(file)) ? whole : partial);
    }
  });
  const PlayerStats stats = rig.play({place("week:large")});
  done = true;
  reader.join();
  EXPECT_EQ(stats.draws, 41);
  EXPECT_GT(whole.load(), 0);
  EXPECT_EQ(partial.load(), 0);
  // Nothing but the picture and the index: no temporary file was left behind.
  EXPECT_EQ(korvel::testing::fileNames(rig.dir.path()),
            (std::vector<std::string>{"index.json", "week-systemLarge-light.png",
                                      "week-systemLarge.png"}));
}

// A missing folder is made (and the probe file taken back): the process test's "once" row.
TEST(PrepareOutputDirTest, RefusesNoFolderAndOneItCannotWriteIn) {
  EXPECT_EQ(std::get<Error>(prepareOutputDir("")).kind, ErrorKind::usage);
  // /proc/self is a folder nobody can create files in, not even root.
  EXPECT_EQ(std::get<Error>(prepareOutputDir("/proc/self")).kind, ErrorKind::unwritable);
}

}  // namespace
}  // namespace korvel::host
