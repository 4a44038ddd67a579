#include "snapshot/encode.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <variant>

#include "snapshot/decode.h"
#include "snapshot/test_files.h"

namespace korvel {
namespace {

using testing::exampleText;

WeekSnapshot decoded(std::string_view bytes) {
  auto result = decodeSnapshotDetailed(bytes);
  if (auto* error = std::get_if<DecodeError>(&result)) {
    ADD_FAILURE() << error->describe();
    return {};
  }
  return std::get<WeekSnapshot>(std::move(result));
}

TEST(Encode, LineWithoutLeadWritesOnlyText) {
  EXPECT_EQ(json::encode(WeekLine{std::nullopt, "plain"}), R"({"text":"plain"})");
  EXPECT_EQ(json::encode(WeekLine{"Bold", " rest"}), R"({"strong":"Bold","text":" rest"})");
}

TEST(Encode, MeterKeysInDeclarationOrderOptionalsLeftOut) {
  WeekMeter meter{"Codex", "5-hour", false, 91, "91%", std::nullopt, std::nullopt, std::nullopt,
                  "bad", "Resets 17:05"};
  EXPECT_EQ(json::encode(meter),
            R"({"engine":"Codex","label":"5-hour","weekly":false,"used":91,"usedText":"91%",)"
            R"("severity":"bad","resets":"Resets 17:05"})");
  meter.elapsed = 47;
  meter.pace = "On pace";
  meter.paceKey = "even";
  EXPECT_EQ(json::encode(meter),
            R"({"engine":"Codex","label":"5-hour","weekly":false,"used":91,"usedText":"91%",)"
            R"("elapsed":47,"pace":"On pace","paceKey":"even","severity":"bad",)"
            R"("resets":"Resets 17:05"})");
}

TEST(Encode, SeriesKeepGapsAsNull) {
  OutcomesFace face;
  face.perDay = {std::vector<std::int64_t>{3, 0, 1}, std::nullopt, std::vector<std::int64_t>{}};
  const std::string json = json::encode(face);
  EXPECT_NE(json.find(R"("perDay":[[3,0,1],null,[]])"), std::string::npos) << json;

  ReceiptFace receipt;
  receipt.perDay = {0.42, 1.0, std::nullopt, 52.35, 1e21};
  const std::string r = json::encode(receipt);
  EXPECT_NE(r.find(R"("perDay":[0.42,1,null,52.35,1000000000000000000000.0])"), std::string::npos)
      << r;
}

// A floating value at or beyond 2^63 written without a fraction would read back as an integer
// out of range and the whole file would be refused.
TEST(Encode, FloatingValuesAtEveryMagnitudeReadBack) {
  constexpr double kHuge = std::numeric_limits<double>::max();
  struct Row {
    double value;
    const char* text;
  };
  for (const Row row : {Row{9223372036854775808.0, "9223372036854775808.0"},
                        Row{-9223372036854775808.0, "-9223372036854775808.0"},
                        Row{9223372036854774784.0, "9223372036854774784"},
                        Row{1e19, "10000000000000000000.0"},
                        Row{-1e300, nullptr},
                        Row{kHuge, nullptr},
                        Row{-kHuge, nullptr},
                        Row{std::numeric_limits<double>::denorm_min(), nullptr},
                        Row{-0.0, "0"}}) {
    WeekSnapshot s = decoded(exampleText("week-minimal.json"));
    s.receipt.perDay = {row.value, std::nullopt};
    const std::string json = encodeSnapshot(s);
    if (row.text) {
      EXPECT_NE(json.find("\"perDay\":[" + std::string(row.text) + ",null]"), std::string::npos)
          << row.text;
    }
    EXPECT_EQ(decoded(json), s) << row.value;
  }
}

TEST(Encode, NumbersAndTextsAreExact) {
  WeekRun run{"Ré\"view\"\n\x01", "1 h", true, std::numeric_limits<std::int64_t>::min()};
  EXPECT_EQ(json::encode(run), "{\"name\":\"Ré\\\"view\\\"\\n\\u0001\",\"time\":\"1 h\","
                               "\"waiting\":true,\"sinceMs\":-9223372036854775808}");
}

TEST(Encode, SnapshotStartsWithRootKeysInOrder) {
  const std::string json = encodeSnapshot(decoded(exampleText("week.json")));
  EXPECT_TRUE(json.starts_with(
      R"({"v":1,"generatedMs":1749746527123,"week":"Week 24","period":"9–15 June",)"
      R"("days":["Mon","Tue","Wed","Thu","Fri","Sat","Sun"],"today":3,"off":false,)"
      R"("words":{"off":"Korvel is off",)"))
      << json.substr(0, 200);
  EXPECT_TRUE(json.ends_with(R"("spoken":"3 agents working now. 3 runs are waiting for you."}})"));
}

class SampleRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleRoundTrip, DecodeEncodeDecodeIsStable) {
  const WeekSnapshot first = decoded(exampleText(GetParam()));
  const std::string canonical = encodeSnapshot(first);
  const WeekSnapshot second = decoded(canonical);
  EXPECT_EQ(second, first);
  EXPECT_EQ(encodeSnapshot(second), canonical);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleRoundTrip,
                         ::testing::Values("week.json", "week-off.json", "week-empty.json",
                                           "week-minimal.json"));

TEST(Encode, CanonicalFormDropsUndeclaredAndRepeatedKeys) {
  const std::string sample = exampleText("week.json");
  const std::string noisy = testing::replaceOnce(
      sample, "\"v\": 1,", R"("v": 7, "extra": {"a": [1, 2]}, "v": 1, "Week": "x",)");
  EXPECT_EQ(encodeSnapshot(decoded(noisy)), encodeSnapshot(decoded(sample)));
}

TEST(Equality, MinimalDiffersFromFullOnlyInOptionals) {
  WeekSnapshot full = decoded(exampleText("week.json"));
  const WeekSnapshot minimal = decoded(exampleText("week-minimal.json"));
  EXPECT_NE(full, minimal);
  for (auto& line : full.autonomy.lines) line.strong.reset();
  for (auto& line : full.outcomes.lines) line.strong.reset();
  full.autonomy.empty.reset();
  full.outcomes.empty.reset();
  full.limits.empty.reset();
  full.now.waiting.reset();
  for (auto& m : full.limits.meters) {
    m.elapsed.reset();
    m.pace.reset();
    m.paceKey.reset();
    m.resets.reset();
  }
  for (auto& r : full.now.runs) r.sinceMs.reset();
  EXPECT_EQ(full, minimal);
}

}  // namespace
}  // namespace korvel
