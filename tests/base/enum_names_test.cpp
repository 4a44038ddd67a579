// Enum names come from the enum's description: every enumerator both ways, a keyword's
// trailing '_' dropped, and nothing for a name no enumerator has.
#include "base/enum_names.h"

#include <gtest/gtest.h>

namespace korvel {
namespace {

enum class Tone { default_, loud, quiet };
BOOST_DESCRIBE_ENUM(Tone, default_, loud, quiet)

TEST(EnumNames, EveryEnumeratorBothWays) {
  const std::pair<Tone, std::string_view> cases[] = {
      {Tone::default_, "default"}, {Tone::loud, "loud"}, {Tone::quiet, "quiet"}};
  for (const auto& [tone, name] : cases) {
    EXPECT_EQ(enumName(tone), name);
    EXPECT_EQ(enumFromName<Tone>(name), tone) << name;
  }
  for (const std::string_view unknown : {"default_", "Loud", "", "quiet "}) {
    EXPECT_EQ(enumFromName<Tone>(unknown), std::nullopt) << unknown;
  }
}

}  // namespace
}  // namespace korvel
