#pragma once
// A timer on the wall clock (CLOCK_REALTIME, absolute): it fires when the clock reaches the
// deadline, also across a suspend, and at once when the clock is set, so that its owner can
// recompute what is due. Readable through fd() for poll() or a GLib main loop.
#include <optional>

namespace korvel::host {

class WallTimer {
 public:
  WallTimer();
  ~WallTimer();
  WallTimer(const WallTimer&) = delete;
  WallTimer& operator=(const WallTimer&) = delete;

  // -1 when the timer could not be made.
  int fd() const { return fd_; }

  // Fires at `deadline` (seconds since 1970), or never without one.
  void arm(std::optional<double> deadline);

  // Takes the expiry (or the clock-was-set notice) so that fd() is quiet again.
  void consume();

 private:
  int fd_ = -1;
};

}  // namespace korvel::host
