#pragma once
#include "snapshot/records.h"
#include "ui/view.h"

namespace korvel {

// One usage limit: caption and used share, a bar filled by severity with an even-pace tick, and
// the pace sentence unless `isShort`.
struct Meter {
  WeekMeter meter;
  bool isShort = false;
  ui::View body() const;
  operator ui::View() const { return body(); }  // NOLINT
};

// Fill colour by exact severity: "bad" red, "warn" amber, anything else lime.
ui::Paint severityColor(const std::string& severity);
// Leading offset of the even-pace tick on a track `width` wide: centred on the elapsed share,
// never leaving the track.
double tickOffset(double width, std::int64_t elapsed);

// One agent run: status dot, name, time at the trailing edge. The time keeps its own width (cut
// only past 70 points) and the name takes all the rest up to the 4-point gap: both come before
// the spacer, which would otherwise split the row with the name evenly.
struct RunRow {
  WeekRun run;
  ui::View body() const;
  operator ui::View() const { return body(); }  // NOLINT
};

}  // namespace korvel
