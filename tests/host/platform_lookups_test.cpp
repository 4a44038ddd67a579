// The Linux host's answers to the snapshot layer's questions.
#include "host/platform_lookups.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <optional>
#include <string>

namespace korvel {
namespace {

namespace fs = std::filesystem;

// Sets (nullptr: unsets) an environment variable until the end of the scope.
struct ScopedEnv {
  const char* name;
  std::optional<std::string> old;
  ScopedEnv(const char* variable, const char* value) : name(variable) {
    if (const char* was = std::getenv(variable)) old = was;
    value ? ::setenv(variable, value, 1) : ::unsetenv(variable);
  }
  ~ScopedEnv() { old ? ::setenv(name, old->c_str(), 1) : ::unsetenv(name); }
};

TEST(LinuxLookups, AnswerFromTheEnvironmentAndTheBuild) {
  const host::LinuxPlatformLookups lookups;
  // KORVEL_GROUP_CONTAINER, XDG_DATA_HOME (relative ones do not count), the group folder.
  for (const auto& [group, data, expected] : std::array<std::array<const char*, 3>, 3>{{
           {"/srv/k", "/d", "/srv/k"}, {"", "/d", "/d/korvel"},
           {nullptr, "d", "/h/.local/share/korvel"}}}) {
    const ScopedEnv env("KORVEL_GROUP_CONTAINER", group), xdg("XDG_DATA_HOME", data),
        home("HOME", "/h");
    EXPECT_EQ(lookups.groupContainer(snapshotGroupIdentifier), fs::path(expected)) << expected;
    EXPECT_EQ(lookups.groupContainer("other.group"), std::nullopt);
  }
  {
    const ScopedEnv home("HOME", "/home/ana");
    EXPECT_EQ(lookups.homeFolder(), "/home/ana");
  }
  const ScopedEnv home("HOME", nullptr);  // then the password database
  const passwd* entry = ::getpwuid(::getuid());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(lookups.homeFolder(), entry->pw_dir);
  // The channel is the build setting, and there are no other keys.
  const std::string built(host::LinuxPlatformLookups::buildChannel());
  EXPECT_EQ(lookups.bundleValue("KorvelChannel"),
            built.empty() ? std::nullopt : std::optional<BundleValue>(built));
  EXPECT_EQ(lookups.bundleValue("SomethingElse"), std::nullopt);
}

}  // namespace
}  // namespace korvel
