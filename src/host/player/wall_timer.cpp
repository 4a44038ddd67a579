#include "host/player/wall_timer.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace korvel::host {

namespace {

// A wall-clock moment as the timer's absolute expiry, rounded up so that the clock has
// reached `seconds` when the timer fires. Far-future moments are clamped (a year-5000 timer
// is as good as none); moments before 1970 become the earliest one, which has passed.
itimerspec expiryAt(double seconds) {
  seconds = std::clamp(seconds, 1e-9, 95617584000.0);
  itimerspec expiry{};
  const double whole = std::floor(seconds);
  auto nanos = static_cast<long>(std::ceil((seconds - whole) * 1e9));
  auto secs = static_cast<time_t>(whole);
  if (nanos >= 1'000'000'000L) {
    nanos -= 1'000'000'000L;
    ++secs;
  }
  expiry.it_value.tv_sec = secs;
  expiry.it_value.tv_nsec = nanos;
  return expiry;
}

}  // namespace

WallTimer::WallTimer() : fd_(timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC)) {}

WallTimer::~WallTimer() {
  if (fd_ >= 0) ::close(fd_);
}

void WallTimer::arm(std::optional<double> deadline) {
  if (fd_ < 0) return;
  // A set clock (manual change, NTP step) cancels an armed timer: the fd turns readable.
  const itimerspec expiry = deadline ? expiryAt(*deadline) : itimerspec{};
  timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &expiry, nullptr);
}

void WallTimer::consume() {
  std::uint64_t expirations = 0;
  // ECANCELED (the clock was set) is consumed the same way.
  [[maybe_unused]] const ssize_t n = ::read(fd_, &expirations, sizeof expirations);
}

}  // namespace korvel::host
