#include <CLI/CLI.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/cli/commands.h"

namespace korvel::host {
namespace {

namespace fs = std::filesystem;

// Runs `korvel-widgets render ARGS` the way main does: parse errors are usage errors (2).
int render(std::vector<std::string> args) {
  CLI::App app;
  app.require_subcommand(1);
  int exitCode = 0;
  addRenderCommand(app, exitCode);
  args.insert(args.begin(), "render");
  std::reverse(args.begin(), args.end());
  try {
    app.parse(args);
  } catch (const CLI::ParseError& e) {
    return e.get_exit_code() == 0 ? 0 : 2;
  }
  return exitCode;
}

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class RenderCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) /
           ("render_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string out(const char* name) const { return (dir_ / name).string(); }
  // A widget drawn with the common options and the given extra ones.
  int draw(const std::string& kind, const std::string& family, const std::string& format,
           const std::string& output, std::vector<std::string> extra = {}) {
    std::vector<std::string> args{"--kind", kind,    "--family", family, "--appearance",
                                  "light",  "--format", format,  "-o",     output,
                                  "--now",  "1700000000", "--locale", "en_US",
                                  "--time-zone", "UTC"};
    args.insert(args.end(), extra.begin(), extra.end());
    return render(args);
  }

  fs::path dir_;
};

TEST_F(RenderCommand, WritesEachFormatWithItsMagic) {
  struct Case {
    const char* format;
    const char* magic;
  } cases[] = {{"png", "\x89PNG\r\n\x1a\n"}, {"svg", "<?xml"}, {"pdf", "%PDF-"}, {"json", "{\"kind\""}};
  for (const Case& c : cases) {
    const std::string path = out((std::string("w.") + c.format).c_str());
    ASSERT_EQ(draw("limits", "systemMedium", c.format, path), 0) << c.format;
    EXPECT_EQ(slurp(path).rfind(c.magic, 0), 0u) << c.format;
  }
}

TEST_F(RenderCommand, AcceptsFaceKindsAndKindStrings) {
  ASSERT_EQ(draw("korvel.week.glance", "systemLarge", "json", out("a.json")), 0);
  ASSERT_EQ(draw("week", "systemLarge", "json", out("b.json")), 0);
  const std::string json = slurp(out("a.json"));
  EXPECT_EQ(json, slurp(out("b.json")));
  EXPECT_EQ(json.rfind(R"({"kind":"week","widget":"korvel.week.glance","family":"systemLarge",)"
                       R"("size":[364,382],"content":[16,16,332,350],"scale":2,)"
                       R"("appearance":"light","label":"Korvel","url":"korvel://week/week",)",
                       0),
            0u)
      << json;
}

TEST_F(RenderCommand, FamiliesNotOfferedAreUsageErrorsNamingTheOfferedOnes) {
  struct Case {
    const char* kind;
    const char* family;
    const char* offered;
  } cases[] = {
      {"week", "systemSmall", "systemLarge"},
      {"korvel.week.glance", "systemMedium", "systemLarge"},
      {"limits", "systemLarge", "systemSmall, systemMedium"},
      {"rhythm", "systemHuge", "systemSmall, systemMedium"},
  };
  for (const Case& c : cases) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(draw(c.kind, c.family, "png", out("x.png")), 2) << c.kind << " " << c.family;
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(c.offered), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(out("x.png")));
  }
}

TEST_F(RenderCommand, UsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {"--kind", "glance"},
      {"--kind", "Limits"},
      {"--scale", "0"},
      {"--scale", "9"},
      {"--scale", "nan"},
      {"--now", "soon"},
      {"--now", "inf"},
      {"--locale", "xx_YY"},
      {"--time-zone", "Mars/Olympus"},
      {"--format", "gif"},
      {"--appearance", "sepia"},
  };
  for (const auto& extra : cases) {
    ::testing::internal::CaptureStderr();
    // Later options win in CLI11, so the faulty value overrides the good default.
    EXPECT_EQ(draw("limits", "systemSmall", "png", out("x.png"), extra), 2)
        << extra[0] << " " << extra[1];
    ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(fs::exists(out("x.png")));
  }
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(render({"--kind", "limits"}), 2);  // required options missing
  ::testing::internal::GetCapturedStderr();
}

TEST_F(RenderCommand, MissingOrRefusedSnapshotsDrawTheEmptyWidget) {
  std::ofstream(out("bad.json")) << "{\"v\": 1, \"generatedMs\": ";
  for (const std::string& snapshot : {out("nowhere.json"), out("bad.json"), dir_.string()}) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(draw("volume", "systemSmall", "json", out("w.json"), {"--snapshot", snapshot}), 0);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("drawn without a snapshot"), std::string::npos) << err;
    EXPECT_NE(slurp(out("w.json")).find(R"("label":"Korvel")"), std::string::npos);
  }
}

TEST_F(RenderCommand, ReadsTheSnapshotForTheLabel) {
  const std::string sample = std::string(KORVEL_SOURCE_DIR) + "/examples/week.json";
  ASSERT_EQ(draw("limits", "systemSmall", "json", out("w.json"), {"--snapshot", sample}), 0);
  const std::string json = slurp(out("w.json"));
  EXPECT_EQ(json.find(R"("label":"Korvel")"), std::string::npos) << json.substr(0, 300);
  EXPECT_NE(json.find(R"("url":"korvel://week/limits")"), std::string::npos);
}

TEST_F(RenderCommand, UnwritableOutputIsAFailureNotAUsageError) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(draw("now", "systemSmall", "png", out("missing/dir/w.png")), 1);
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("cannot write"), std::string::npos);
}

TEST_F(RenderCommand, DashWritesToStandardOutput) {
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(draw("now", "systemSmall", "json", "-"), 0);
  const std::string printed = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(printed.rfind(R"({"kind":"now","widget":"korvel.week.now")", 0), 0u) << printed;
}

TEST_F(RenderCommand, ReplacesAnExistingFileWhole) {
  std::ofstream(out("w.json")) << std::string(100000, '~');
  ASSERT_EQ(draw("now", "systemSmall", "json", out("w.json")), 0);
  const std::string json = slurp(out("w.json"));
  EXPECT_EQ(json.find('~'), std::string::npos);
  EXPECT_EQ(json.back(), '\n');
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator{}), 1);
}

}  // namespace
}  // namespace korvel::host
