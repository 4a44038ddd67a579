// The player driven by a scripted clock: what it draws, when it wakes, and nothing in between.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <sstream>
#include <thread>

#include "host/player/player.h"
#include "support/player_fakes.h"
#include "snapshot/decode.h"
#include "support/files.h"
#include "ui/text_measurer.h"

namespace korvel::host {
namespace {

namespace fs = std::filesystem;
using korvel::testing::FakeClock;
using korvel::testing::ScratchDir;
using korvel::testing::ScriptedEvent;
using korvel::testing::SwitchableAppearance;

constexpr double kStart = 1'750'000'000;  // the moment each test starts at

WeekSnapshot sampleGeneratedAt(double seconds) {
  auto snapshot = decodeSnapshot(korvel::testing::exampleText("week.json"));
  if (!snapshot) throw std::runtime_error("the sample does not decode");
  snapshot->generatedMs = static_cast<std::int64_t>(seconds * 1000);
  return *snapshot;
}

Placement place(std::string_view text) { return std::get<Placement>(parsePlacement(text)); }

std::vector<double> deadlinesOf(const FakeClock& clock) {
  std::vector<double> out;
  for (const auto& d : clock.deadlines) out.push_back(d ? *d - kStart : -1);
  return out;
}

// One player over a scripted world, drawing with the fake measurer at scale 1.
struct Rig {
  ScratchDir dir;
  FakeClock clock{kStart};
  SwitchableAppearance appearance;
  std::optional<WeekSnapshot> snapshot = sampleGeneratedAt(kStart - 3600);
  int loads = 0;
  std::vector<double> loadTimes;  // seconds after the start
  ui::FakeTextMeasurer measurer;
  std::ostringstream log;
  WeekProvider provider{[this] {
                          ++loads;
                          loadTimes.push_back(clock.now() - kStart);
                          return snapshot;
                        },
                        [this] { return clock.now(); }};

  PlayerSettings settings(std::vector<Placement> placements = {place("now:small")}) {
    PlayerSettings s;
    s.placements = std::move(placements);
    s.outputDir = dir.path();
    s.scale = 1;
    s.measurer = &measurer;
    return s;
  }

  std::string index() { return korvel::testing::readFile(dir / "index.json"); }
};

TEST(PlayerTest, DrawsEachEntryAtItsDateAndReloadsAfterTheReloadDate) {
  Rig rig;
  // Generated an hour ago: entries now and at now + 7201 s; reload every 900 s.
  rig.clock.end = kStart + 7500;
  Player player(rig.settings(), rig.provider, rig.clock, rig.appearance, rig.log);
  EXPECT_EQ(player.run(), 0);

  // Woken at every reload date and at the stale entry's date, and at no other moment.
  EXPECT_EQ(deadlinesOf(rig.clock),
            (std::vector<double>{900, 1800, 2700, 3600, 4500, 5400, 6300, 7200, 7201, 8100}));
  EXPECT_EQ(player.stats().timelines, 9);  // at the start and at each of the 8 reload dates
  EXPECT_EQ(rig.loads, 9);
  EXPECT_EQ(player.stats().draws, 10);  // each new timeline, and the stale entry
  EXPECT_EQ(player.stats().wakeUps, 10);
  EXPECT_NE(rig.index().find("\"entryDate\": 1750007201,"), std::string::npos) << rig.index();
  EXPECT_TRUE(rig.log.str().empty()) << rig.log.str();
}

TEST(PlayerTest, OneTimelineServesEveryPlacement) {
  Rig rig;
  rig.clock.end = kStart;
  Player player(rig.settings({place("now:small"), place("limits:systemMedium"), place("week:large")}),
                rig.provider, rig.clock, rig.appearance, rig.log);
  player.run();
  EXPECT_EQ(rig.loads, 1);
  EXPECT_EQ(player.stats().filesWritten, 3);
  for (const char* file : {"now-systemSmall-light.png", "limits-systemMedium-light.png",
                           "week-systemLarge-light.png", "index.json"}) {
    EXPECT_TRUE(fs::exists(rig.dir / file)) << file;
  }
  const std::string index = rig.index();
  const std::string head =
      "{\n  \"entryDate\": 1750000000,\n  \"snapshot\": true,\n  \"scale\": 1,\n"
      "  \"placements\": [\n"
      "    {\"kind\": \"korvel.week.now\", \"face\": \"now\", \"family\": \"systemSmall\", "
      "\"appearance\": \"light\", \"file\": \"now-systemSmall-light.png\", \"width\": 170, "
      "\"height\": 170, \"label\": \"3 agents working now. 3 runs are waiting for you.\", "
      "\"deepLink\": \"korvel://week/now\"},\n"
      "    {\"kind\": \"korvel.week.limits\", \"face\": \"limits\", \"family\": "
      "\"systemMedium\", \"appearance\": \"light\", \"file\": "
      "\"limits-systemMedium-light.png\", \"width\": 364, \"height\": 170, \"label\": "
      "\"Claude has used 62% of its weekly limit, ahead of pace. Codex has used 41% of its "
      "weekly limit and 91% of its 5-hour limit.\", \"deepLink\": "
      "\"korvel://week/limits\"},\n"
      "    {\"kind\": \"korvel.week.glance\", \"face\": \"week\", \"family\": "
      "\"systemLarge\", \"appearance\": \"light\", \"file\": \"week-systemLarge-light.png\", "
      "\"width\": 364, \"height\": 382, \"label\": \"";
  EXPECT_EQ(index.substr(0, head.size()), head);
  const std::string tail = "\", \"deepLink\": \"korvel://week/week\"}\n  ]\n}\n";
  ASSERT_GT(index.size(), tail.size());
  EXPECT_EQ(index.substr(index.size() - tail.size()), tail);
}

TEST(PlayerTest, OnceDrawsTheCurrentEntryWithoutSleeping) {
  Rig rig;
  PlayerSettings settings = rig.settings();
  settings.once = true;
  Player player(std::move(settings), rig.provider, rig.clock, rig.appearance, rig.log);
  EXPECT_EQ(player.run(), 0);
  EXPECT_TRUE(rig.clock.deadlines.empty());
  EXPECT_EQ(player.stats().draws, 1);
}

TEST(PlayerTest, ASnapshotChangeReloadsAQuarterSecondAfterTheLastEventOfABurst) {
  Rig rig;
  rig.clock.end = kStart + 100;
  const Wake changed{.snapshot = true};
  rig.clock.events = {{kStart + 10.0, changed, {}},
                      {kStart + 10.1, changed, {}},
                      {kStart + 10.2, changed, {}}};
  Player player(rig.settings(), rig.provider, rig.clock, rig.appearance, rig.log);
  player.run();
  // Three events, then the debounce deadline 250 ms after the last; then the new reload date.
  ASSERT_EQ(rig.clock.deadlines.size(), 5u);
  EXPECT_NEAR(*rig.clock.deadlines[3] - kStart, 10.45, 1e-6);
  EXPECT_NEAR(*rig.clock.deadlines[4] - kStart, 910.45, 1e-6);
  EXPECT_EQ(player.stats().timelines, 2);
}

TEST(PlayerTest, AWriterThatNeverPausesIsReadOneSecondAfterItBegan) {
  Rig rig;
  rig.clock.end = kStart + 100;
  for (int i = 0; i < 10; ++i) {
    rig.clock.events.push_back({kStart + 10 + 0.2 * i, Wake{.snapshot = true}, {}});
  }
  Player player(rig.settings(), rig.provider, rig.clock, rig.appearance, rig.log);
  player.run();
  // Events every 0.2 s from 10.0 to 11.8: the first burst is read at 11.0, a second after it
  // began; the events after that form a burst of their own, read 0.25 s after its last.
  ASSERT_EQ(rig.loadTimes.size(), 3u);
  EXPECT_EQ(rig.loadTimes[0], 0);
  EXPECT_NEAR(rig.loadTimes[1], 11.0, 1e-6);
  EXPECT_NEAR(rig.loadTimes[2], 12.05, 1e-6);
}

TEST(PlayerTest, ABadSnapshotShowsTheEmptyFaceAndRecoversOnTheNextChange) {
  Rig rig;
  rig.snapshot.reset();
  rig.clock.end = kStart + 100;
  rig.clock.events = {{kStart + 5, Wake{.snapshot = true},
                       [&rig] { rig.snapshot = sampleGeneratedAt(kStart); }}};
  std::vector<std::string> indexes;
  Player player(rig.settings(), rig.provider, rig.clock, rig.appearance, rig.log);
  rig.clock.events.push_back({kStart + 5.1, Wake{}, [&] { indexes.push_back(rig.index()); }});
  player.run();
  ASSERT_EQ(indexes.size(), 1u);
  EXPECT_NE(indexes[0].find("\"snapshot\": false"), std::string::npos);
  EXPECT_NE(indexes[0].find("\"label\": \"Korvel\""), std::string::npos);
  EXPECT_NE(rig.index().find("\"snapshot\": true"), std::string::npos);
  EXPECT_EQ(player.stats().timelines, 2);
}

TEST(PlayerTest, AnAppearanceChangeRedrawsAndRemovesTheOldAppearancesFiles) {
  Rig rig;
  korvel::testing::writeFile(rig.dir / "now-systemSmall-dark.png", "left by an earlier run");
  rig.clock.end = kStart + 100;
  rig.clock.events = {{kStart + 30, Wake{.appearance = true},
                       [&rig] { rig.appearance.value = Appearance::dark; }}};
  std::vector<bool> lightThere;
  Player player(rig.settings(), rig.provider, rig.clock, rig.appearance, rig.log);
  rig.clock.events.push_back({kStart + 1, Wake{}, [&] {
                                lightThere.push_back(fs::exists(rig.dir / "now-systemSmall-light.png"));
                                lightThere.push_back(fs::exists(rig.dir / "now-systemSmall-dark.png"));
                              }});
  std::swap(rig.clock.events[0], rig.clock.events[1]);
  player.run();
  EXPECT_EQ(lightThere, (std::vector<bool>{true, false}));
  EXPECT_FALSE(fs::exists(rig.dir / "now-systemSmall-light.png"));
  EXPECT_TRUE(fs::exists(rig.dir / "now-systemSmall-dark.png"));
  EXPECT_NE(rig.index().find("\"appearance\": \"dark\""), std::string::npos);
  EXPECT_EQ(player.stats().draws, 2);
  EXPECT_EQ(player.stats().timelines, 1);  // the same entry, drawn again
}

struct JumpCase {
  const char* name;
  double jumpTo;  // seconds after the start, set while the player sleeps towards 900
  long timelines;
  std::vector<double> deadlines;
};

class PlayerClockJumpTest : public ::testing::TestWithParam<JumpCase> {};

TEST_P(PlayerClockJumpTest, RecomputesWhatIsDueAfterEveryWakeUp) {
  const JumpCase& c = GetParam();
  Rig rig;
  rig.clock.end = kStart + c.jumpTo + 1000;
  // The timer comes back early with the clock set (a cancelled realtime timer does that).
  rig.clock.events = {{kStart + 1, Wake{.deadline = true}, [&rig, &c] { rig.clock.set(kStart + c.jumpTo); }}};
  Player player(rig.settings(), rig.provider, rig.clock, rig.appearance, rig.log);
  player.run();
  EXPECT_EQ(player.stats().timelines, c.timelines);
  EXPECT_EQ(deadlinesOf(rig.clock), c.deadlines);
}

INSTANTIATE_TEST_SUITE_P(
    Jumps, PlayerClockJumpTest,
    ::testing::Values(
        // Forward past the reload date (a suspend): a new timeline at once.
        JumpCase{"forward", 5000, 3, {900, 5900, 6800}},
        // Forward past the stale entry: the new timeline starts stale, nothing else is due.
        JumpCase{"forwardPastStale", 9000, 3, {900, 9900, 10800}},
        // A little forward, nothing due yet: the same timeline, the same deadline.
        JumpCase{"smallForward", 300, 2, {900, 900, 1800}},
        // Backwards by an hour: the timeline's dates mean nothing now, ask anew.
        JumpCase{"backward", -3600, 3, {900, -2700, -1800}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(PlayerTest, AStopBetweenFilesFinishesTheFileInFlightAndStartsNoOther) {
  Rig rig;
  rig.clock.stopAfterChecks = 1;  // the first file's check passes, the second's does not
  Player player(rig.settings({place("now:small"), place("limits:small")}), rig.provider,
                rig.clock, rig.appearance, rig.log);
  EXPECT_EQ(player.run(), 0);
  EXPECT_TRUE(fs::exists(rig.dir / "now-systemSmall-light.png"));
  EXPECT_FALSE(fs::exists(rig.dir / "limits-systemSmall-light.png"));
  EXPECT_FALSE(fs::exists(rig.dir / "index.json"));
  EXPECT_TRUE(rig.clock.deadlines.empty());
}

TEST(PlayerTest, AFolderThatBecomesUnwritableIsToldOnceAndRetried) {
  Rig rig;
  const fs::path out = rig.dir / "out";
  PlayerSettings settings = rig.settings();
  settings.outputDir = out;  // never created: every write fails
  rig.clock.end = kStart + 100;
  rig.clock.events = {{kStart + 15, Wake{}, [&] { fs::create_directory(out); }}};
  Player player(std::move(settings), rig.provider, rig.clock, rig.appearance, rig.log);
  player.run();
  EXPECT_EQ(deadlinesOf(rig.clock), (std::vector<double>{10, 20, 20, 900}));
  EXPECT_EQ(player.stats().failures, 2);
  EXPECT_EQ(player.stats().draws, 1);
  const std::string log = rig.log.str();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;  // the failure, the recovery
  EXPECT_NE(log.find("play: cannot write"), std::string::npos) << log;
  EXPECT_NE(log.find("play: writing again into"), std::string::npos) << log;
  EXPECT_TRUE(fs::exists(out / "index.json"));
}

bool wholePng(const std::string& bytes) {
  static const std::string signature("\x89PNG\r\n\x1a\n", 8);
  static const std::string iend("\0\0\0\0IEND\xae\x42\x60\x82", 12);
  return bytes.size() > 20 && bytes.compare(0, 8, signature) == 0 &&
         bytes.compare(bytes.size() - 12, 12, iend) == 0;
}

TEST(PlayerTest, AReaderNeverSeesAPartialPicture) {
  Rig rig;
  rig.snapshot = sampleGeneratedAt(kStart - 86400);  // stale already: one entry per timeline
  rig.clock.end = kStart + 900 * 40;  // 40 new timelines, drawn back to back
  std::atomic<bool> done{false};
  std::atomic<int> reads{0}, partial{0};
  std::thread reader([&] {
    const fs::path file = rig.dir / "week-systemLarge-light.png";
    while (!done) {
      std::string bytes;
      try {
        bytes = korvel::testing::readFile(file);
      } catch (const std::exception&) {
        continue;  // not there yet
      }
      ++reads;
      if (!wholePng(bytes)) ++partial;
    }
  });
  Player player(rig.settings({place("week:large")}), rig.provider, rig.clock, rig.appearance,
                rig.log);
  player.run();
  done = true;
  reader.join();
  EXPECT_EQ(player.stats().draws, 41);
  EXPECT_GT(reads.load(), 0);
  EXPECT_EQ(partial.load(), 0);
  // Nothing but the pictures and the index: no temporary file was left behind.
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(rig.dir.path())) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"index.json", "week-systemLarge-light.png"}));
}

TEST(PrepareOutputDirTest, CreatesAMissingFolderAndRefusesOneItCannotWrite) {
  ScratchDir dir;
  EXPECT_EQ(prepareOutputDir(dir / "a" / "b"), "");
  EXPECT_TRUE(fs::is_directory(dir / "a" / "b"));
  EXPECT_TRUE(fs::is_empty(dir / "a" / "b"));  // the probe file is gone again

  korvel::testing::writeFile(dir / "file", "x");
  const std::string error = prepareOutputDir(dir / "file" / "out");
  EXPECT_EQ(error.rfind("cannot use " + (dir / "file" / "out").string() + " as the output folder: ", 0), 0u)
      << error;
  EXPECT_EQ(prepareOutputDir(""), "no output folder given (-o DIR)");
  // /proc/self is a folder nobody can create files in, not even root.
  EXPECT_EQ(prepareOutputDir("/proc/self").rfind("cannot write into the output folder /proc/self: ", 0), 0u);
}

}  // namespace
}  // namespace korvel::host
