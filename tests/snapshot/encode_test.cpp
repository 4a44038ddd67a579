// The canonical encoding, the round trip through it, and the sweep of every truncation and many
// one-byte corruptions of the sample.
#include "snapshot/encode.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <variant>

#include "snapshot/decode.h"
#include "support/files.h"

namespace korvel {
namespace {

using testing::exampleText;

// The JSON text without the white space between its tokens (the samples escape no quote).
std::string withoutLayout(std::string_view text) {
  std::string out;
  bool inString = false;
  for (const char c : text) {
    if (c == '"') inString = !inString;
    if (inString || (c != ' ' && c != '\n')) out += c;
  }
  return out;
}

// What the samples do not hold: every escape, the smallest integer.
TEST(Encode, TextsAreEscapedOnlyAsJsonRequires) {
  const WeekRun run{"R\xC3\xA9\"v\\\"\n\b\f\t\r\x01\x1f", "1 h", true,
                    std::numeric_limits<std::int64_t>::min()};
  EXPECT_EQ(json::encode(run),
            "{\"name\":\"R\xC3\xA9\\\"v\\\\\\\"\\n\\b\\f\\t\\r\\u0001\\u001f\",\"time\":\"1 h\","
            "\"waiting\":true,\"sinceMs\":-9223372036854775808}");
}

// A floating value at or beyond 2^63 written without a fraction would read back as an integer
// out of range, and the whole file would be refused.
TEST(Encode, FloatingValuesOfEveryMagnitudeReadBack) {
  const auto minimal = decodeSnapshot(exampleText("week-minimal.json"));
  ASSERT_TRUE(minimal.has_value());
  const std::pair<double, const char*> cases[] = {
      {9223372036854775808.0, "9223372036854775808.0"},
      {-9223372036854775808.0, "-9223372036854775808.0"},
      {9223372036854774784.0, "9223372036854774784"},
      {1e19, "10000000000000000000.0"},
      {1.0, "1"},
      {-0.0, "0"},
      {std::numeric_limits<double>::max(), nullptr},
      {std::numeric_limits<double>::denorm_min(), nullptr}};
  for (const auto& [value, text] : cases) {
    WeekSnapshot s = *minimal;
    s.receipt.perDay = {value, std::nullopt};
    const std::string json = encodeSnapshot(s);
    if (text) {
      EXPECT_NE(json.find("\"perDay\":[" + std::string(text) + ",null]"), json.npos) << text;
    }
    EXPECT_EQ(decodeSnapshot(json), s) << value;
  }
}

// The samples list every key in declaration order, leave out the optionals they lack and write
// numbers in their shortest form: their canonical encoding is their own text without layout.
TEST(Encode, SamplesEncodeToTheirOwnText) {
  for (const char* name : {"week.json", "week-off.json", "week-empty.json", "week-minimal.json"}) {
    const std::string text = exampleText(name);
    const auto decoded = decodeSnapshot(text);
    ASSERT_TRUE(decoded.has_value()) << name;
    EXPECT_EQ(encodeSnapshot(*decoded), withoutLayout(text)) << name;
    EXPECT_EQ(decodeSnapshot(encodeSnapshot(*decoded)), decoded) << name;
  }
  // Undeclared and repeated keys leave nothing behind.
  const std::string sample = exampleText("week.json");
  const auto noisy = decodeSnapshot(testing::replaceOnce(
      sample, "\"v\": 1,", R"("v": 7, "extra": {"a": [1, 2]}, "v": 1, "Week": "x",)"));
  ASSERT_TRUE(noisy.has_value());
  EXPECT_EQ(encodeSnapshot(*noisy), withoutLayout(sample));
}

// Decodes without crashing; a syntax fault is located at a line and column (the fault finder
// agrees with the parser), and an accepted snapshot survives the round trip. Says if accepted.
bool decodesSoundly(const std::string& text, const std::string& what) {
  const DecodeResult result = decodeSnapshotDetailed(text);
  if (const auto* error = std::get_if<Error>(&result)) {
    EXPECT_FALSE(error->message.empty()) << what;
    EXPECT_FALSE(error->message.starts_with("invalid JSON:"))
        << what << ": the parser refused a text the fault finder accepts: " << error->describe();
    return false;
  }
  const WeekSnapshot& snapshot = std::get<WeekSnapshot>(result);
  EXPECT_EQ(decodeSnapshot(encodeSnapshot(snapshot)), snapshot) << what;
  return true;
}

TEST(Corruption, TruncatedOrChangedSamplesDecodeSoundly) {
  const std::string sample = exampleText("week.json");
  // The sample ends in "}\n": only cutting the final newline keeps it whole.
  for (std::size_t n = 0; n + 1 < sample.size(); ++n) {
    EXPECT_FALSE(decodesSoundly(sample.substr(0, n), std::to_string(n) + " bytes"));
  }
  EXPECT_TRUE(decodesSoundly(sample.substr(0, sample.size() - 1), "without the final newline"));
  int accepted = 0;
  for (std::size_t i = 0; i < sample.size(); ++i) {
    for (const char replacement : {'"', '\0', '\xFF', '7'}) {
      if (sample[i] == replacement) continue;
      std::string text = sample;
      text[i] = replacement;
      accepted += decodesSoundly(text, "byte " + std::to_string(i)) ? 1 : 0;
    }
  }
  // A digit or a letter inside a text keeps a snapshot; most other changes break it.
  EXPECT_GT(accepted, 1000);
  EXPECT_LT(accepted, static_cast<int>(sample.size() * 2));
}

}  // namespace
}  // namespace korvel
