#pragma once
// The timeline rules every host of ours follows, apart from what it draws on: one timeline at
// a time from the provider; the entry shown is the last one whose date has come; a new
// timeline after the reload date, after the clock was set back, or shortly after the snapshot
// changed. Pure bookkeeping over a given `now`: the caller owns the clock and the sleeping.
#include <cstddef>
#include <optional>

#include "widgets/week_provider.h"

namespace korvel::host {

// A change of the snapshot is read this long after the last event of a burst (a writer that
// truncates, writes and closes makes several), but never later than kReloadMaxDelay after the
// first, so a file written without pause still shows.
inline constexpr double kReloadDebounce = 0.25;
inline constexpr double kReloadMaxDelay = 1.0;

class TimelineSchedule {
 public:
  explicit TimelineSchedule(const WeekProvider& provider) : provider_(provider) {}

  // Asks for a new timeline when one is due at `now`; true when it did.
  bool update(double now);

  // The entry to show at `now`, once update() has run.
  std::size_t currentIndex(double now) const;
  const WeekEntry& entry(std::size_t index) const { return timeline_->entries[index]; }

  // The snapshot file changed at `now`: a new timeline once the burst is over.
  void snapshotChanged(double now);

  // The next moment something is due: a later entry, the reload date, a pending change.
  std::optional<double> nextDeadline(double now) const;

  long timelines() const { return timelines_; }

 private:
  const WeekProvider& provider_;
  std::optional<Timeline> timeline_;
  std::optional<double> reloadDue_;
  double burstStart_ = 0;
  long timelines_ = 0;
};

// The wall clock read back after a timer may sit a fraction of a microsecond before the
// deadline it was set for (a double holds today's time to about 0.2 µs); a millisecond early
// is on time.
inline constexpr double kDueSlack = 1e-3;

}  // namespace korvel::host
