// The public JSON conformance files, each embedded as the value of an undeclared key of the
// sample week: valid JSON must leave the snapshot accepted, invalid JSON must refuse it, and the
// fault finder must agree with the parser on every file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "snapshot/decode.h"
#include "snapshot/json_locate.h"
#include "snapshot/test_files.h"

namespace korvel {
namespace {

std::vector<std::filesystem::path> conformanceFiles() {
  std::vector<std::filesystem::path> files;
  const std::filesystem::path dir = std::filesystem::path(KORVEL_SHARED_DIR) / "jsontestsuite" /
                                    "test_parsing";
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string embedded(const std::string& sample, const std::string& value) {
  return testing::replaceOnce(sample, "\"v\": 1,", "\"v\": 1, \"x\": " + value + ",");
}

TEST(Conformance, EmbeddedFilesDecideTheSnapshot) {
  const auto files = conformanceFiles();
  if (files.empty()) GTEST_SKIP() << "conformance files not present";
  ASSERT_EQ(files.size(), 318u);
  const std::string sample = testing::exampleText("week.json");

  for (const auto& file : files) {
    const std::string name = file.filename().string();
    const std::string bytes = testing::readFile(file);
    const std::string text = embedded(sample, bytes);
    const DecodeResult result = decodeSnapshotDetailed(text);
    const bool accepted = std::holds_alternative<WeekSnapshot>(result);
    const auto fault = json::locateSyntaxFault(text, maxJsonDepth);

    if (name.starts_with("y_")) {
      EXPECT_TRUE(accepted) << name << ": " << std::get<DecodeError>(result).describe();
    } else if (name.starts_with("n_")) {
      EXPECT_FALSE(accepted) << name;
    }
    // Whatever the verdict, a refusal of the text is located, and an acceptance has no fault.
    EXPECT_EQ(fault.has_value(), !accepted) << name;
    if (!accepted) {
      EXPECT_TRUE(std::get<DecodeError>(result).path.starts_with("line ")) << name;
    }
  }
}

TEST(Conformance, BareFilesAreNeverSnapshots) {
  const auto files = conformanceFiles();
  if (files.empty()) GTEST_SKIP() << "conformance files not present";
  for (const auto& file : files) {
    const std::string bytes = testing::readFile(file);
    EXPECT_FALSE(decodeSnapshot(bytes).has_value()) << file.filename();
  }
}

}  // namespace
}  // namespace korvel
