#pragma once
// A recognisable snapshot and helpers that lay views out with the deterministic fake measurer
// (every code point advances half the font size, lines are 1.2 x the size) and read the
// resulting display list.
#include <string>
#include <vector>

#include "snapshot/records.h"
#include "ui/display_list.h"
#include "ui/layout.h"
#include "ui/text_measurer.h"
#include "ui/view.h"

namespace korvel::facetest {

// 2025-06-12 16:42:07.123 UTC.
inline constexpr std::int64_t kGeneratedMs = 1749746527123;
inline constexpr double kGenerated = 1749746527.123;

// Every text the header or the stand-in faces may show is distinct, so a drawn text says which
// field it came from.
inline WeekSnapshot sampleSnapshot() {
  WeekSnapshot s;
  s.v = 1;
  s.generatedMs = kGeneratedMs;
  s.week = "Week 24";
  s.period = "Jun 9 \u2013 15";
  s.days = {"Mo", "Tu", "We", "Th", "Fr", "Sa", "Su"};
  s.today = 3;
  s.words = {.off = "Korvel is off",
             .offHint = "Turn it on in the menu bar to see your week.",
             .turnOn = "Turn on",
             .appClosed = "App closed",
             .macAway = "Mac away",
             .week = "This week",
             .now = "right now"};
  s.autonomy.title = "Without you";
  s.autonomy.spoken = "autonomy spoken";
  s.outcomes.title = "How runs ended";
  s.outcomes.spoken = "outcomes spoken";
  s.receipt.title = "Receipt";
  s.receipt.longTitle = "Receipt of the week";
  s.receipt.spoken = "receipt spoken";
  s.rhythm.title = "Rhythm";
  s.rhythm.longTitle = "Rhythm of the week";
  s.rhythm.spoken = "rhythm spoken";
  s.volume.title = "Code";
  s.volume.longTitle = "Code changes";
  s.volume.spoken = "volume spoken";
  s.limits.title = "Limits";
  s.limits.spoken = "limits spoken";
  s.now.title = "Now";
  s.now.longTitle = "Working now";
  s.now.empty = "Nothing running";
  s.now.spoken = "now spoken";
  return s;
}

inline const ui::TextMeasurer& fakeMeasurer() {
  static const ui::FakeTextMeasurer measurer;
  return measurer;
}

inline ui::DisplayList layoutFake(const ui::View& view, double width, double height,
                                  const ui::LayoutOptions& options = {}) {
  return ui::layout(view, ui::Size{width, height}, fakeMeasurer(), nullptr, options);
}

inline std::vector<ui::Op> textOps(const ui::DisplayList& list) {
  std::vector<ui::Op> out;
  for (const ui::Op& op : list.ops) {
    if (op.op == ui::OpKind::text) out.push_back(op);
  }
  return out;
}

inline std::vector<std::string> textsOf(const std::vector<ui::Op>& ops) {
  std::vector<std::string> out;
  for (const ui::Op& op : ops) {
    if (op.op == ui::OpKind::text) out.push_back(op.text.text);
    if (op.op == ui::OpKind::symbol) out.push_back("[" + op.symbol + "]");
  }
  return out;
}

// The header is the first row of every face: the ops drawn before the first one that starts
// below it (its height is the title's line, 12 x 1.2).
inline std::vector<ui::Op> headerRow(const ui::DisplayList& list) {
  std::vector<ui::Op> out;
  for (const ui::Op& op : list.ops) {
    if (op.rect.y >= 14.4) break;
    if (op.rect.y + op.rect.height <= 14.4 + 1e-9) out.push_back(op);
  }
  return out;
}

}  // namespace korvel::facetest
