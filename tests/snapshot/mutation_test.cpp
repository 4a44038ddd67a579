// Every truncation and many one-byte corruptions of the sample: the decoder must answer without
// crashing, every refusal of the text must be located by line and column, and whatever is
// accepted must survive a round trip through the canonical encoding.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "snapshot/decode.h"
#include "snapshot/test_files.h"

namespace korvel {
namespace {

// Checks one document; returns true when it was accepted.
bool checkOne(const std::string& text, const std::string& what) {
  const DecodeResult result = decodeSnapshotDetailed(text);
  if (const auto* error = std::get_if<DecodeError>(&result)) {
    EXPECT_FALSE(error->message.starts_with("invalid JSON:"))
        << what << ": the parser refused a text the fault finder accepts: " << error->describe();
    EXPECT_FALSE(error->message.empty()) << what;
    return false;
  }
  const WeekSnapshot& snapshot = std::get<WeekSnapshot>(result);
  const auto again = decodeSnapshot(encodeSnapshot(snapshot));
  EXPECT_TRUE(again.has_value() && *again == snapshot) << what;
  return true;
}

TEST(Mutation, EveryTruncationIsRefusedAndLocated) {
  const std::string sample = testing::exampleText("week.json");
  // The sample ends in "}\n": only cutting the final newline keeps it whole.
  for (std::size_t n = 0; n + 1 < sample.size(); ++n) {
    const std::string cut = sample.substr(0, n);
    EXPECT_FALSE(checkOne(cut, "prefix of " + std::to_string(n) + " bytes"));
    const DecodeResult result = decodeSnapshotDetailed(cut);
    ASSERT_TRUE(std::holds_alternative<DecodeError>(result));
    EXPECT_TRUE(std::get<DecodeError>(result).path.starts_with("line ")) << n;
  }
  EXPECT_TRUE(checkOne(sample.substr(0, sample.size() - 1), "without the final newline"));
}

TEST(Mutation, OneByteCorruptionsNeverCrash) {
  const std::string sample = testing::exampleText("week.json");
  int accepted = 0;
  for (std::size_t i = 0; i < sample.size(); ++i) {
    for (const char replacement : {'"', '\0', '\xFF', '7'}) {
      if (sample[i] == replacement) continue;
      std::string text = sample;
      text[i] = replacement;
      accepted += checkOne(text, "byte " + std::to_string(i)) ? 1 : 0;
    }
  }
  // Changing a digit or a letter inside a text keeps a snapshot; most other bytes break it.
  RecordProperty("accepted", accepted);
  EXPECT_GT(accepted, 1000);
  EXPECT_LT(accepted, static_cast<int>(sample.size() * 2));
}

}  // namespace
}  // namespace korvel
