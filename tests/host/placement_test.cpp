// Placements and settings from the command line and the configuration files: the forms
// accepted, the kind and place of the ones refused (the option, or file and line), repeats,
// defaults, which source wins, and where the files live.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "host/platform_lookups.h"
#include "host/player/host_options.h"
#include "host/player/placements.h"
#include "support/files.h"

namespace korvel::host {
namespace {

namespace fs = std::filesystem;

struct ResolveCase {
  const char* name;
  std::vector<std::string> commandLine;  // the --place values
  const char* file;                      // widgets.ini, or none
  // The source and the placements, then " | " and each warning; or the error's kind and place,
  // and as much of its message as is given. FILE stands for the key file's path.
  std::string outcome;
};

// "usage at --place: no family ...", compared as far as a case spells it out.
std::string errorText(const Error& error) {
  constexpr const char* kinds[] = {"unreadable", "malformed", "invalid", "refused",
                                   "usage", "unwritable", "undrawable"};
  const std::string kind = kinds[static_cast<int>(error.kind)];
  return kind + (error.where.empty() ? "" : " at " + error.where) + ": " + error.message;
}

class ResolvePlacementsTest : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(ResolvePlacementsTest, TakesTheCommandLineElseTheFileElseTheDefaults) {
  const ResolveCase& c = GetParam();
  korvel::testing::ScratchDir dir;
  const std::string file = dir / "widgets.ini";
  if (c.file) korvel::testing::writeFile(file, c.file);
  const auto read = readConfigFiles({file});
  const ConfigFile* config = std::get_if<ConfigFile>(&read);
  const auto resolved = resolvePlacements(c.commandLine, config ? *config : ConfigFile{});
  const Error* error = config ? std::get_if<Error>(&resolved) : &std::get<Error>(read);
  std::string got = error ? errorText(*error) : "";
  if (!error) {
    const auto& r = std::get<ResolvedPlacements>(resolved);
    got = r.source == PlacementSource::commandLine ? "line:"
          : r.source == PlacementSource::configFile ? "file:" : "defaults:";
    for (const Placement& p : r.placements) got += " " + placementText(p);
    for (const std::string& w : config->warnings) got += " | " + w;
  }
  std::size_t at;
  while ((at = got.find(file)) != std::string::npos) got.replace(at, file.size(), "FILE");
  EXPECT_EQ(error ? got.substr(0, c.outcome.size()) : got, c.outcome);
}

const std::string kDefaults =
    "defaults: korvel.week.autonomy:systemSmall korvel.week.outcomes:systemSmall "
    "korvel.week.receipt:systemSmall korvel.week.rhythm:systemSmall korvel.week.volume:systemSmall "
    "korvel.week.limits:systemSmall korvel.week.now:systemSmall korvel.week.glance:systemLarge";

INSTANTIATE_TEST_SUITE_P(
    Cases, ResolvePlacementsTest,
    ::testing::Values(
        // The kind string or the face kind, the host family or its short name; they beat the file.
        ResolveCase{"forms", {"korvel.week.limits:systemMedium", " now:small ", "week:large"},
                    "[placements]\nplace=now:large\n", "line: korvel.week.limits:systemMedium "
                    "korvel.week.now:systemSmall korvel.week.glance:systemLarge"},
        ResolveCase{"repeatsCountOnceWhereFirstGiven",
                    {"now:small", "limits:medium", "korvel.week.now:systemSmall", "now:medium",
                     "limits:systemMedium"}, "[placements]\nplace=rhythm:small\n",
                    "line: korvel.week.now:systemSmall korvel.week.limits:systemMedium "
                    "korvel.week.now:systemMedium"},
        // The first bad placement refuses all, naming what the widget offers.
        ResolveCase{"familyNotOffered", {"now:small", "rhythm:large", "nothing:small"}, nullptr,
                    "usage at --place: korvel.week.rhythm does not offer systemLarge; it offers "
                    "systemSmall, systemMedium"},
        ResolveCase{"unknownFamily", {"now:huge"}, nullptr, "usage at --place: no family"},
        ResolveCase{"unknownWidget", {"korvel.week.clock:small"}, nullptr, "usage at --place"},
        ResolveCase{"noColon", {"limits"}, nullptr, "usage at --place"},
        ResolveCase{"noFamily", {"limits:"}, nullptr, "usage at --place"},
        ResolveCase{"noKind", {":small"}, nullptr, "usage at --place"},
        ResolveCase{"fromTheFile", {},
                    "# mine\n; also\n[placements]\n place = limits:medium; now:small ; ;\n",
                    "file: korvel.week.limits:systemMedium korvel.week.now:systemSmall"},
        ResolveCase{"unknownGroupsAndKeysAreTold", {},
                    "[placements]\nplace=rhythm:small\nplaces=now:small\n[colours]\ndark=true\n",
                    "file: korvel.week.rhythm:systemSmall | FILE:3: ignoring the unknown key "
                    "places in [placements] | FILE:4: ignoring the unknown group [colours]"},
        ResolveCase{"badFilePlacement", {}, "[placements]\nplace=now:small;week:small\n",
                    "invalid at FILE:2"},
        ResolveCase{"keyOutsideAGroup", {"now:small"}, "place=now:small\n",
                    "malformed at FILE:1"},
        ResolveCase{"badLine", {}, "[placements]\n\nplace=now:small\nnow:large\n",
                    "malformed at FILE:4"},
        // A position after the family, the same on the command line and in the file.
        ResolveCase{"positions", {"limits:medium@top-right+24+24", "now:small@center", "week:large"},
                    nullptr, "line: korvel.week.limits:systemMedium@top-right+24+24 "
                    "korvel.week.now:systemSmall@center+0+0 korvel.week.glance:systemLarge"},
        ResolveCase{"positionInTheFile", {}, "[placements]\nplace=now:small@bottom-left+0+9\n",
                    "file: korvel.week.now:systemSmall@bottom-left+0+9"},
        ResolveCase{"unknownAnchor", {"now:small@middle"}, nullptr, "usage at --place"},
        ResolveCase{"oneMargin", {"now:small@top+5"}, nullptr, "usage at --place"},
        ResolveCase{"negativeMargin", {"now:small@top+-5+3"}, nullptr, "usage at --place"},
        ResolveCase{"noFile", {}, nullptr, kDefaults},
        ResolveCase{"emptyList", {}, "[placements]\nplace=\n", kDefaults}),
    [](const auto& p) { return std::string(p.param.name); });

EnvLookup lookupIn(const std::map<std::string, std::string>& env) {
  return [&env](const char* key) -> const char* {
    const auto it = env.find(key);
    return it == env.end() ? nullptr : it->second.c_str();
  };
}

// Settings: the command line, else the user's file, else the system's, else the defaults.
struct SettingsCase {
  const char* name;
  HostOptions options;
  const char* userFile;    // $XDG_CONFIG_HOME/korvel-widgets/widgets.ini, or none
  const char* systemFile;  // the same below the first folder of $XDG_CONFIG_DIRS, or none
  std::string outcome;     // the settings, or the error as ResolveCase has it
};

class HostSettingsTest : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(HostSettingsTest, TakeTheCommandLineThenTheFilesInOrder) {
  const SettingsCase& c = GetParam();
  korvel::testing::ScratchDir dir;
  const std::map<std::string, std::string> env{
      {"HOME", "/h"}, {"XDG_CONFIG_HOME", dir / "user"}, {"XDG_CACHE_HOME", "/c"},
      {"XDG_CONFIG_DIRS", "rel:" + (dir / "sys").string()}, {"LANG", "C"}, {"TZ", "UTC"}};
  for (const auto& [folder, text] : {std::pair{"user", c.userFile}, {"sys", c.systemFile}}) {
    fs::create_directories(dir / folder / "korvel-widgets");
    if (text) korvel::testing::writeFile(dir / folder / "korvel-widgets/widgets.ini", text);
  }
  const auto resolved = resolveHostOptions(c.options, lookupIn(env));
  const Error* error = std::get_if<Error>(&resolved);
  std::string got = error ? errorText(*error) : "";
  if (!error) {
    const HostSettings& h = std::get<HostSettings>(resolved);
    got = h.snapshotFile.string() + " " + h.outputDir.string() + " " +
          std::array{"light", "dark", "auto"}[static_cast<std::size_t>(h.appearance)] + " " +
          std::to_string(h.scale).substr(0, 3) + " " + placementText(h.placements.front()) +
          " files:" + std::to_string(h.configFiles.size());
  }
  for (const auto& [from, to] : {std::pair{dir.path().string(), "DIR"},
                                 {snapshotFileURL(LinuxPlatformLookups{}).string(), "WEEK"}}) {
    for (auto at = got.find(from); at != std::string::npos; at = got.find(from))
      got.replace(at, from.size(), to);
  }
  EXPECT_EQ(error ? got.substr(0, c.outcome.size()) : got, c.outcome);
}

const char* const kSettings =
    "[settings]\nsnapshot=~/week.json\noutput=/pictures\nappearance=dark\nscale=3\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, HostSettingsTest,
    ::testing::Values(
        SettingsCase{"defaults", {}, nullptr, nullptr,
                     "WEEK /c/korvel-widgets auto 2.0 korvel.week.autonomy:systemSmall files:0"},
        SettingsCase{"userFile", {}, kSettings, "[placements]\nplace=now:large\n",
                     "/h/week.json /pictures dark 3.0 korvel.week.now:systemLarge files:2"},
        SettingsCase{"userFileWinsKeyByKey", {}, "[settings]\nscale=1\n", kSettings,
                     "/h/week.json /pictures dark 1.0 korvel.week.autonomy:systemSmall files:2"},
        SettingsCase{"line", {{"now:small"}, "/s.json", "light", "/o", 4, {}}, kSettings, nullptr,
                     "/s.json /o light 4.0 korvel.week.now:systemSmall files:1"},
        SettingsCase{"badAppearance", {}, "[settings]\nappearance=sepia\n", nullptr,
                     "invalid at DIR/user/korvel-widgets/widgets.ini:2"},
        SettingsCase{"badScale", {}, nullptr, "[settings]\n\nscale=2x\n",
                     "invalid at DIR/sys/korvel-widgets/widgets.ini:3"},
        SettingsCase{"relativePath", {}, "[settings]\noutput=pictures\n", nullptr,
                     "invalid at DIR/user/korvel-widgets/widgets.ini:2"},
        SettingsCase{"badOptionIsUsage", {{}, "", "", "", 9, {}}, nullptr, nullptr,
                     "usage: --scale must lie between 0.5 and 8"}),
    [](const auto& p) { return std::string(p.param.name); });

// A relative XDG_CONFIG_HOME does not count; XDG_CONFIG_DIRS defaults to /etc/xdg.
TEST(ConfigFilePaths, FollowTheBaseDirectoryRules) {
  const std::map<std::string, std::string> env{{"XDG_CONFIG_HOME", "c"}, {"HOME", "/h"}};
  EXPECT_EQ(configFilePaths(lookupIn(env)),
            (std::vector<fs::path>{"/h/.config/korvel-widgets/widgets.ini",
                                   "/etc/xdg/korvel-widgets/widgets.ini"}));
}

}  // namespace
}  // namespace korvel::host
