// Placements from the command line and the key file: the forms accepted, the messages for the
// ones refused, repeats, defaults, and which source wins.
#include <gtest/gtest.h>

#include <map>

#include "host/player/placements.h"
#include "support/files.h"

namespace korvel::host {
namespace {

using korvel::testing::ScratchDir;
using korvel::testing::writeFile;

struct ParseCase {
  const char* text;
  const char* placed;  // placementText of the result, or the error message
};

class PlacementParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(PlacementParseTest, AcceptsKindOrFaceWithHostOrShortFamily) {
  const auto result = parsePlacement(GetParam().text);
  const std::string got = std::holds_alternative<Placement>(result)
                              ? placementText(std::get<Placement>(result))
                              : std::get<PlacementError>(result).message;
  EXPECT_EQ(got, GetParam().placed);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, PlacementParseTest,
    ::testing::Values(
        ParseCase{"korvel.week.limits:systemMedium", "korvel.week.limits:systemMedium"},
        ParseCase{"limits:medium", "korvel.week.limits:systemMedium"},
        ParseCase{" now:small ", "korvel.week.now:systemSmall"},
        ParseCase{"week:large", "korvel.week.glance:systemLarge"},
        ParseCase{"korvel.week.glance:systemLarge", "korvel.week.glance:systemLarge"},
        ParseCase{"rhythm:systemLarge",
                  "korvel.week.rhythm does not offer systemLarge; it offers systemSmall, "
                  "systemMedium"},
        ParseCase{"week:small",
                  "korvel.week.glance does not offer systemSmall; it offers systemLarge"},
        ParseCase{"now:huge",
                  "no family \"huge\"; korvel.week.now offers systemSmall, systemMedium, "
                  "systemLarge"},
        ParseCase{"korvel.week.clock:systemSmall",
                  "no widget \"korvel.week.clock\"; the widgets are korvel.week.autonomy, "
                  "korvel.week.outcomes, korvel.week.receipt, korvel.week.rhythm, "
                  "korvel.week.volume, korvel.week.limits, korvel.week.now, korvel.week.glance "
                  "(or their face kinds)"},
        ParseCase{"limits", "placement \"limits\" is not KIND:FAMILY (for example "
                            "korvel.week.limits:systemMedium)"},
        ParseCase{"limits:", "placement \"limits:\" is not KIND:FAMILY (for example "
                             "korvel.week.limits:systemMedium)"},
        ParseCase{":small", "placement \":small\" is not KIND:FAMILY (for example "
                            "korvel.week.limits:systemMedium)"}));

std::vector<std::string> texts(const std::vector<Placement>& placements) {
  std::vector<std::string> out;
  for (const Placement& p : placements) out.push_back(placementText(p));
  return out;
}

TEST(PlacementsTest, APlacementGivenTwiceCountsOnceWhereItFirstCame) {
  const auto result = parsePlacements(
      {"now:small", "limits:medium", "korvel.week.now:systemSmall", "now:medium", "limits:systemMedium"});
  ASSERT_TRUE(std::holds_alternative<std::vector<Placement>>(result));
  EXPECT_EQ(texts(std::get<std::vector<Placement>>(result)),
            (std::vector<std::string>{"korvel.week.now:systemSmall",
                                      "korvel.week.limits:systemMedium",
                                      "korvel.week.now:systemMedium"}));
}

TEST(PlacementsTest, TheFirstBadPlacementRefusesAll) {
  const auto result = parsePlacements({"now:small", "volume:large", "nothing:small"});
  ASSERT_TRUE(std::holds_alternative<PlacementError>(result));
  EXPECT_EQ(std::get<PlacementError>(result).message,
            "korvel.week.volume does not offer systemLarge; it offers systemSmall, systemMedium");
}

TEST(PlacementsTest, DefaultsAreEveryWidgetInItsFirstFamilyInBundleOrder) {
  EXPECT_EQ(texts(defaultPlacements()),
            (std::vector<std::string>{
                "korvel.week.autonomy:systemSmall", "korvel.week.outcomes:systemSmall",
                "korvel.week.receipt:systemSmall", "korvel.week.rhythm:systemSmall",
                "korvel.week.volume:systemSmall", "korvel.week.limits:systemSmall",
                "korvel.week.now:systemSmall", "korvel.week.glance:systemLarge"}));
}

struct PathCase {
  const char* name;
  std::map<std::string, std::string> env;
  const char* path;
};

class ConfigPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(ConfigPathTest, FollowsTheBaseDirectoryRules) {
  const auto& env = GetParam().env;
  const EnvLookup lookup = [&env](const char* key) -> const char* {
    const auto it = env.find(key);
    return it == env.end() ? nullptr : it->second.c_str();
  };
  EXPECT_EQ(configFilePath(lookup).string(), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Env, ConfigPathTest,
    ::testing::Values(
        PathCase{"xdg", {{"XDG_CONFIG_HOME", "/cfg"}, {"HOME", "/home/u"}},
                 "/cfg/korvel-widgets/widgets.ini"},
        PathCase{"home", {{"HOME", "/home/u"}}, "/home/u/.config/korvel-widgets/widgets.ini"},
        PathCase{"emptyXdg", {{"XDG_CONFIG_HOME", ""}, {"HOME", "/home/u"}},
                 "/home/u/.config/korvel-widgets/widgets.ini"},
        PathCase{"relativeXdg", {{"XDG_CONFIG_HOME", "cfg"}, {"HOME", "/home/u"}},
                 "/home/u/.config/korvel-widgets/widgets.ini"},
        PathCase{"nothing", {}, ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ConfigFileTest, ListsThePlacementsOfThePlaceKey) {
  ScratchDir dir;
  writeFile(dir / "widgets.ini",
            "# my desktop\n[placements]\nplace=korvel.week.limits:systemMedium; now:small ;\n");
  const ConfigPlacements config = readConfigPlacements(dir / "widgets.ini");
  EXPECT_TRUE(config.found);
  EXPECT_EQ(config.error, "");
  EXPECT_TRUE(config.warnings.empty());
  EXPECT_EQ(config.places,
            (std::vector<std::string>{"korvel.week.limits:systemMedium", "now:small"}));
}

TEST(ConfigFileTest, AMissingFileListsNothingAndIsNoError) {
  ScratchDir dir;
  const ConfigPlacements config = readConfigPlacements(dir / "none.ini");
  EXPECT_FALSE(config.found);
  EXPECT_EQ(config.error, "");
  EXPECT_TRUE(config.places.empty());
}

TEST(ConfigFileTest, UnknownGroupsAndKeysAreToldNotSilentlyIgnored) {
  ScratchDir dir;
  writeFile(dir / "widgets.ini", "[placements]\nplaces=now:small\n[colours]\ndark=true\n");
  const ConfigPlacements config = readConfigPlacements(dir / "widgets.ini");
  EXPECT_TRUE(config.places.empty());
  const std::string file = (dir / "widgets.ini").string();
  EXPECT_EQ(config.warnings,
            (std::vector<std::string>{file + ": ignoring the unknown group [colours]",
                                      file + ": ignoring the unknown key places in [placements]"}));
}

TEST(ConfigFileTest, AFileThatIsNoKeyFileIsAnError) {
  ScratchDir dir;
  writeFile(dir / "widgets.ini", "place=now:small\n");  // a key outside any group
  const ConfigPlacements config = readConfigPlacements(dir / "widgets.ini");
  EXPECT_EQ(config.error.rfind((dir / "widgets.ini").string() + ": ", 0), 0u) << config.error;
}

TEST(ResolvePlacementsTest, TheCommandLineReplacesTheFile) {
  ScratchDir dir;
  writeFile(dir / "widgets.ini", "[placements]\nplace=rhythm:small;volume:small\n");
  const auto fromFile = resolvePlacements({}, dir / "widgets.ini");
  ASSERT_TRUE(std::holds_alternative<ResolvedPlacements>(fromFile));
  EXPECT_EQ(std::get<ResolvedPlacements>(fromFile).source, PlacementSource::configFile);
  EXPECT_EQ(texts(std::get<ResolvedPlacements>(fromFile).placements),
            (std::vector<std::string>{"korvel.week.rhythm:systemSmall",
                                      "korvel.week.volume:systemSmall"}));

  const auto fromLine = resolvePlacements({"now:large"}, dir / "widgets.ini");
  ASSERT_TRUE(std::holds_alternative<ResolvedPlacements>(fromLine));
  EXPECT_EQ(std::get<ResolvedPlacements>(fromLine).source, PlacementSource::commandLine);
  EXPECT_EQ(texts(std::get<ResolvedPlacements>(fromLine).placements),
            (std::vector<std::string>{"korvel.week.now:systemLarge"}));
}

TEST(ResolvePlacementsTest, NoneAnywhereGivesTheDefaults) {
  ScratchDir dir;
  writeFile(dir / "widgets.ini", "[placements]\nplace=\n");
  const auto resolved = resolvePlacements({}, dir / "widgets.ini");
  ASSERT_TRUE(std::holds_alternative<ResolvedPlacements>(resolved));
  EXPECT_EQ(std::get<ResolvedPlacements>(resolved).source, PlacementSource::defaults);
  EXPECT_EQ(std::get<ResolvedPlacements>(resolved).placements, defaultPlacements());
}

struct ResolveErrorCase {
  const char* name;
  std::vector<std::string> commandLine;
  const char* file;  // contents of widgets.ini
  int exitCode;
  const char* message;  // after the file name for file errors
};

class ResolveErrorTest : public ::testing::TestWithParam<ResolveErrorCase> {};

TEST_P(ResolveErrorTest, BadCommandLinesAreUsageErrorsBadFilesAreRefusedInput) {
  const ResolveErrorCase& c = GetParam();
  ScratchDir dir;
  writeFile(dir / "widgets.ini", c.file);
  const auto resolved = resolvePlacements(c.commandLine, dir / "widgets.ini");
  ASSERT_TRUE(std::holds_alternative<ResolveError>(resolved));
  const ResolveError& error = std::get<ResolveError>(resolved);
  EXPECT_EQ(error.exitCode, c.exitCode);
  const std::string prefix = c.exitCode == 1 ? (dir / "widgets.ini").string() + ": " : "";
  EXPECT_EQ(error.message, prefix + c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResolveErrorTest,
    ::testing::Values(
        ResolveErrorCase{"badPlace", {"rhythm:large"}, "[placements]\nplace=now:small\n", 2,
                         "--place: korvel.week.rhythm does not offer systemLarge; it offers "
                         "systemSmall, systemMedium"},
        // A command line that replaces a broken file does not read it.
        ResolveErrorCase{"fileBadButReplaced", {"now:nope"}, "garbage\n", 2,
                         "--place: no family \"nope\"; korvel.week.now offers systemSmall, "
                         "systemMedium, systemLarge"},
        ResolveErrorCase{"badFilePlacement", {}, "[placements]\nplace=now:small;week:small\n", 1,
                         "korvel.week.glance does not offer systemSmall; it offers systemLarge"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ResolvePlacementsTest, ABrokenFileIsNotReadWhenTheCommandLinePlaces) {
  ScratchDir dir;
  writeFile(dir / "widgets.ini", "not a key file\n");
  EXPECT_TRUE(std::holds_alternative<ResolvedPlacements>(resolvePlacements({"now:small"}, dir / "widgets.ini")));
  const auto resolved = resolvePlacements({}, dir / "widgets.ini");
  ASSERT_TRUE(std::holds_alternative<ResolveError>(resolved));
  EXPECT_EQ(std::get<ResolveError>(resolved).exitCode, 1);
}

}  // namespace
}  // namespace korvel::host
