// The real program: SIGTERM and SIGINT end it cleanly, an unusable output folder stops it at
// the start, and a bad --place is a usage error naming what the widget offers.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "host/player_process.h"
#include "support/files.h"

namespace korvel::host {
namespace {

namespace fs = std::filesystem;
using korvel::testing::ChildProcess;
using korvel::testing::programPath;
using korvel::testing::readFile;
using korvel::testing::ScratchDir;
using namespace std::chrono_literals;

class PlayerProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(programPath())) {
      FAIL() << "build korvel-widgets first: " << programPath();
    }
    fs::copy_file(korvel::testing::examplePath("week.json"), dir_ / "week.json");
  }

  std::vector<std::string> play(std::vector<std::string> extra) {
    std::vector<std::string> args{programPath().string(), "play", "-o", (dir_ / "out").string(),
                                  "--snapshot", (dir_ / "week.json").string(), "--appearance",
                                  "light", "--scale", "1"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }

  ScratchDir dir_;
};

class PlayerStopSignalTest : public PlayerProcessTest,
                             public ::testing::WithParamInterface<int> {};

TEST_P(PlayerStopSignalTest, EndsCleanlyLeavingWholeFilesOnly) {
  ChildProcess child(play({"--place", "now:small", "--place", "week:large"}), dir_ / "stdout",
                     dir_ / "stderr");
  ASSERT_TRUE(child.started());
  for (int i = 0; i < 1000 && !fs::exists(dir_ / "out" / "index.json"); ++i) {
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_TRUE(fs::exists(dir_ / "out" / "index.json")) << readFile(dir_ / "stderr");
  child.signal(GetParam());
  const auto status = child.wait(10s);
  ASSERT_TRUE(status) << "still running after the signal";
  EXPECT_TRUE(WIFEXITED(*status)) << "status " << *status;
  EXPECT_EQ(WEXITSTATUS(*status), 0) << readFile(dir_ / "stderr");

  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir_ / "out")) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"index.json", "now-systemSmall-light.png",
                                             "week-systemLarge-light.png"}));
}

INSTANTIATE_TEST_SUITE_P(Signals, PlayerStopSignalTest, ::testing::Values(SIGTERM, SIGINT));

struct StartCase {
  const char* name;
  std::vector<std::string> args;  // after the common ones
  bool outputUnderAFile;          // -o names a folder below a regular file
  int exitCode;
  const char* stderrStart;
};

class PlayerStartTest : public PlayerProcessTest,
                        public ::testing::WithParamInterface<StartCase> {};

TEST_P(PlayerStartTest, RefusesAtTheStartWithAClearMessage) {
  korvel::testing::writeFile(dir_ / "file", "x");
  // The case's options replace the common ones of the same name (given twice is an error).
  std::vector<std::string> args = play({});
  const std::vector<std::string>& extra = GetParam().args;
  for (std::size_t i = 0; i + 1 < extra.size(); i += 2) {
    const auto at = std::find(args.begin(), args.end(), extra[i]);
    if (at != args.end()) {
      *(at + 1) = extra[i + 1];
    } else {
      args.insert(args.end(), {extra[i], extra[i + 1]});
    }
  }
  if (GetParam().outputUnderAFile) args[3] = (dir_ / "file" / "out").string();
  ChildProcess child(args, dir_ / "stdout", dir_ / "stderr");
  const auto status = child.wait(20s);
  ASSERT_TRUE(status);
  ASSERT_TRUE(WIFEXITED(*status));
  EXPECT_EQ(WEXITSTATUS(*status), GetParam().exitCode);
  const std::string err = readFile(dir_ / "stderr");
  EXPECT_EQ(err.rfind(GetParam().stderrStart, 0), 0u) << err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlayerStartTest,
    ::testing::Values(
        StartCase{"unwritableOutput", {}, true, 1, "play: cannot use "},
        StartCase{"familyNotOffered", {"--place", "rhythm:large"}, false, 2,
                  "play: --place: korvel.week.rhythm does not offer systemLarge; it offers "
                  "systemSmall, systemMedium\n"},
        StartCase{"badAppearance", {"--appearance", "sepia"}, false, 2,
                  "play: --appearance must be light, dark or auto, not \"sepia\"\n"},
        StartCase{"scaleOutOfRange", {"--scale", "20"}, false, 2,
                  "play: --scale must lie between 0.5 and 8\n"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(PlayerProcessTest, OnceDrawsAndSaysWhere) {
  ChildProcess child(play({"--once", "--place", "limits:medium"}), dir_ / "stdout", dir_ / "stderr");
  const auto status = child.wait(30s);
  ASSERT_TRUE(status && WIFEXITED(*status));
  EXPECT_EQ(WEXITSTATUS(*status), 0) << readFile(dir_ / "stderr");
  EXPECT_EQ(readFile(dir_ / "stdout"),
            "play: 1 widget and index.json in " + (dir_ / "out").string() + "\n");
  EXPECT_TRUE(fs::exists(dir_ / "out" / "limits-systemMedium-light.png"));
}

}  // namespace
}  // namespace korvel::host
