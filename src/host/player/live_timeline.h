#pragma once
// What a desktop host (the window, the layer surfaces) keeps of the widgets' timeline: the
// snapshot read through the reporting loader, the player's timeline rules, and which entry its
// widgets were last laid out for.
#include <filesystem>
#include <optional>

#include "faces/time_format.h"
#include "host/player/placements.h"
#include "host/player/timeline_schedule.h"
#include "host/render/render_widget.h"

namespace korvel::host {

class LiveTimeline {
 public:
  LiveTimeline(const std::filesystem::path& snapshot, const TimeSettings& time);

  // A new timeline when one is due, then the entry whose date has come: returned when it is not
  // the one returned last (after a new timeline it always counts as new), else null.
  const WeekEntry* advance(double now);
  std::optional<double> nextDeadline(double now) const { return schedule_.nextDeadline(now); }
  void snapshotChanged(double now) { schedule_.snapshotChanged(now); }

  // `placement` laid out for `entry`, with dates in the user's locale and zone.
  LaidOutWidget layout(const Placement& placement, const WeekEntry& entry) const;

 private:
  TimeFormat timeFormat_;
  WeekProvider provider_;
  TimelineSchedule schedule_;
  std::optional<std::size_t> shown_;
};

}  // namespace korvel::host
