#pragma once
// Charts of one week of per-day figures. Every chart draws exactly seven days (indices 0 to 6)
// whatever the lengths of its arrays, scales to the week's peak (never below 1), and uses
// `today` only to highlight.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/view.h"

namespace korvel {

using DaySeries = std::vector<std::optional<std::vector<std::int64_t>>>;

// One bar per day.
struct Columns {
  std::vector<std::optional<double>> values;
  std::vector<std::string> days;
  std::int64_t today = -1;
  bool showLabels = true;
  ui::View body() const;
  operator ui::View() const { return body(); }  // NOLINT
};

// One stacked bar per day of up to three keyed segments ("passed", "debt", "waiting").
struct Stacks {
  DaySeries perDay;
  std::vector<std::string> days;
  std::int64_t today = -1;
  ui::View body() const;
  operator ui::View() const { return body(); }  // NOLINT
};

// An upward and a downward bar per day around a midline.
struct Diverging {
  DaySeries perDay;
  std::vector<std::string> days;
  std::int64_t today = -1;
  ui::View body() const;
  operator ui::View() const { return body(); }  // NOLINT
};

// Seven rows of 24 hourly cells.
struct HeatGrid {
  DaySeries heat;
  std::vector<std::string> days;
  double cell = 8;
  double gap = 1.5;
  bool labels = true;
  ui::View body() const;
  operator ui::View() const { return body(); }  // NOLINT
};

inline constexpr int kWeekDays = 7;
inline constexpr double kMaxBarWidth = 22;

// The colour of an outcome series key: "passed" green, "debt" blue, anything else orange.
ui::Paint outcomeKeyColor(const std::string& key);

// Shared by the day charts (and the receipt's own bars).
namespace chart {

// Label of day i, or the empty string when i is outside `days`.
std::string dayLabel(const std::vector<std::string>& days, std::size_t i);
bool isToday(std::int64_t today, std::size_t i);
// max(largest, 1); 1 when there is nothing.
double peakOf(const std::vector<double>& figures);
// Sum of a day's counts, saturating instead of overflowing.
double total(const std::vector<std::int64_t>& counts);

// A width-reading area that takes all the space offered, caps its content's width at 22 points,
// centres it, and stands the content on its bottom edge (anything taller is clipped at the top).
ui::View barArea(std::function<ui::View(double width, double height)> content);

// Seven day columns, bottom-aligned, 4 apart: the bar area over the day label.
struct DayColumnStyle {
  double labelSpacing = 4;
  bool showLabels = true;
  bool labelMarksToday = true;
  std::optional<int> labelLines = 1;  // nullopt: as many lines as the label needs
};
ui::View dayColumns(const std::vector<std::string>& days, std::int64_t today, DayColumnStyle style,
                    const std::function<ui::View(std::size_t day, double width, double height)>& bar);

}  // namespace chart

}  // namespace korvel
