// The check and timeline commands, run in-process the way main() runs them: parser errors are
// usage (2), refused or unreadable input is 1, results on standard output, messages on standard
// error.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/cli/commands.h"
#include "snapshot/decode.h"
#include "snapshot/test_files.h"

namespace korvel::host {
namespace {

using korvel::testing::ScratchDir;

struct Outcome {
  int code = -1;
  std::string out;
  std::string err;
};

Outcome runCli(std::vector<std::string> args) {
  args.insert(args.begin(), "korvel-widgets");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());

  std::ostringstream out, err;
  auto* oldOut = std::cout.rdbuf(out.rdbuf());
  auto* oldErr = std::cerr.rdbuf(err.rdbuf());
  Outcome result;
  {
    CLI::App app{"korvel-widgets", "korvel-widgets"};
    app.require_subcommand(1);
    int exitCode = 0;
    addCheckCommand(app, exitCode);
    addTimelineCommand(app, exitCode);
    try {
      app.parse(static_cast<int>(argv.size()), argv.data());
      result.code = exitCode;
    } catch (const CLI::ParseError& e) {
      result.code = app.exit(e, out, err) == 0 ? 0 : 2;
    }
  }
  std::cout.rdbuf(oldOut);
  std::cerr.rdbuf(oldErr);
  result.out = out.str();
  result.err = err.str();
  return result;
}

class ScopedGroupFolder {
 public:
  explicit ScopedGroupFolder(const std::string& dir) {
    if (const char* old = std::getenv("KORVEL_GROUP_CONTAINER")) old_ = old;
    ::setenv("KORVEL_GROUP_CONTAINER", dir.c_str(), 1);
  }
  ~ScopedGroupFolder() {
    if (old_) {
      ::setenv("KORVEL_GROUP_CONTAINER", old_->c_str(), 1);
    } else {
      ::unsetenv("KORVEL_GROUP_CONTAINER");
    }
  }

 private:
  std::optional<std::string> old_;
};

const std::string kSample = korvel::testing::examplePath("week.json").string();

TEST(CheckCommand, SummarisesAnAcceptedFile) {
  const Outcome r = runCli({"check", kSample});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "file: " + kSample +
                       "\nversion: 1\ngenerated: 2025-06-12T16:42:07.123Z\nweek: Week 24\n"
                       "period: 9–15 June\noff: false\nruns: 6 (3 waiting)\nmeters: 4\n"
                       "legend entries: 3\n");
  EXPECT_EQ(r.err, "");
}

TEST(CheckCommand, CanonicalPrintsTheReencodedSnapshot) {
  ScratchDir dir;
  const std::string noisy = korvel::testing::replaceOnce(
      korvel::testing::exampleText("week-minimal.json"), "\"v\": 1,",
      R"("v": 1, "undeclared": [1, {"x": 2}],)");
  korvel::testing::writeFile(dir / "week.json", noisy);
  const Outcome r = runCli({"check", "--canonical", (dir / "week.json").string()});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, encodeSnapshot(*decodeSnapshot(noisy)) + "\n");
  EXPECT_TRUE(r.out.starts_with(R"({"v":1,"generatedMs":1749746527123,"week":"Week 24",)"));
  EXPECT_EQ(r.out.find("undeclared"), std::string::npos);
  EXPECT_EQ(r.out.find("\"strong\""), std::string::npos);
}

TEST(CheckCommand, RefusedFileNamesPathAndReason) {
  ScratchDir dir;
  const std::string path = (dir / "week.json").string();
  korvel::testing::writeFile(path, korvel::testing::replaceOnce(
                                       korvel::testing::exampleText("week.json"), "[9, 2, 1],",
                                       "[9, null, 1],"));
  const Outcome r = runCli({"check", path});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, path + ": outcomes.perDay[0][1]: expected an integer, found null\n");
}

TEST(CheckCommand, UnreadableFileGivesSystemReason) {
  ScratchDir dir;
  const Outcome missing = runCli({"check", (dir / "none.json").string()});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, (dir / "none.json").string() + ": cannot open: No such file or directory\n");
  const Outcome folder = runCli({"check", dir.path().string()});
  EXPECT_EQ(folder.code, 1);
  EXPECT_EQ(folder.err, dir.path().string() + ": is a directory, not a file\n");
}

TEST(CheckCommand, WithoutFileReadsWhereTheWidgetsRead) {
  ScratchDir dir;
  ScopedGroupFolder group(dir.path().string());
  const Outcome missing = runCli({"check"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, (dir / "week.json").string() + ": cannot open: No such file or directory\n");

  korvel::testing::writeFile(dir / "week.json", korvel::testing::exampleText("week-off.json"));
  const Outcome found = runCli({"check"});
  EXPECT_EQ(found.code, 0);
  EXPECT_TRUE(found.out.starts_with("file: " + (dir / "week.json").string() + "\n")) << found.out;
  EXPECT_NE(found.out.find("\noff: true\n"), std::string::npos);
}

TEST(CheckCommand, UsageErrorsExitWith2) {
  EXPECT_EQ(runCli({"check", "a.json", "b.json"}).code, 2);
  EXPECT_EQ(runCli({"check", "--bogus"}).code, 2);
  EXPECT_EQ(runCli({}).code, 2);
}

TEST(TimelineCommand, PrintsEntriesAndReload) {
  const Outcome r = runCli({"timeline", "--snapshot", kSample, "--now", "1749750127"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out,
            R"({"entries":[{"date":1749750127,"snapshot":true},)"
            R"({"date":1749757328.123,"snapshot":true}],"reloadAfter":1749751027})"
            "\n");
  EXPECT_EQ(r.err, "");
}

TEST(TimelineCommand, StaleSnapshotGivesOneEntry) {
  const Outcome r = runCli({"timeline", "--snapshot", kSample, "--now", "1749757328.5"});
  EXPECT_EQ(r.out, R"({"entries":[{"date":1749757328.5,"snapshot":true}],"reloadAfter":1749758228.5})"
                   "\n");
}

TEST(TimelineCommand, SnapshotAndPlaceholderRequests) {
  EXPECT_EQ(runCli({"timeline", "--request", "snapshot", "--snapshot", kSample, "--now", "-1.25"}).out,
            "{\"entries\":[{\"date\":-1.25,\"snapshot\":true}]}\n");
  EXPECT_EQ(runCli({"timeline", "--request", "placeholder", "--snapshot", kSample, "--now", "12"}).out,
            "{\"entries\":[{\"date\":12,\"snapshot\":false}]}\n");
}

TEST(TimelineCommand, MissingFileIsAnEmptyEntryExplainedOnStderr) {
  ScratchDir dir;
  const std::string path = (dir / "week.json").string();
  const Outcome r = runCli({"timeline", "--snapshot", path, "--now", "100"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "{\"entries\":[{\"date\":100,\"snapshot\":false}],\"reloadAfter\":1000}\n");
  EXPECT_EQ(r.err, "timeline: no snapshot: " + path + ": cannot open: No such file or directory\n");
}

TEST(TimelineCommand, BadArgumentsExitWith2) {
  EXPECT_EQ(runCli({"timeline", "--now", "1e9"}).code, 2);
  EXPECT_EQ(runCli({"timeline", "--now", "soon"}).code, 2);
  EXPECT_EQ(runCli({"timeline", "--now", "inf"}).code, 2);
  EXPECT_EQ(runCli({"timeline", "--request", "gallery"}).code, 2);
}

TEST(TimelineCommand, ClockDefaultsToTheSystemTime) {
  const Outcome r = runCli({"timeline", "--request", "placeholder"});
  EXPECT_EQ(r.code, 0);
  const std::string prefix = "{\"entries\":[{\"date\":";
  ASSERT_TRUE(r.out.starts_with(prefix)) << r.out;
  const std::string date = r.out.substr(prefix.size(), r.out.find(',') - prefix.size());
  EXPECT_EQ(date.find_first_not_of("0123456789."), std::string::npos) << date;
  EXPECT_GT(std::stod(date), 1.7e9);
}

}  // namespace
}  // namespace korvel::host
