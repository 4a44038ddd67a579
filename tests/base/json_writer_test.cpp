// The writer's containers: where commas, breaks and closing brackets go in each layout. Strings
// and numbers are the encoder's tests' business (tests/snapshot/encode_test.cpp).
#include "base/json_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace korvel::json {
namespace {

constexpr Layout kLines{.itemBreak = "\n  ", .closeBreak = "\n"};
constexpr Layout kSpaced{.comma = ", ", .colon = ": "};

struct Case {
  const char* name;
  std::function<void(Writer&)> write;
  const char* json;
};

TEST(JsonWriter, ContainersFollowTheirLayout) {
  const Case cases[] = {
      {"compact, nested",
       [](Writer& w) {
         w.beginObject().key("a").beginArray().value(1).value(2.5).value("x").endArray();
         w.key("b").beginObject().endObject().key("c").null().member("d", false).endObject();
       },
       R"({"a":[1,2.5,"x"],"b":{},"c":null,"d":false})"},
      {"one item per line",
       [](Writer& w) {
         w.beginArray(kLines).beginObject().member("k", true).endObject();
         w.beginObject(kSpaced).member("k", 1).member("l", "m").endObject().endArray();
       },
       "[\n  {\"k\":true},\n  {\"k\": 1, \"l\": \"m\"}\n]"},
      {"an empty container has no breaks", [](Writer& w) { w.beginArray(kLines).endArray(); }, "[]"},
      {"a container inside an indented one keeps its own layout",
       [](Writer& w) {
         w.beginObject({.itemBreak = "\n ", .closeBreak = "\n", .colon = ": "}).key("n").numbers({0, -0.0});
         w.key("e").beginArray(kLines).endArray().endObject();
       },
       "{\n \"n\": [0,0],\n \"e\": []\n}"},
  };
  for (const Case& c : cases) {
    std::string out;
    Writer w(out);
    c.write(w);
    EXPECT_EQ(out, c.json) << c.name;
  }
}

}  // namespace
}  // namespace korvel::json
