#pragma once
// The one timeline provider shared by every widget. It keeps nothing between requests: each
// request takes the time, loads the snapshot afresh and wraps it in entries.
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "snapshot/loading.h"
#include "widgets/week_entry.h"

namespace korvel {

// Seconds since 1970-01-01 00:00 UTC.
using Clock = std::function<double()>;
double systemClock();

// Loads the snapshot for one request; no value on any failure.
using SnapshotLoader = std::function<std::optional<WeekSnapshot>()>;

// Entries in date order, and the date after which the host asks again (the `.after` policy).
struct Timeline {
  std::vector<WeekEntry> entries;
  double reloadAfter = 0;

  bool operator==(const Timeline&) const = default;
};

// The second entry comes one second after the faces turn stale.
inline constexpr double staleEntryOffset = 10801.0;
inline constexpr double reloadInterval = 900.0;

class WeekProvider {
 public:
  // Reads the file loadSnapshot() finds through `lookups`, which must outlive the provider.
  explicit WeekProvider(const PlatformLookups& lookups, Clock clock = systemClock);
  // Reads the file at `snapshotFile` instead; reading, decoding and acceptance stay the same.
  explicit WeekProvider(std::filesystem::path snapshotFile, Clock clock = systemClock);
  // Any loader, for hosts that want to learn why a load failed.
  WeekProvider(SnapshotLoader loader, Clock clock);

  // An entry at the current time without a snapshot; never reads the file.
  WeekEntry placeholder() const;
  // Calls `completion` once, before returning, with an entry at the current time.
  void getSnapshot(const std::function<void(WeekEntry)>& completion) const;
  // Calls `completion` once, before returning, with one or two entries and the reload date.
  void getTimeline(const std::function<void(Timeline)>& completion) const;
  // The host's default: no relevance.
  std::optional<double> relevance() const { return std::nullopt; }

 private:
  SnapshotLoader load_;
  Clock clock_;
};

}  // namespace korvel
