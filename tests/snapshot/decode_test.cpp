#include "snapshot/decode.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "snapshot/encode.h"
#include "snapshot/test_files.h"

namespace korvel {
namespace {

using testing::exampleText;
using testing::replaceOnce;

// What decodeSnapshotDetailed said, as one line; "accepted" when it gave a snapshot.
std::string verdict(std::string_view bytes) {
  const auto result = decodeSnapshotDetailed(bytes);
  if (std::holds_alternative<WeekSnapshot>(result)) return "accepted";
  return std::get<DecodeError>(result).describe();
}

WeekSnapshot decodeOrFail(std::string_view bytes) {
  auto result = decodeSnapshotDetailed(bytes);
  if (auto* error = std::get_if<DecodeError>(&result)) {
    ADD_FAILURE() << error->describe();
    return {};
  }
  return std::get<WeekSnapshot>(std::move(result));
}

TEST(DecodeSample, FullWeekHasEveryFieldAsWritten) {
  const WeekSnapshot s = decodeOrFail(exampleText("week.json"));
  EXPECT_EQ(s.v, 1);
  EXPECT_EQ(s.generatedMs, 1749746527123);
  EXPECT_EQ(s.period, "9–15 June");
  EXPECT_EQ(s.days, (std::vector<std::string>{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"}));
  EXPECT_EQ(s.today, 3);
  EXPECT_FALSE(s.off);
  EXPECT_EQ(s.words.appClosed, "Korvel closed");
  EXPECT_EQ(s.autonomy.lines[0], (WeekLine{"31.5 h", "of agent work ran while you were away."}));
  EXPECT_EQ(s.autonomy.lines[2].strong, std::nullopt);
  EXPECT_EQ(s.autonomy.perDay,
            (std::vector<std::optional<std::int64_t>>{412, 655, 538, 287, {}, {}, {}}));
  EXPECT_EQ(s.outcomes.perDay[0], (std::vector<std::int64_t>{9, 2, 1}));
  EXPECT_EQ(s.outcomes.perDay[4], std::nullopt);
  EXPECT_EQ(s.outcomes.legend[1], (WeekLegend{"debt", "With remarks"}));
  EXPECT_EQ(s.receipt.total, (WeekKV{"Total", "$184.20"}));
  EXPECT_EQ(s.receipt.perDay[2], 52.35);
  ASSERT_EQ(s.rhythm.heat.size(), 7u);
  EXPECT_EQ((*s.rhythm.heat[1])[14], 14);
  EXPECT_EQ(s.volume.perDay[1], (std::vector<std::int64_t>{4210, 1655}));
  ASSERT_EQ(s.limits.meters.size(), 4u);
  EXPECT_EQ(s.limits.meters[0].elapsed, 47);
  EXPECT_EQ(s.limits.meters[0].paceKey, "ahead");
  EXPECT_EQ(s.limits.meters[3].elapsed, std::nullopt);
  EXPECT_EQ(s.limits.meters[3].pace, std::nullopt);
  EXPECT_EQ(s.now.runs.size(), 6u);
  EXPECT_EQ(s.now.runs[1].waiting, true);
  EXPECT_EQ(s.now.runs[1].sinceMs, 1749742627123);
  EXPECT_EQ(s.now.runs[5].sinceMs, std::nullopt);
}

TEST(DecodeSample, VariantsDecode) {
  const WeekSnapshot off = decodeOrFail(exampleText("week-off.json"));
  EXPECT_TRUE(off.off);

  const WeekSnapshot empty = decodeOrFail(exampleText("week-empty.json"));
  EXPECT_TRUE(empty.now.runs.empty());
  EXPECT_TRUE(empty.limits.meters.empty());
  EXPECT_TRUE(empty.rhythm.heat.empty());
  EXPECT_EQ(empty.limits.empty, "No limits reported yet.");

  const WeekSnapshot minimal = decodeOrFail(exampleText("week-minimal.json"));
  EXPECT_EQ(minimal.autonomy.empty, std::nullopt);
  EXPECT_EQ(minimal.outcomes.empty, std::nullopt);
  EXPECT_EQ(minimal.limits.empty, std::nullopt);
  EXPECT_EQ(minimal.now.waiting, std::nullopt);
  EXPECT_EQ(minimal.limits.meters[0].resets, std::nullopt);
  EXPECT_EQ(minimal.autonomy.lines[0].strong, std::nullopt);
}

TEST(DecodeSample, GenerationMillisecondsKeepTheirFraction) {
  const WeekSnapshot s = decodeOrFail(exampleText("week.json"));
  EXPECT_EQ(static_cast<double>(s.generatedMs) / 1000.0, 1749746527.123);
}

// ---- one change to the full sample, and what the decoder must say about it ----

// Names each parameterised case after its `name` field.
struct ByName {
  template <class P>
  std::string operator()(const ::testing::TestParamInfo<P>& param) const {
    return param.param.name;
  }
};

struct Change {
  const char* name;
  std::string from;
  std::string to;
  std::string verdict;
};

void PrintTo(const Change& c, std::ostream* os) { *os << c.name; }

class SampleChange : public ::testing::TestWithParam<Change> {};

TEST_P(SampleChange, GivesVerdict) {
  const Change& c = GetParam();
  EXPECT_EQ(verdict(replaceOnce(exampleText("week.json"), c.from, c.to)), c.verdict);
}

const std::string kUsed = "\"used\": 62,";
const std::string kReceiptDays = "[38.5, 61.2, 52.35, 32.15, null, null, null]";
const std::string kFirstHeatRow =
    "[0, 0, 1, 0, 0, 0, 0, 1, 3, 6, 8, 9, 7, 4, 9, 11, 10, 8, 6, 4, 3, 2, 1, 0]";
const std::string kDays = R"("days": ["Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"])";

INSTANTIATE_TEST_SUITE_P(
    Integers, SampleChange,
    ::testing::Values(
        Change{"Fraction", kUsed, "\"used\": 42.5,",
               "limits.meters[0].used: expected an integer, found a number with a fraction or "
               "exponent"},
        Change{"PointZero", kUsed, "\"used\": 1.0,",
               "limits.meters[0].used: expected an integer, found a number with a fraction or "
               "exponent"},
        Change{"Exponent", kUsed, "\"used\": 1e2,",
               "limits.meters[0].used: expected an integer, found a number with a fraction or "
               "exponent"},
        Change{"JustAboveInt64", kUsed, "\"used\": 9223372036854775808,",
               "limits.meters[0].used: expected an integer, found an integer beyond the signed "
               "64-bit range"},
        Change{"Int64Max", kUsed, "\"used\": 9223372036854775807,", "accepted"},
        Change{"Int64Min", kUsed, "\"used\": -9223372036854775808,", "accepted"},
        Change{"NegativeZero", kUsed, "\"used\": -0,", "accepted"},
        Change{"String", kUsed, "\"used\": \"62\",",
               "limits.meters[0].used: expected an integer, found a string"},
        Change{"Null", kUsed, "\"used\": null,",
               "limits.meters[0].used: expected an integer, found null"},
        Change{"Flag", kUsed, "\"used\": true,",
               "limits.meters[0].used: expected an integer, found true"},
        Change{"OptionalIntegerNull", "\"sinceMs\": 1749745807123", "\"sinceMs\": null",
               "accepted"},
        Change{"OptionalIntegerWrongType", "\"sinceMs\": 1749745807123", "\"sinceMs\": \"soon\"",
               "now.runs[0].sinceMs: expected an integer, found a string"},
        Change{"TodayNotChecked", "\"today\": 3", "\"today\": 42", "accepted"}),
    ByName{});

INSTANTIATE_TEST_SUITE_P(
    Floating, SampleChange,
    ::testing::Values(
        Change{"IntegersAndGaps", kReceiptDays, "[0.42, 1, null, 2.5, null, null, null]",
               "accepted"},
        Change{"LargestDouble", kReceiptDays, "[1.7976931348623157e308]", "accepted"},
        Change{"BeyondInt64", kReceiptDays, "[9223372036854775808]", "accepted"},
        Change{"Underflow", kReceiptDays, "[1e-400]", "accepted"},
        Change{"String", kReceiptDays, "[\"1\"]",
               "receipt.perDay[0]: expected a number, found a string"},
        Change{"NotAList", kReceiptDays, "{}", "receipt.perDay: expected an array, found an object"}),
    ByName{});

INSTANTIATE_TEST_SUITE_P(
    FlagsAndTexts, SampleChange,
    ::testing::Values(
        Change{"FlagAsNumber", "\"off\": false", "\"off\": 0",
               "off: expected true or false, found an integer"},
        Change{"FlagAsString", "\"sinceMs\": 1749742627123",
               "\"sinceMs\": 1749742627123, \"waiting\": \"true\"",
               "now.runs[1].waiting: expected true or false, found a string"},
        Change{"TextAsNumber", "\"week\": \"Week 24\"", "\"week\": 24",
               "week: expected a string, found an integer"},
        Change{"TextAsNull", "\"title\": \"Receipt\"", "\"title\": null",
               "receipt.title: expected a string, found null"},
        Change{"DayLabelAsNull", kDays, R"("days": ["Mon", "Tue", null, "Thu", "Fri", "Sat", "Sun"])",
               "days[2]: expected a string, found null"},
        Change{"EscapedTexts", "\"week\": \"Week 24\"", R"("week": "W\u00e9ek \ud83d\ude00 \"24\"\n")",
               "accepted"}),
    ByName{});

INSTANTIATE_TEST_SUITE_P(
    RequiredAndOptional, SampleChange,
    ::testing::Values(
        Change{"StrongNull", R"("strong": "31.5 h", )", R"("strong": null, )", "accepted"},
        Change{"LimitsEmptyNull", "\"line\": \"Claude weekly", "\"empty\": null, \"line\": \"Claude weekly",
               "accepted"},
        Change{"MeterWithoutSeverity", "\"severity\": \"warn\",", "",
               "limits.meters[0].severity: required key is missing"},
        Change{"NowWithoutEmpty", "\"empty\": \"No agents are working right now.\",", "",
               "now.empty: required key is missing"},
        Change{"ReceiptWithoutTotal", R"("total": {"label": "Total", "value": "$184.20"},)", "",
               "receipt.total: required key is missing"},
        Change{"TotalAsList", R"("total": {"label": "Total", "value": "$184.20"},)",
               R"("total": ["Total", "$184.20"],)",
               "receipt.total: expected an object, found an array"},
        Change{"TotalWithoutValue", R"("total": {"label": "Total", "value": "$184.20"},)",
               R"("total": {"label": "Total"},)", "receipt.total.value: required key is missing"},
        Change{"KeysAreCaseSensitive", "\"generatedMs\"", "\"generatedms\"",
               "generatedMs: required key is missing"},
        Change{"NullLineInList", R"({"text": "Longest stretch: 4 h 12 min, Tuesday night."})",
               "null", "autonomy.lines[2]: expected an object, found null"}),
    ByName{});

INSTANTIATE_TEST_SUITE_P(
    Series, SampleChange,
    ::testing::Values(
        Change{"FlatWithGaps", "[412, 655, 538, 287, null, null, null]",
               "[1, 2, null, null, null, null, null]", "accepted"},
        Change{"FlatShorterThanDays", "[412, 655, 538, 287, null, null, null]", "[1]", "accepted"},
        Change{"FlatFraction", "[412, 655, 538, 287, null, null, null]", "[412, 0.5]",
               "autonomy.perDay[1]: expected an integer, found a number with a fraction or "
               "exponent"},
        Change{"NestedNullInsideDay", "[9, 2, 1],", "[9, null, 1],",
               "outcomes.perDay[0][1]: expected an integer, found null"},
        Change{"NestedDayAsNumber", "[9, 2, 1],", "9,",
               "outcomes.perDay[0]: expected an array, found an integer"},
        Change{"HeatRowNull", kFirstHeatRow, "null", "accepted"},
        Change{"HeatCellString", kFirstHeatRow, "[0, 0, \"1\"]",
               "rhythm.heat[0][2]: expected an integer, found a string"},
        Change{"HeatCellNull", kFirstHeatRow, "[0, 0, null]",
               "rhythm.heat[0][2]: expected an integer, found null"}),
    ByName{});

INSTANTIATE_TEST_SUITE_P(
    Acceptance, SampleChange,
    ::testing::Values(
        Change{"VersionZero", "\"v\": 1,", "\"v\": 0,", "v: format version 0 is below 1"},
        Change{"VersionNegative", "\"v\": 1,", "\"v\": -3,", "v: format version -3 is below 1"},
        Change{"VersionTwo", "\"v\": 1,", "\"v\": 2,", "accepted"},
        Change{"Version99", "\"v\": 1,", "\"v\": 99,", "accepted"},
        Change{"SixDays", kDays, R"("days": ["Mon", "Tue", "Wed", "Thu", "Fri", "Sat"])",
               "days: expected 7 labels, found 6"},
        Change{"EightDays", kDays, R"("days": ["Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun", "Mon"])",
               "days: expected 7 labels, found 8"}),
    ByName{});

INSTANTIATE_TEST_SUITE_P(
    KeysAndNesting, SampleChange,
    ::testing::Values(
        Change{"DuplicateLastWins", "\"v\": 1,", "\"v\": 0, \"v\": 1,", "accepted"},
        Change{"DuplicateLastRefused", "\"v\": 1,", "\"v\": 1, \"v\": 0,",
               "v: format version 0 is below 1"},
        Change{"NestedDuplicateLastWins", kUsed, "\"used\": \"bad\", \"used\": 62,", "accepted"},
        Change{"DuplicateRecordLastWins", R"("total": {"label": "Total", "value": "$184.20"},)",
               R"("total": 5, "total": {"label": "Total", "value": "$184.20"},)", "accepted"},
        Change{"UndeclaredKeysIgnored", "\"v\": 1,",
               R"("v": 1, "V": "x", "extra": {"deep": [1, 2.5, {"x": null}], "v": "no"},)",
               "accepted"},
        Change{"UndeclaredNestingAtLimit", "\"v\": 1,",
               "\"v\": 1, \"x\": " + std::string(255, '[') + std::string(255, ']') + ",",
               "accepted"},
        Change{"UndeclaredNestingTooDeep", "\"v\": 1,",
               "\"v\": 1, \"x\": " + std::string(256, '[') + std::string(256, ']') + ",",
               "line 2 column 271: invalid JSON (nesting too deep)"},
        Change{"UndeclaredValueStillValidated", "\"v\": 1,", "\"v\": 1, \"x\": [1e400],",
               "line 2 column 17: invalid JSON (number out of range)"},
        Change{"UndeclaredStringStillUtf8", "\"v\": 1,", "\"v\": 1, \"x\": \"\xC3\x28\",",
               "line 2 column 17: invalid JSON (invalid UTF-8)"}),
    ByName{});

// ---- whole documents that are not snapshots at all ----

struct Document {
  const char* name;
  std::string bytes;
  std::string verdict;
};

void PrintTo(const Document& d, std::ostream* os) { *os << d.name; }

class BadDocument : public ::testing::TestWithParam<Document> {};

TEST_P(BadDocument, GivesVerdict) { EXPECT_EQ(verdict(GetParam().bytes), GetParam().verdict); }

INSTANTIATE_TEST_SUITE_P(
    Documents, BadDocument,
    ::testing::Values(
        Document{"Empty", "", "line 1 column 1: invalid JSON (no JSON value)"},
        Document{"OnlyWhitespace", " \n\t", "line 2 column 2: invalid JSON (no JSON value)"},
        Document{"Null", "null", "expected an object at the top level, found null"},
        Document{"Array", "[{}]", "expected an object at the top level, found an array"},
        Document{"EmptyObject", "{}", "v: required key is missing"},
        Document{"ByteOrderMark", "\xEF\xBB\xBF{}",
                 "line 1 column 1: invalid JSON (byte-order mark at the start)"},
        Document{"TrailingContent", "{\"v\": 1}\n x",
                 "line 2 column 2: invalid JSON (content after the JSON value)"},
        Document{"TrailingNul", std::string("{}\0", 3),
                 "line 1 column 3: invalid JSON (content after the JSON value)"},
        Document{"NulInString", std::string("{\"a\": \"x\0\"}", 11),
                 "line 1 column 9: invalid JSON (unescaped control character in a string)"},
        Document{"InvalidUtf8", "{\"a\": \"\xC3\x28\"}", "line 1 column 8: invalid JSON (invalid UTF-8)"},
        Document{"EncodedSurrogate", "{\"a\": \"\xED\xA0\x80\"}",
                 "line 1 column 8: invalid JSON (invalid UTF-8)"},
        Document{"Overlong", "{\"a\": \"\xC0\xAF\"}", "line 1 column 8: invalid JSON (invalid UTF-8)"},
        Document{"LoneHighSurrogate", R"({"a": "\ud800"})",
                 "line 1 column 8: invalid JSON (unpaired surrogate escape)"},
        Document{"LoneLowSurrogate", R"({"a": "\udc00"})",
                 "line 1 column 8: invalid JSON (unpaired surrogate escape)"},
        Document{"HighThenLetter", R"({"a": "\ud800\u0041"})",
                 "line 1 column 8: invalid JSON (unpaired surrogate escape)"},
        Document{"HugeNumber", "{\n  \"v\": 1e400\n}",
                 "line 2 column 8: invalid JSON (number out of range)"},
        Document{"HugeInteger", "{\"v\": 123456789012345678901234567890}",
                 "line 1 column 7: invalid JSON (number out of range)"},
        Document{"TrailingComma", "{\"a\": [1,]}", "line 1 column 10: invalid JSON (unexpected character)"},
        Document{"MissingColon", "{\"a\" 1}", "line 1 column 6: invalid JSON (expected ':')"},
        Document{"ColumnsCountCharacters", "{\"é€\": x}",
                 "line 1 column 8: invalid JSON (unexpected character)"},
        Document{"Unterminated", "{\"a\": \"abc", "line 1 column 11: invalid JSON (unterminated string)"},
        Document{"DeepArrays", std::string(100000, '['),
                 "line 1 column 257: invalid JSON (nesting too deep)"},
        Document{"DeepObjects", [] {
                   std::string s;
                   for (int i = 0; i < 300; ++i) s += "{\"a\":";
                   return s;
                 }(),
                 "line 1 column 1281: invalid JSON (nesting too deep)"}),
    ByName{});

TEST(DecodeSnapshot, OptionalFormMatchesDetailed) {
  EXPECT_TRUE(decodeSnapshot(exampleText("week.json")).has_value());
  EXPECT_FALSE(decodeSnapshot("null").has_value());
  EXPECT_FALSE(decodeSnapshot(replaceOnce(exampleText("week.json"), "\"v\": 1,", "\"v\": 0,")));
}

TEST(DecodeSnapshot, WhitespaceOnlyMegabyteIsRefusedAsInvalid) {
  const std::string spaces(4 << 20, ' ');
  EXPECT_EQ(verdict(spaces), "line 1 column 4194305: invalid JSON (no JSON value)");
}

TEST(DecodeSnapshot, DecodeFaultsComeBeforeAcceptance) {
  const std::string text = replaceOnce(
      replaceOnce(exampleText("week.json"), "\"v\": 1,", "\"v\": 0,"), kDays, "\"days\": [1]");
  EXPECT_EQ(verdict(text), "days[0]: expected a string, found an integer");
}

TEST(DecodeSnapshot, DuplicateKeysKeepTheLastValueAtEveryLevel) {
  const std::string text = replaceOnce(
      replaceOnce(exampleText("week.json"), "\"v\": 1,", "\"v\": 5, \"v\": 3,"), kUsed,
      "\"used\": 1, \"used\": 2,");
  const WeekSnapshot s = decodeOrFail(text);
  EXPECT_EQ(s.v, 3);
  EXPECT_EQ(s.limits.meters[0].used, 2);
}

TEST(DecodeSnapshot, IntegerInFloatingSeriesBecomesDouble) {
  const WeekSnapshot s = decodeOrFail(
      replaceOnce(exampleText("week.json"), kReceiptDays, "[0.42, 1, null, 2.5, null, null, null]"));
  EXPECT_EQ(s.receipt.perDay,
            (std::vector<std::optional<double>>{0.42, 1.0, {}, 2.5, {}, {}, {}}));
}

TEST(DecodeSnapshot, EscapesDecodeToUtf8) {
  const WeekSnapshot s = decodeOrFail(replaceOnce(exampleText("week.json"), "\"week\": \"Week 24\"",
                                                  R"("week": "W\u00e9ek \ud83d\ude00 \"24\"\n")"));
  EXPECT_EQ(s.week, "W\xC3\xA9" "ek \xF0\x9F\x98\x80 \"24\"\n");
}

}  // namespace
}  // namespace korvel
