#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/cli/commands.h"

namespace korvel::host {
namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    out.push_back(text.substr(start, end - start));
  }
  return out;
}

TEST(CatalogCommand, JsonArrayOfTheEightWidgetsInOrder) {
  const std::vector<std::string> json = lines(catalogListing(true));
  ASSERT_EQ(json.size(), 10u);  // brackets and one widget per line
  EXPECT_EQ(json.front(), "[");
  EXPECT_EQ(json.back(), "]");
  EXPECT_EQ(json[1],
            "  {\"kind\":\"korvel.week.autonomy\",\"name\":\"Without you\",\"description\":"
            "\"How long the agents worked this week, and how much work each of your messages "
            "started.\",\"families\":[\"systemSmall\",\"systemMedium\",\"systemLarge\"],"
            "\"face\":\"autonomy\",\"url\":\"korvel://week/autonomy\"},");
  EXPECT_EQ(json[8],
            "  {\"kind\":\"korvel.week.glance\",\"name\":\"The week at a glance\",\"description\":"
            "\"Hours without you, accepted runs, the receipt and the week's rhythm on one face.\","
            "\"families\":[\"systemLarge\"],\"face\":\"week\",\"url\":\"korvel://week/week\"}");
  const char* kinds[] = {"autonomy", "outcomes", "receipt", "rhythm",
                         "volume",   "limits",   "now",     "glance"};
  for (std::size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(json[i + 1].rfind(std::string("  {\"kind\":\"korvel.week.") + kinds[i] + "\"", 0), 0u)
        << json[i + 1];
  }
  EXPECT_NE(json[4].find("\"families\":[\"systemSmall\",\"systemMedium\"]"), std::string::npos);
}

TEST(CatalogCommand, TextListsNameKindDescriptionFamiliesAndLink) {
  const std::vector<std::string> text = lines(catalogListing(false));
  ASSERT_EQ(text.size(), 32u);
  EXPECT_EQ(text[20], "Limits  (korvel.week.limits)");
  EXPECT_EQ(text[21], "  Claude's and Codex's limits, with a tick where an even pace would be.");
  EXPECT_EQ(text[22], "  families: systemSmall systemMedium");
  EXPECT_EQ(text[23], "  face: limits  link: korvel://week/limits");
  EXPECT_EQ(text[28], "The week at a glance  (korvel.week.glance)");
}

}  // namespace
}  // namespace korvel::host
