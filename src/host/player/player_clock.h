#pragma once
// The player's only view of time and of the outside world: what time it is on the wall clock,
// and a sleep that ends at a wall-clock moment or as soon as something happens. The real one
// (PollClock) sleeps in poll(); tests step a fake one and count how often it wakes.
#include <optional>

namespace korvel::host {

// What ended a sleep. Several may be set at once; none set is a spurious wake-up (the player
// then simply recomputes what is due).
struct Wake {
  bool deadline = false;    // the wall clock reached the deadline, or was set (jumped)
  bool snapshot = false;    // the snapshot file was created, replaced, written or removed
  bool appearance = false;  // the desktop's colour scheme may have changed
  bool stop = false;        // SIGINT or SIGTERM
  bool reload = false;      // SIGHUP: read the configuration and the snapshot again
};

class PlayerClock {
 public:
  virtual ~PlayerClock() = default;

  // Seconds since 1970-01-01 00:00 UTC.
  virtual double now() = 0;

  // Sleeps until now() reaches `deadline` or an event arrives; without a deadline, until an
  // event arrives. A deadline already past returns at once.
  virtual Wake sleepUntil(std::optional<double> deadline) = 0;

  // Whether a stop has been asked for, without sleeping (checked between two files).
  virtual bool stopRequested() = 0;
};

}  // namespace korvel::host
