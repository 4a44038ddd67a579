#include "host/cli/time_options.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace korvel::host {
namespace {

struct Case {
  const char* name;
  std::map<std::string, std::string> env;
  TimeOptions options;
  TimeSettings settings;  // when resolved
  std::string error;      // when refused
  bool warns;
};

TEST(TimeOptions, OptionsOverrideTheEnvironment) {
  const Case cases[] = {
      {"nothing set", {}, {}, {"en_US", "UTC"}, "", false},
      {"environment", {{"LANG", "de_DE.UTF-8"}, {"TZ", "Europe/Berlin"}}, {},
       {"de_DE", "Europe/Berlin"}, "", false},
      {"options win", {{"LANG", "de_DE.UTF-8"}, {"TZ", "Europe/Berlin"}},
       {"en_GB", "Asia/Tokyo"}, {"en_GB", "Asia/Tokyo"}, "", false},
      {"bad TZ replaced by an option: no warning", {{"TZ", "Nowhere/Land"}}, {"", "UTC"},
       {"en_US", "UTC"}, "", false},
      {"bad TZ still in use: warning", {{"TZ", "Nowhere/Land"}}, {"de_DE", ""},
       {"de_DE", "UTC"}, "", true},
      {"bad LANG still in use: warning", {{"LANG", "zz_ZZ"}}, {"", "UTC"}, {"en_US", "UTC"}, "",
       true},
      {"unknown locale option", {}, {"klingon", ""}, {}, "unknown locale \"klingon\"", false},
      {"unknown zone option", {}, {"", "Mars/Base"}, {}, "unknown time zone \"Mars/Base\"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string warning;
    const auto got = resolveTimeOptions(
        c.options,
        [&c](const char* key) -> const char* {
          const auto it = c.env.find(key);
          return it == c.env.end() ? nullptr : it->second.c_str();
        },
        warning);
    if (c.error.empty()) {
      ASSERT_TRUE(std::holds_alternative<TimeSettings>(got));
      EXPECT_EQ(std::get<TimeSettings>(got), c.settings);
    } else {
      ASSERT_TRUE(std::holds_alternative<TimeOptionsError>(got));
      EXPECT_EQ(std::get<TimeOptionsError>(got).message, c.error);
    }
    EXPECT_EQ(!warning.empty(), c.warns) << warning;
  }
}

}  // namespace
}  // namespace korvel::host
