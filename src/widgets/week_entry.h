#pragma once
// One timeline entry: when the host shows it, and the snapshot to draw then.
#include <optional>

#include "snapshot/records.h"

namespace korvel {

struct WeekEntry {
  // Seconds since 1970-01-01 00:00 UTC; also the `now` of every time comparison in the faces.
  double date = 0;
  // No value draws the empty face.
  std::optional<WeekSnapshot> snapshot;

  bool operator==(const WeekEntry&) const = default;
};

}  // namespace korvel
