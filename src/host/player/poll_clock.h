#pragma once
// The real PlayerClock: the wall clock, and a sleep in poll() on a wall-clock timer, the
// termination signals, the snapshot watcher and the appearance source. Nothing wakes the
// process but these: between them it uses no CPU.
#include <optional>
#include <string>

#include "host/player/appearance_source.h"
#include "host/player/player_clock.h"
#include "host/player/snapshot_watcher.h"
#include "host/player/wall_timer.h"

namespace korvel::host {

class PollClock final : public PlayerClock {
 public:
  // Takes SIGINT, SIGTERM and SIGHUP over (blocked, read from a signalfd): construct it before
  // any thread starts, so that every thread inherits the blocked mask. The watcher may be null.
  explicit PollClock(SnapshotWatcher* watcher);

  // Wakes for changes of `appearance` too (null: none). Sources that run a thread are made
  // after the clock, and handed over here.
  void watchAppearance(AppearanceSource* appearance) { appearance_ = appearance; }
  ~PollClock() override;
  PollClock(const PollClock&) = delete;
  PollClock& operator=(const PollClock&) = delete;

  // Nothing when the timer and the signals are set up.
  const std::optional<Error>& error() const { return error_; }

  double now() override;
  Wake sleepUntil(std::optional<double> deadline) override;
  bool stopRequested() override;

  // How often poll() returned.
  long wakeUps() const { return wakeUps_; }

 private:
  // Takes the waiting signals: a stop or a SIGHUP noted for the next wake-up. True when any.
  bool readSignals();

  SnapshotWatcher* watcher_;
  AppearanceSource* appearance_ = nullptr;
  int signalFd_ = -1;
  WallTimer timer_;
  bool stop_ = false;
  bool hangUp_ = false;
  long wakeUps_ = 0;
  std::optional<Error> error_;
  bool restoreMask_ = false;
  unsigned char oldMask_[128] = {};  // the sigset_t in force before, restored at the end
};

}  // namespace korvel::host
