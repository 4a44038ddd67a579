#pragma once
// When a snapshot was generated, and how long it counts as fresh.
#include "snapshot/records.h"

namespace korvel {

// A face calls its snapshot stale when its `now` lies strictly more than this after generation.
inline constexpr double staleAfterSeconds = 10800.0;

// Seconds since 1970-01-01 00:00 UTC; keeps the milliseconds as a fraction.
inline double generationTime(const WeekSnapshot& snapshot) {
  return static_cast<double>(snapshot.generatedMs) / 1000.0;
}

}  // namespace korvel
