// The snapshot watcher on a real folder, and the real clock: a rewritten snapshot is on the
// widgets within a second, and nothing wakes the player while nothing happens.
#include <gtest/gtest.h>

#include <signal.h>

#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

#include "host/player/player.h"
#include "host/player/poll_clock.h"
#include "host/player/snapshot_watcher.h"
#include "snapshot/loading.h"
#include "support/files.h"
#include "ui/text_measurer.h"

namespace korvel::host {
namespace {

namespace fs = std::filesystem;
using korvel::testing::ScratchDir;
using korvel::testing::writeFile;

TEST(SnapshotWatcherTest, SeesTheSnapshotWrittenReplacedAndRemovedButNotItsNeighbours) {
  ScratchDir dir;
  SnapshotWatcher watcher(dir / "week.json");
  ASSERT_EQ(watcher.error(), "");
  EXPECT_EQ(watcher.watchedFolder(), dir.path());
  EXPECT_FALSE(watcher.readEvents());

  writeFile(dir / "other.json", "{}");
  EXPECT_FALSE(watcher.readEvents());
  writeFile(dir / "week.json", "{}");
  EXPECT_TRUE(watcher.readEvents());
  writeFile(dir / "week.json.tmp", "{}");
  EXPECT_FALSE(watcher.readEvents());
  fs::rename(dir / "week.json.tmp", dir / "week.json");  // the companion's atomic replace
  EXPECT_TRUE(watcher.readEvents());
  fs::remove(dir / "week.json");
  EXPECT_TRUE(watcher.readEvents());
  EXPECT_FALSE(watcher.readEvents());  // drained
}

TEST(SnapshotWatcherTest, WatchesTheNearestAncestorUntilTheFolderAppears) {
  ScratchDir dir;
  const fs::path folder = dir / "group" / "container";
  SnapshotWatcher watcher(folder / "week.json");
  EXPECT_EQ(watcher.watchedFolder(), dir.path());

  fs::create_directory(dir / "group");
  EXPECT_FALSE(watcher.readEvents());  // one step down, the snapshot's folder is not there yet
  EXPECT_EQ(watcher.watchedFolder(), dir / "group");

  // The folder and the file arrive before the watcher looks: its arrival counts as a change.
  fs::create_directory(folder);
  writeFile(folder / "week.json", "{}");
  EXPECT_TRUE(watcher.readEvents());
  EXPECT_EQ(watcher.watchedFolder(), folder);
  writeFile(folder / "week.json", "{ }");
  EXPECT_TRUE(watcher.readEvents());

  // The folder goes away with the file: a change, and back to the ancestor.
  fs::remove_all(dir / "group");
  EXPECT_TRUE(watcher.readEvents());
  EXPECT_EQ(watcher.watchedFolder(), dir.path());
}

// SIGTERM for this process lands in the player's signalfd: the clock blocks it in this thread
// before the player's thread starts, so no thread takes the default action.
TEST(PlayerRealTimeTest, ARewrittenSnapshotIsDrawnWithinASecondAndNothingWakesItBetween) {
  ScratchDir dir;
  const fs::path snapshotFile = dir / "group" / "week.json";
  const std::string sample = korvel::testing::exampleText("week.json");
  const auto nowMs = static_cast<long long>(systemClock() * 1000);
  const auto snapshotAt = [&](long long ms) {
    return korvel::testing::replaceOnce(sample, "\"generatedMs\": 1749746527123",
                                        "\"generatedMs\": " + std::to_string(ms));
  };

  SnapshotWatcher watcher(snapshotFile);  // its folder does not exist yet
  PollClock clock(&watcher);
  ASSERT_EQ(clock.error(), "");
  FixedAppearance appearance(Appearance::light);
  std::atomic<int> loads{0};
  std::atomic<double> lastLoad{0};
  const WeekProvider provider(
      [&] {
        lastLoad = systemClock();
        ++loads;
        return loadSnapshotAt(snapshotFile);
      },
      [&clock] { return clock.now(); });
  ui::FakeTextMeasurer measurer;
  PlayerSettings settings;
  settings.placements = {std::get<Placement>(parsePlacement("now:small"))};
  settings.outputDir = dir / "out";
  fs::create_directory(settings.outputDir);
  settings.scale = 1;
  settings.measurer = &measurer;
  std::ostringstream log;
  Player player(settings, provider, clock, appearance, log);

  std::atomic<int> code{-1};
  std::thread playing([&] { code = player.run(); });
  struct StopOnExit {  // a failed assertion must not leave the player running
    std::thread& thread;
    ~StopOnExit() {
      if (thread.joinable()) {
        ::kill(::getpid(), SIGTERM);
        thread.join();
      }
    }
  } stopOnExit{playing};
  const auto waitFor = [](const auto& condition) {
    for (int i = 0; i < 500 && !condition(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return condition();
  };
  ASSERT_TRUE(waitFor([&] { return fs::exists(dir / "out" / "index.json"); }));
  EXPECT_EQ(loads.load(), 1);

  // The folder appears and the snapshot is written into it.
  double written = systemClock();
  fs::create_directory(dir / "group");
  writeFile(snapshotFile, snapshotAt(nowMs));
  ASSERT_TRUE(waitFor([&] { return loads.load() == 2; }));
  EXPECT_LT(lastLoad.load() - written, 1.0);
  EXPECT_GE(lastLoad.load() - written, kReloadDebounce);
  ASSERT_TRUE(waitFor([&] {
    return korvel::testing::readFile(dir / "out" / "index.json").find("\"snapshot\": true") !=
           std::string::npos;
  }));

  // Replaced the way the companion does it: a new file renamed over the old one.
  writeFile(dir / "group" / "week.json.new", snapshotAt(nowMs + 1000));
  written = systemClock();
  fs::rename(dir / "group" / "week.json.new", snapshotFile);
  ASSERT_TRUE(waitFor([&] { return loads.load() == 3; }));
  EXPECT_LT(lastLoad.load() - written, 1.0);

  // Quiet now: one entry and a reload 15 minutes away, so the player sleeps through.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const long settled = clock.wakeUps();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_EQ(clock.wakeUps(), settled);
  EXPECT_EQ(loads.load(), 3);

  ::kill(::getpid(), SIGTERM);
  playing.join();
  EXPECT_EQ(code.load(), 0);
  EXPECT_EQ(clock.wakeUps(), settled + 1);
}

}  // namespace
}  // namespace korvel::host
