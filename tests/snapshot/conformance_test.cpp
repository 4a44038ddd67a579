// The public JSON parsing test files, each embedded as the value of an undeclared key of the
// sample week. An undeclared subtree is ignored but must still be valid JSON, so: y_ files leave
// the snapshot accepted, n_ files refuse it, and i_ files (where parsers may differ) give the
// verdict pinned in the table below, so that a change of parser behaviour is noticed. The fault
// finder that locates refusals must agree with the parser on every file.
//
// Each file is embedded twice: first in the root object (the rest of the snapshot follows it)
// and last (only the root's closing brace follows it). The first placement checks that the
// parser resumes correctly after skipping a value; the last one keeps an invalid prefix such as
// an unclosed array from pairing with the text after it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "snapshot/decode.h"
#include "snapshot/json_locate.h"
#include "snapshot/test_files.h"

namespace korvel {
namespace {

namespace fs = std::filesystem;

fs::path conformanceDir() {
  return fs::path(KORVEL_TEST_DATA_DIR) / "jsontestsuite" / "test_parsing";
}

// The suite as shipped: 95 y_, 188 n_, 35 i_ files.
constexpr std::size_t kSuiteFiles = 318;

std::vector<std::string> conformanceFiles() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(conformanceDir(), ec)) {
    if (entry.is_regular_file(ec)) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// What the decoder does with each i_ file, embedded either way. Refused: the parser validates
// UTF-8 and surrogate pairs strictly, refuses numbers that are not finite as doubles (the huge
// exponents and overflowing reals), integers beyond 64 bits wherever they stand, and nesting
// beyond maxJsonDepth. Accepted: underflow to zero.
const std::map<std::string, bool>& implementationDefined() {
  static const std::map<std::string, bool> table{
      {"i_number_double_huge_neg_exp.json", true},
      {"i_number_huge_exp.json", false},
      {"i_number_neg_int_huge_exp.json", false},
      {"i_number_pos_double_huge_exp.json", false},
      {"i_number_real_neg_overflow.json", false},
      {"i_number_real_pos_overflow.json", false},
      {"i_number_real_underflow.json", true},
      {"i_number_too_big_neg_int.json", false},
      {"i_number_too_big_pos_int.json", false},
      {"i_number_very_big_negative_int.json", false},
      {"i_object_key_lone_2nd_surrogate.json", false},
      {"i_string_1st_surrogate_but_2nd_missing.json", false},
      {"i_string_1st_valid_surrogate_2nd_invalid.json", false},
      {"i_string_UTF-16LE_with_BOM.json", false},
      {"i_string_UTF-8_invalid_sequence.json", false},
      {"i_string_UTF8_surrogate_U+D800.json", false},
      {"i_string_incomplete_surrogate_and_escape_valid.json", false},
      {"i_string_incomplete_surrogate_pair.json", false},
      {"i_string_incomplete_surrogates_escape_valid.json", false},
      {"i_string_invalid_lonely_surrogate.json", false},
      {"i_string_invalid_surrogate.json", false},
      {"i_string_invalid_utf-8.json", false},
      {"i_string_inverted_surrogates_U+1D11E.json", false},
      {"i_string_iso_latin_1.json", false},
      {"i_string_lone_second_surrogate.json", false},
      {"i_string_lone_utf8_continuation_byte.json", false},
      {"i_string_not_in_unicode_range.json", false},
      {"i_string_overlong_sequence_2_bytes.json", false},
      {"i_string_overlong_sequence_6_bytes.json", false},
      {"i_string_overlong_sequence_6_bytes_null.json", false},
      {"i_string_truncated-utf-8.json", false},
      {"i_string_utf16BE_no_BOM.json", false},
      {"i_string_utf16LE_no_BOM.json", false},
      {"i_structure_500_nested_arrays.json", false},
      {"i_structure_UTF-8_BOM_empty_object.json", false},
  };
  return table;
}

// n_ files that one of the embeddings turns into valid JSON, and so into an accepted snapshot:
// the file's bytes are not a JSON text on their own, but the document they end up in is.
// (None so far: every n_ file is either garbage in itself or an unfinished value that the text
// after it cannot finish. Listed here with a reason when that changes.)
const std::set<std::string>& validOnceEmbedded() {
  static const std::set<std::string> files{};
  return files;
}

enum class Placement { first, last };

// The sample with `"zz_extra": <bytes>` as the root's first member (right after its opening
// brace) or as its last one (right before its closing brace).
std::string embedded(const std::string& sample, const std::string& bytes, Placement placement) {
  if (placement == Placement::first) {
    const auto open = sample.find('{');
    return sample.substr(0, open + 1) + "\"zz_extra\": " + bytes + "," + sample.substr(open + 1);
  }
  const auto close = sample.rfind('}');
  return sample.substr(0, close) + ", \"zz_extra\": " + bytes + "}\n";
}

// File names made into test names: letters, digits and '_' stay, '-' and '.' become '_', any
// other byte becomes _xHH (so "1.0e+" and "1.0e-" stay apart).
std::string testName(std::string name) {
  if (name.ends_with(".json")) name.resize(name.size() - 5);
  std::string out;
  for (const unsigned char c : name) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_') {
      out += static_cast<char>(c);
    } else if (c == '-' || c == '.') {
      out += '_';
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "_x%02X", c);
      out += hex;
    }
  }
  return out;
}

TEST(ConformanceSuite, IsPresentAndComplete) {
  ASSERT_TRUE(fs::is_directory(conformanceDir()))
      << "the JSON conformance files are missing: expected them in " << conformanceDir()
      << " (tests/data/jsontestsuite/test_parsing)";
  const auto files = conformanceFiles();
  EXPECT_EQ(files.size(), kSuiteFiles);

  std::set<std::string> names;
  std::set<std::string> inconclusive;
  for (const auto& file : files) {
    EXPECT_TRUE(names.insert(testName(file)).second) << "two files give the test name of " << file;
    EXPECT_TRUE(file.starts_with("y_") || file.starts_with("n_") || file.starts_with("i_")) << file;
    if (file.starts_with("i_")) inconclusive.insert(file);
  }
  // Every i_ file has a pinned verdict, and the table names no file the suite lacks.
  std::set<std::string> pinned;
  for (const auto& [file, accepted] : implementationDefined()) pinned.insert(file);
  EXPECT_EQ(pinned, inconclusive);
  for (const auto& file : validOnceEmbedded()) {
    EXPECT_TRUE(std::binary_search(files.begin(), files.end(), file)) << file;
  }
}

class Conformance : public ::testing::TestWithParam<std::string> {};

TEST_P(Conformance, EmbeddedFileDecidesTheSnapshot) {
  const std::string& file = GetParam();
  const std::string bytes = testing::readFile(conformanceDir() / file);
  const std::string sample = testing::exampleText("week.json");

  bool expected = false;
  if (file.starts_with("y_")) {
    expected = true;
  } else if (file.starts_with("n_")) {
    expected = validOnceEmbedded().contains(file);
  } else {
    const auto pinned = implementationDefined().find(file);
    ASSERT_NE(pinned, implementationDefined().end()) << file << " has no verdict in the table";
    expected = pinned->second;
  }

  for (const Placement placement : {Placement::first, Placement::last}) {
    const char* where = placement == Placement::first ? "first member" : "last member";
    const std::string text = embedded(sample, bytes, placement);
    const DecodeResult result = decodeSnapshotDetailed(text);
    const auto* error = std::get_if<DecodeError>(&result);
    const bool accepted = error == nullptr;
    EXPECT_EQ(accepted, expected)
        << file << " as the " << where << ": "
        << (accepted ? "accepted" : "refused (" + error->describe() + ")");

    // A refusal is a syntax fault, located by line and column, and the fault finder sees the
    // same fault; an acceptance is a text the fault finder has nothing against.
    const auto fault = json::locateSyntaxFault(text, maxJsonDepth);
    EXPECT_EQ(fault.has_value(), !accepted) << file << " as the " << where;
    if (error != nullptr) {
      EXPECT_TRUE(error->path.starts_with("line ")) << file << ": " << error->describe();
    } else {
      // Whatever sits under the undeclared key, the snapshot itself is the sample's.
      EXPECT_EQ(std::get<WeekSnapshot>(result), decodeSnapshot(sample)) << file;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(JsonTestSuite, Conformance, ::testing::ValuesIn(conformanceFiles()),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                           return testName(param.param);
                         });
// Without the files the suite above is empty, and IsPresentAndComplete says why.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Conformance);

TEST(ConformanceSuite, NoFileIsASnapshotOnItsOwn) {
  const auto files = conformanceFiles();
  ASSERT_FALSE(files.empty()) << "no conformance files in " << conformanceDir();
  for (const auto& file : files) {
    EXPECT_FALSE(decodeSnapshot(testing::readFile(conformanceDir() / file)).has_value()) << file;
  }
}

}  // namespace
}  // namespace korvel
