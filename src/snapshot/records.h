#pragma once
// The week snapshot as the companion application writes it: plain value records whose fields
// are the JSON keys, in the order the file lists them. Each record's field list is declared once
// (BOOST_DESCRIBE_STRUCT below it); decoding and encoding are derived from that list, equality
// is defaulted.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <boost/describe/class.hpp>

namespace korvel {

// Shared phrases used across faces.
struct WeekWords {
  std::string off;
  std::string offHint;
  std::string turnOn;
  std::string appClosed;
  std::string macAway;
  std::string week;
  std::string now;

  bool operator==(const WeekWords&) const = default;
};
BOOST_DESCRIBE_STRUCT(WeekWords, (), (off, offHint, turnOn, appClosed, macAway, week, now))

// One line of text with an optional emphasised lead.
struct WeekLine {
  std::optional<std::string> strong;
  std::string text;

  bool operator==(const WeekLine&) const = default;
};
BOOST_DESCRIBE_STRUCT(WeekLine, (), (strong, text))

// A label and its formatted value.
struct WeekKV {
  std::string label;
  std::string value;

  bool operator==(const WeekKV&) const = default;
};
BOOST_DESCRIBE_STRUCT(WeekKV, (), (label, value))

// One legend entry of the outcomes face.
struct WeekLegend {
  std::string key;
  std::string text;

  bool operator==(const WeekLegend&) const = default;
};
BOOST_DESCRIBE_STRUCT(WeekLegend, (), (key, text))

// One usage-limit meter.
struct WeekMeter {
  std::string engine;
  std::string label;
  bool weekly = false;
  std::int64_t used = 0;
  std::string usedText;
  std::optional<std::int64_t> elapsed;
  std::optional<std::string> pace;
  std::optional<std::string> paceKey;
  std::string severity;
  std::optional<std::string> resets;

  bool operator==(const WeekMeter&) const = default;
};
BOOST_DESCRIBE_STRUCT(WeekMeter, (),
                      (engine, label, weekly, used, usedText, elapsed, pace, paceKey, severity,
                       resets))

// One agent run.
struct WeekRun {
  std::string name;
  std::string time;
  bool waiting = false;
  std::optional<std::int64_t> sinceMs;

  bool operator==(const WeekRun&) const = default;
};
BOOST_DESCRIBE_STRUCT(WeekRun, (), (name, time, waiting, sinceMs))

// Hours worked without the user, and work started per message.
struct AutonomyFace {
  std::string title;
  std::string hero;
  std::string unit;
  std::vector<WeekLine> lines;
  std::vector<std::optional<std::int64_t>> perDay;
  std::vector<WeekKV> facts;
  std::optional<std::string> empty;
  std::string spoken;

  bool operator==(const AutonomyFace&) const = default;
};
BOOST_DESCRIBE_STRUCT(AutonomyFace, (), (title, hero, unit, lines, perDay, facts, empty, spoken))

// How review ended the week's runs. Each day of perDay holds passed, debt, waiting in that order.
struct OutcomesFace {
  std::string title;
  std::string hero;
  std::string unit;
  std::vector<WeekLegend> legend;
  std::vector<std::optional<std::vector<std::int64_t>>> perDay;
  std::vector<WeekLine> lines;
  std::vector<WeekKV> facts;
  std::optional<std::string> empty;
  std::string spoken;

  bool operator==(const OutcomesFace&) const = default;
};
BOOST_DESCRIBE_STRUCT(OutcomesFace, (),
                      (title, hero, unit, legend, perDay, lines, facts, empty, spoken))

// What the week would have cost at API prices.
struct ReceiptFace {
  std::string title;
  std::string longTitle;
  std::string caption;
  std::string hero;
  std::vector<WeekKV> rows;
  WeekKV total;
  std::string note;
  std::string tokens;
  std::vector<std::optional<double>> perDay;
  std::string footer;
  std::string spoken;

  bool operator==(const ReceiptFace&) const = default;
};
BOOST_DESCRIBE_STRUCT(ReceiptFace, (),
                      (title, longTitle, caption, hero, rows, total, note, tokens, perDay, footer,
                       spoken))

// When the agents worked: one row per day, one value per hour.
struct RhythmFace {
  std::string title;
  std::string longTitle;
  std::vector<std::optional<std::vector<std::int64_t>>> heat;
  std::string peakLabel;
  std::string peak;
  std::string activeLabel;
  std::string active;
  std::string activeOf;
  std::string line;
  std::string spoken;

  bool operator==(const RhythmFace&) const = default;
};
BOOST_DESCRIBE_STRUCT(RhythmFace, (),
                      (title, longTitle, heat, peakLabel, peak, activeLabel, active, activeOf,
                       line, spoken))

// Lines added and removed. Each day of perDay holds added, removed.
struct VolumeFace {
  std::string title;
  std::string longTitle;
  std::string added;
  std::string removed;
  std::string line;
  std::string detail;
  std::vector<std::optional<std::vector<std::int64_t>>> perDay;
  std::string spoken;

  bool operator==(const VolumeFace&) const = default;
};
BOOST_DESCRIBE_STRUCT(VolumeFace, (),
                      (title, longTitle, added, removed, line, detail, perDay, spoken))

// Usage limits of the agents.
struct LimitsFace {
  std::string title;
  std::vector<WeekMeter> meters;
  std::string line;
  std::optional<std::string> empty;
  std::string spoken;

  bool operator==(const LimitsFace&) const = default;
};
BOOST_DESCRIBE_STRUCT(LimitsFace, (), (title, meters, line, empty, spoken))

// Agents working now and runs waiting for the user.
struct NowFace {
  std::string title;
  std::string longTitle;
  std::string count;
  std::string unit;
  std::vector<WeekRun> runs;
  std::optional<std::string> waiting;
  std::string empty;  // required here, unlike the other faces' empty
  std::string spoken;

  bool operator==(const NowFace&) const = default;
};
BOOST_DESCRIBE_STRUCT(NowFace, (),
                      (title, longTitle, count, unit, runs, waiting, empty, spoken))

// The root of the file.
struct WeekSnapshot {
  std::int64_t v = 0;
  std::int64_t generatedMs = 0;
  std::string week;
  std::string period;
  std::vector<std::string> days;
  std::int64_t today = 0;
  bool off = false;
  WeekWords words;
  AutonomyFace autonomy;
  OutcomesFace outcomes;
  ReceiptFace receipt;
  RhythmFace rhythm;
  VolumeFace volume;
  LimitsFace limits;
  NowFace now;

  bool operator==(const WeekSnapshot&) const = default;
};
BOOST_DESCRIBE_STRUCT(WeekSnapshot, (),
                      (v, generatedMs, week, period, days, today, off, words, autonomy, outcomes,
                       receipt, rhythm, volume, limits, now))

}  // namespace korvel
