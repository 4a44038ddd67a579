#include "host/platform_lookups.h"

#include <pwd.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace korvel::host {
namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(LinuxLookups, GroupFolderComesFromTheEnvironment) {
  const LinuxPlatformLookups lookups;
  {
    ScopedEnv env("KORVEL_GROUP_CONTAINER", "/srv/korvel");
    EXPECT_EQ(lookups.groupContainer(snapshotGroupIdentifier), std::filesystem::path("/srv/korvel"));
    EXPECT_EQ(lookups.groupContainer("other.group"), std::nullopt);
  }
  {
    ScopedEnv env("KORVEL_GROUP_CONTAINER", "");
    EXPECT_EQ(lookups.groupContainer(snapshotGroupIdentifier), std::nullopt);
  }
  {
    ScopedEnv env("KORVEL_GROUP_CONTAINER", nullptr);
    EXPECT_EQ(lookups.groupContainer(snapshotGroupIdentifier), std::nullopt);
  }
}

TEST(LinuxLookups, HomeFromEnvironmentElsePasswordDatabase) {
  const LinuxPlatformLookups lookups;
  {
    ScopedEnv env("HOME", "/home/ana");
    EXPECT_EQ(lookups.homeFolder(), std::filesystem::path("/home/ana"));
  }
  ScopedEnv env("HOME", nullptr);
  const passwd* entry = ::getpwuid(::getuid());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(lookups.homeFolder(), std::filesystem::path(entry->pw_dir));
}

TEST(LinuxLookups, ChannelIsTheBuildSettingAndNothingElse) {
  const LinuxPlatformLookups lookups;
  EXPECT_EQ(lookups.bundleValue("SomethingElse"), std::nullopt);
  const std::string built(LinuxPlatformLookups::buildChannel());
  if (built.empty()) {
    EXPECT_EQ(lookups.bundleValue("KorvelChannel"), std::nullopt);
  } else {
    EXPECT_EQ(lookups.bundleValue("KorvelChannel"), std::optional<BundleValue>(built));
  }
}

TEST(LinuxLookups, SnapshotPathWithoutGroupIsBelowHome) {
  const LinuxPlatformLookups lookups;
  ScopedEnv group("KORVEL_GROUP_CONTAINER", nullptr);
  ScopedEnv home("HOME", "/home/ana");
  EXPECT_EQ(snapshotFileURL(lookups).parent_path(),
            std::filesystem::path("/home/ana/Library/Group Containers/ZX4R7PLM2Q.group.korvel.week"));
}

}  // namespace
}  // namespace korvel::host
