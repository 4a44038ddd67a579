// Placements from the command line and the key file: the forms accepted, the messages for the
// ones refused, repeats, defaults, which source wins, and where the key file lives.
#include <gtest/gtest.h>

#include <map>

#include "host/player/placements.h"
#include "support/files.h"

namespace korvel::host {
namespace {

struct ResolveCase {
  const char* name;
  std::vector<std::string> commandLine;  // the --place values
  const char* file;                      // widgets.ini, or none
  // The source and the placements, then " | " and each warning; or the exit code and how the
  // message starts (then only that much is compared). FILE stands for the key file's path.
  std::string outcome;
};

class ResolvePlacementsTest : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(ResolvePlacementsTest, TakesTheCommandLineElseTheFileElseTheDefaults) {
  const ResolveCase& c = GetParam();
  korvel::testing::ScratchDir dir;
  const std::string file = dir / "widgets.ini";
  if (c.file) korvel::testing::writeFile(file, c.file);
  const auto resolved = resolvePlacements(c.commandLine, file);
  std::string got;
  if (const auto* error = std::get_if<ResolveError>(&resolved)) {
    got = "exit " + std::to_string(error->exitCode) + ": " + error->message;
  } else {
    const auto& r = std::get<ResolvedPlacements>(resolved);
    got = r.source == PlacementSource::commandLine ? "line:"
          : r.source == PlacementSource::configFile ? "file:" : "defaults:";
    for (const Placement& p : r.placements) got += " " + placementText(p);
    for (const std::string& w : r.warnings) got += " | " + w;
  }
  std::size_t at;
  while ((at = got.find(file)) != std::string::npos) got.replace(at, file.size(), "FILE");
  if (c.outcome.starts_with("exit ")) got = got.substr(0, c.outcome.size());
  EXPECT_EQ(got, c.outcome);
}

const std::string kDefaults =
    "defaults: korvel.week.autonomy:systemSmall korvel.week.outcomes:systemSmall "
    "korvel.week.receipt:systemSmall korvel.week.rhythm:systemSmall korvel.week.volume:systemSmall "
    "korvel.week.limits:systemSmall korvel.week.now:systemSmall korvel.week.glance:systemLarge";

INSTANTIATE_TEST_SUITE_P(
    Cases, ResolvePlacementsTest,
    ::testing::Values(
        // The kind string or the face kind, the host family or its short name. A command line
        // that places does not read the file, broken or not.
        ResolveCase{"forms", {"korvel.week.limits:systemMedium", " now:small ", "week:large"},
                    "not a key file\n", "line: korvel.week.limits:systemMedium "
                    "korvel.week.now:systemSmall korvel.week.glance:systemLarge"},
        ResolveCase{"repeatsCountOnceWhereFirstGiven",
                    {"now:small", "limits:medium", "korvel.week.now:systemSmall", "now:medium",
                     "limits:systemMedium"}, "[placements]\nplace=rhythm:small\n",
                    "line: korvel.week.now:systemSmall korvel.week.limits:systemMedium "
                    "korvel.week.now:systemMedium"},
        // The first bad placement refuses all, naming what the widget offers.
        ResolveCase{"familyNotOffered", {"now:small", "rhythm:large", "nothing:small"}, "garbage",
                    "exit 2: --place: korvel.week.rhythm does not offer systemLarge; it offers "
                    "systemSmall, systemMedium"},
        ResolveCase{"unknownFamily", {"now:huge"}, nullptr, "exit 2: --place: no family \"huge\"; "
                    "korvel.week.now offers systemSmall, systemMedium, systemLarge"},
        ResolveCase{"unknownWidget", {"korvel.week.clock:small"}, nullptr,
                    "exit 2: --place: no widget \"korvel.week.clock\"; the widgets are "},
        ResolveCase{"noColon", {"limits"}, nullptr, "exit 2: --place: placement \"limits\" is not"},
        ResolveCase{"noFamily", {"limits:"}, nullptr, "exit 2: --place: placement \"limits:\" is"},
        ResolveCase{"noKind", {":small"}, nullptr, "exit 2: --place: placement \":small\" is not"},
        ResolveCase{"fromTheFile", {}, "# mine\n[placements]\nplace=limits:medium; now:small ; ;\n",
                    "file: korvel.week.limits:systemMedium korvel.week.now:systemSmall"},
        ResolveCase{"unknownGroupsAndKeysAreTold", {},
                    "[placements]\nplace=rhythm:small\nplaces=now:small\n[colours]\ndark=true\n",
                    "file: korvel.week.rhythm:systemSmall | FILE: ignoring the unknown group "
                    "[colours] | FILE: ignoring the unknown key places in [placements]"},
        ResolveCase{"badFilePlacement", {}, "[placements]\nplace=now:small;week:small\n",
                    "exit 1: FILE: korvel.week.glance does not offer systemSmall"},
        ResolveCase{"notAKeyFile", {}, "place=now:small\n", "exit 1: FILE: "},
        // A position after the family, the same on the command line and in the file.
        ResolveCase{"positions", {"limits:medium@top-right+24+24", "now:small@center", "week:large"},
                    nullptr, "line: korvel.week.limits:systemMedium@top-right+24+24 "
                    "korvel.week.now:systemSmall@center+0+0 korvel.week.glance:systemLarge"},
        ResolveCase{"positionInTheFile", {}, "[placements]\nplace=now:small@bottom-left+0+9\n",
                    "file: korvel.week.now:systemSmall@bottom-left+0+9"},
        ResolveCase{"unknownAnchor", {"now:small@middle"}, nullptr, "exit 2: --place: placement "
                    "\"now:small@middle\": no anchor \"middle\"; the anchors are top-left, top,"},
        ResolveCase{"oneMargin", {"now:small@top+5"}, nullptr, "exit 2: --place: placement "
                    "\"now:small@top+5\": margins \"+5\" are not +X+Y"},
        ResolveCase{"negativeMargin", {"now:small@top+-5+3"}, nullptr,
                    "exit 2: --place: placement \"now:small@top+-5+3\": margins"},
        ResolveCase{"noFile", {}, nullptr, kDefaults},
        ResolveCase{"emptyList", {}, "[placements]\nplace=\n", kDefaults}),
    [](const auto& p) { return std::string(p.param.name); });

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

const char* const kUnderHome = "/h/.config/korvel-widgets/widgets.ini";

INSTANTIATE_TEST_SUITE_P(
    Env, ConfigPathTest,
    ::testing::Values(
        PathCase{"xdg", {{"XDG_CONFIG_HOME", "/cfg"}, {"HOME", "/h"}}, 
                 "/cfg/korvel-widgets/widgets.ini"},
        PathCase{"home", {{"HOME", "/h"}}, kUnderHome},
        PathCase{"emptyXdg", {{"XDG_CONFIG_HOME", ""}, {"HOME", "/h"}}, kUnderHome},
        PathCase{"relativeXdg", {{"XDG_CONFIG_HOME", "cfg"}, {"HOME", "/h"}}, kUnderHome},
        PathCase{"nothing", {}, ""}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace korvel::host
