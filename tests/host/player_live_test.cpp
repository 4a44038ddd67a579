// The player in the real world: inotify on a real folder, the real clock and signals, and the
// built program as a process (stop signals, refusals at the start, --once).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <functional>
#include <sstream>
#include <thread>

#include "host/player/player.h"
#include "host/player/poll_clock.h"
#include "host/player/snapshot_watcher.h"
#include "snapshot/loading.h"
#include "support/child_process.h"
#include "support/files.h"
#include "ui/text_measurer.h"

namespace korvel::host {
namespace {

namespace fs = std::filesystem;
using korvel::testing::eventually;
using korvel::testing::readFile;
using korvel::testing::ScratchDir;
using korvel::testing::writeFile;
using namespace std::chrono_literals;

TEST(SnapshotWatcherTest, FollowsTheSnapshotAndItsFolderButNotItsNeighbours) {
  ScratchDir dir;
  const fs::path folder = dir / "group" / "container";
  SnapshotWatcher watcher(folder / "week.json");
  ASSERT_FALSE(watcher.error()) << watcher.error()->describe();
  // The nearest folder that exists, until the snapshot's own appears.
  EXPECT_EQ(watcher.watchedFolder(), dir.path());
  EXPECT_FALSE(watcher.readEvents());
  fs::create_directory(dir / "group");
  EXPECT_FALSE(watcher.readEvents());
  EXPECT_EQ(watcher.watchedFolder(), dir / "group");
  // The folder and the file arrive before the watcher looks: its arrival counts as a change.
  fs::create_directory(folder);
  writeFile(folder / "week.json", "{}");
  EXPECT_TRUE(watcher.readEvents());
  EXPECT_EQ(watcher.watchedFolder(), folder);

  writeFile(folder / "other.json", "{}");
  EXPECT_FALSE(watcher.readEvents());
  writeFile(folder / "week.json", "{ }");
  EXPECT_TRUE(watcher.readEvents());
  writeFile(folder / "week.json.tmp", "{}");
  EXPECT_FALSE(watcher.readEvents());
  fs::rename(folder / "week.json.tmp", folder / "week.json");  // the companion's atomic replace
  EXPECT_TRUE(watcher.readEvents());
  fs::remove(folder / "week.json");
  EXPECT_TRUE(watcher.readEvents());
  EXPECT_FALSE(watcher.readEvents());  // drained
  // The folder goes away with the file: a change, and back to the nearest ancestor.
  writeFile(folder / "week.json", "{}");
  EXPECT_TRUE(watcher.readEvents());
  fs::remove_all(dir / "group");
  EXPECT_TRUE(watcher.readEvents());
  EXPECT_EQ(watcher.watchedFolder(), dir.path());
}

TEST(SnapshotWatcherTest, FollowsALinkedSnapshotToItsTargetWhereverTheLinkIsPointed) {
  ScratchDir dir;
  for (const char* folder : {"dir", "real", "other"}) fs::create_directory(dir / folder);
  writeFile(dir / "real" / "week.json", "{}");
  fs::create_symlink("../real/week.json", dir / "dir" / "week.json");
  SnapshotWatcher watcher(dir / "dir" / "week.json");
  writeFile(dir / "real" / "week.json.new", "{ }");
  EXPECT_FALSE(watcher.readEvents());
  fs::rename(dir / "real" / "week.json.new", dir / "real" / "week.json");
  EXPECT_TRUE(watcher.readEvents());
  writeFile(dir / "real" / "week.json", "{}");
  EXPECT_TRUE(watcher.readEvents());
  // Pointed elsewhere as ln -sfn does it: a new link renamed over the old one.
  fs::create_symlink("../other/week.json", dir / "dir" / "new");
  fs::rename(dir / "dir" / "new", dir / "dir" / "week.json");
  EXPECT_TRUE(watcher.readEvents());
  writeFile(dir / "other" / "week.json", "{}");
  EXPECT_TRUE(watcher.readEvents());
  writeFile(dir / "real" / "week.json", "{ }");
  EXPECT_FALSE(watcher.readEvents());
}

TEST(PlayerRealTimeTest, ARewrittenSnapshotIsDrawnWithinASecondAndNothingWakesItBetween) {
  ScratchDir dir;
  const fs::path snapshotFile = dir / "group" / "week.json", index = dir / "out" / "index.json";
  const std::string sample = korvel::testing::exampleText("week.json");
  SnapshotWatcher watcher(snapshotFile);  // its folder does not exist yet
  PollClock clock(&watcher);
  ASSERT_FALSE(clock.error()) << clock.error()->describe();
  FixedAppearance appearance(Appearance::light);
  std::atomic<int> loads{0};
  std::atomic<double> lastLoad{0};
  const auto load = [&] {
    lastLoad = systemClock();
    ++loads;
    return loadSnapshotAt(snapshotFile);
  };
  const WeekProvider provider(load, [&clock] { return clock.now(); });
  ui::FakeTextMeasurer measurer;
  fs::create_directory(dir / "out");
  std::ostringstream log;
  Player player({.placements = {std::get<Placement>(parsePlacement("now:small"))},
                 .outputDir = dir / "out", .scale = 1, .measurer = &measurer},
                provider, clock, appearance, log);
  long settled = -1;
  const auto changeTheWorld = [&] {
    ASSERT_TRUE(eventually([&] { return fs::exists(index); }, 5s));
    EXPECT_EQ(loads.load(), 1);
    // The folder appears and the snapshot is written into it.
    double written = systemClock();
    fs::create_directory(dir / "group");
    writeFile(snapshotFile, sample);
    ASSERT_TRUE(eventually([&] { return loads == 2; }, 5s));
    EXPECT_LT(lastLoad - written, 1.0);
    EXPECT_GE(lastLoad - written, kReloadDebounce);
    const auto shown = [&] { return readFile(index).find("\"snapshot\": true"); };
    ASSERT_TRUE(eventually([&] { return shown() != std::string::npos; }, 5s));
    // Replaced the way the companion does it: a new file renamed over the old one.
    writeFile(dir / "group" / "week.json.new", sample);
    written = systemClock();
    fs::rename(dir / "group" / "week.json.new", snapshotFile);
    ASSERT_TRUE(eventually([&] { return loads == 3; }, 5s));
    EXPECT_LT(lastLoad - written, 1.0);
    // Quiet now: the sample's one (stale) entry and a reload 15 minutes away; it sleeps through.
    std::this_thread::sleep_for(300ms);
    settled = clock.wakeUps();
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(clock.wakeUps(), settled);
    EXPECT_EQ(loads.load(), 3);
  };
  // Started after the clock blocked SIGTERM in this thread, so the SIGTERM it sends when done
  // (or when an assertion gave up) lands in the player's signalfd.
  std::thread world([&] {
    changeTheWorld();
    ::kill(::getpid(), SIGTERM);
  });
  EXPECT_EQ(player.run(), 0);
  world.join();
  EXPECT_EQ(clock.wakeUps(), settled + 1);
}

struct RunCase {
  const char* name;
  const char* out;  // the output folder, in the scratch folder beside a regular file "file"
  std::vector<std::string> options;
  int stopSignal;  // sent once the first drawing is there; 0: none
  int exitCode;
  const char* says;                // how standard output and then standard error start
  std::vector<std::string> files;  // what is left in `out`: whole pictures and the index only
  // Done once the first drawing is there, before the stop signal; with `pipedLog` standard error
  // is a FIFO whose reader is closed first.
  std::function<void(const fs::path& dir, const fs::path& out, korvel::testing::ChildProcess&)>
      during;
  bool pipedLog = false;
};

class PlayerProcessTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(PlayerProcessTest, DrawsOnceStopsCleanlyOrRefusesAtTheStart) {
  const RunCase& c = GetParam();
  ScratchDir dir;
  fs::copy_file(korvel::testing::examplePath("week.json"), dir / "week.json");
  writeFile(dir / "file", "x");
  std::vector<std::string> args{korvel::testing::programPath(), "play", "-o", dir / c.out,
                                "--snapshot", dir / "week.json", "--place", "limits:medium"};
  args.insert(args.end(), c.options.begin(), c.options.end());
  const int reader = c.pipedLog && mkfifo((dir / "log").c_str(), 0600) == 0
                         ? ::open((dir / "log").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
  korvel::testing::ChildProcess child(args, dir / "stdout", dir / (c.pipedLog ? "log" : "stderr"));
  if (c.stopSignal) {
    ASSERT_TRUE(eventually([&] { return fs::exists(dir / c.out / "index.json"); }, 10s))
        << readFile(dir / "stderr");
    if (reader >= 0) ::close(reader);
    if (c.during) c.during(dir.path(), dir / c.out, child);
    child.signal(c.stopSignal);
  }
  EXPECT_EQ(child.wait(30s), c.exitCode) << readFile(dir / "stderr");
  const std::string said = readFile(dir / "stdout") + (c.pipedLog ? "" : readFile(dir / "stderr"));
  EXPECT_THAT(said, ::testing::StartsWith(c.says));
  EXPECT_EQ(korvel::testing::fileNames(dir / c.out), c.files);
}

// Light at scale 1, and a large week widget beside the medium limits one.
const std::vector<std::string> kTwo{"--appearance", "light", "--scale", "1",
                                   "--place", "week:large"};
const std::vector<std::string> kTwoFiles{"index.json", "limits-systemMedium-light.png",
                                         "limits-systemMedium.png", "week-systemLarge-light.png",
                                         "week-systemLarge.png"};

// The player has drawn from a refused snapshot.
void refuseTheSnapshot(const fs::path& dir, const fs::path& out, korvel::testing::ChildProcess&) {
  writeFile(dir / "week.json", "garbage");
  EXPECT_TRUE(eventually([&] { return fs::exists(out / "index.json") &&
                                      readFile(out / "index.json").find("\"snapshot\": false") !=
                                          std::string::npos; }, 10s));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlayerProcessTest,
    ::testing::Values(
        // Into a folder made for it, two levels deep.
        RunCase{"once", "out/new", {"--once", "--appearance", "light", "--scale", "1"}, 0, 0,
                "play: 1 widget and index.json in ",
                {"index.json", "limits-systemMedium-light.png", "limits-systemMedium.png"}},
        RunCase{"sigterm", "out", kTwo, SIGTERM, 0, "play: 2 widgets into ", kTwoFiles},
        RunCase{"sigint", "out", kTwo, SIGINT, 0, "play: 2 widgets into ", kTwoFiles},
        // SIGHUP reads again; a closed pipe for a log loses lines only; a folder taken away
        // is made again; a second player on the folder is refused at once, naming the first.
        RunCase{"sighup", "out", kTwo, SIGTERM, 0, "play: 2 widgets into ", kTwoFiles,
                [](const fs::path& dir, const fs::path&, korvel::testing::ChildProcess& child) {
                  child.signal(SIGHUP);
                  EXPECT_TRUE(eventually([&] { return readFile(dir / "stderr").find("SIGHUP") !=
                                                      std::string::npos; }, 10s));
                }},
        RunCase{"closedLogPipe", "out", kTwo, SIGTERM, 0, "", kTwoFiles, refuseTheSnapshot, true},
        RunCase{"outputRemoved", "out", kTwo, SIGTERM, 0, "play: 2 widgets into ", kTwoFiles,
                [](const fs::path& dir, const fs::path& out, korvel::testing::ChildProcess& c) {
                  fs::remove_all(out);
                  refuseTheSnapshot(dir, out, c);
                }},
        RunCase{"secondPlayer", "out", kTwo, SIGTERM, 0, "play: 2 widgets into ", kTwoFiles,
                [](const fs::path& dir, const fs::path& out, korvel::testing::ChildProcess&) {
                  korvel::testing::ChildProcess second(
                      {korvel::testing::programPath(), "play", "-o", out, "--snapshot",
                       dir / "week.json", "--appearance", "dark", "--once"},
                      dir / "stdout2", dir / "stderr2");
                  EXPECT_EQ(second.wait(30s), 1);
                  EXPECT_THAT(readFile(dir / "stderr2"),
                              ::testing::StartsWith("play: another player (process "));
                }},
        RunCase{"snapshotInOutput", "", {"--once"}, 0, 2, "play: the snapshot ",
                {"file", "stderr", "stdout", "week.json"}},
        RunCase{"unwritableOutput", "file/out", {}, 0, 1, "play: cannot use ", {}},
        RunCase{"familyNotOffered", "out", {"--place", "rhythm:large"}, 0, 2,
                "play: --place: korvel.week.rhythm does not offer systemLarge", {}},
        RunCase{"badAppearance", "out", {"--appearance", "sepia"}, 0, 2, "play: --appearance", {}},
        RunCase{"scaleOutOfRange", "out", {"--scale", "20"}, 0, 2, "play: --scale", {}}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace korvel::host
