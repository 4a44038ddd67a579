#include "host/player/poll_clock.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "widgets/week_provider.h"

namespace korvel::host {

namespace {

static_assert(sizeof(sigset_t) <= 128);

// A wall-clock moment as the timer's absolute expiry, rounded up so that the clock has
// reached `seconds` when the timer fires. Far-future moments are clamped (a year-5000 timer
// is as good as none).
itimerspec expiryAt(double seconds) {
  seconds = std::min(seconds, 95617584000.0);
  itimerspec spec{};
  const double whole = std::floor(seconds);
  auto nanos = static_cast<long>(std::ceil((seconds - whole) * 1e9));
  auto secs = static_cast<time_t>(whole);
  if (nanos >= 1'000'000'000L) {
    nanos -= 1'000'000'000L;
    ++secs;
  }
  spec.it_value.tv_sec = secs;
  spec.it_value.tv_nsec = nanos;
  return spec;
}

}  // namespace

PollClock::PollClock(SnapshotWatcher* watcher) : watcher_(watcher) {
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigset_t old;
  if (pthread_sigmask(SIG_BLOCK, &stopSignals, &old) == 0) {
    std::memcpy(oldMask_, &old, sizeof old);
    restoreMask_ = true;
  }
  signalFd_ = signalfd(-1, &stopSignals, SFD_NONBLOCK | SFD_CLOEXEC);
  timerFd_ = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
  if (signalFd_ < 0 || timerFd_ < 0) {
    error_ = std::string("cannot set up the player's timer and signals: ") + std::strerror(errno);
  }
}

PollClock::~PollClock() {
  if (timerFd_ >= 0) ::close(timerFd_);
  if (signalFd_ >= 0) {
    readSignals();  // taken already: must not fire when the mask is restored
    ::close(signalFd_);
  }
  if (restoreMask_) {
    sigset_t old;
    std::memcpy(&old, oldMask_, sizeof old);
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
  }
}

double PollClock::now() { return systemClock(); }

bool PollClock::readSignals() {
  signalfd_siginfo info;
  bool any = false;
  while (signalFd_ >= 0 && ::read(signalFd_, &info, sizeof info) == sizeof info) any = true;
  return any;
}

bool PollClock::stopRequested() {
  if (readSignals()) stop_ = true;
  return stop_;
}

Wake PollClock::sleepUntil(std::optional<double> deadline) {
  Wake wake;
  if (stopRequested()) {
    wake.stop = true;
    return wake;
  }
  if (deadline && now() >= *deadline) {
    wake.deadline = true;
    return wake;
  }
  // A set clock (manual change, NTP step; not a suspend, which the realtime timer rides
  // through) cancels the timer, so the player wakes and recomputes what is due.
  const itimerspec expiry = deadline ? expiryAt(*deadline) : itimerspec{};
  if (timerFd_ >= 0) {
    timerfd_settime(timerFd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &expiry, nullptr);
  }

  pollfd fds[4];
  nfds_t count = 0;
  const auto add = [&fds, &count](int fd) {
    if (fd < 0) return -1;
    fds[count] = pollfd{fd, POLLIN, 0};
    return static_cast<int>(count++);
  };
  const int signalAt = add(signalFd_);
  const int timerAt = add(timerFd_);
  const int watcherAt = add(watcher_ ? watcher_->fd() : -1);
  const int appearanceAt = add(appearance_ ? appearance_->changeFd() : -1);

  const int ready = ::poll(fds, count, -1);
  ++wakeUps_;
  if (ready <= 0) return wake;  // EINTR: a stopped and continued process

  const auto readable = [&fds](int at) { return at >= 0 && (fds[at].revents & POLLIN); };
  if (readable(signalAt) && readSignals()) {
    stop_ = true;
    wake.stop = true;
  }
  if (readable(timerAt)) {
    std::uint64_t expirations = 0;
    // ECANCELED: the clock was set. Either way the deadline is to be compared anew.
    [[maybe_unused]] const ssize_t n = ::read(timerFd_, &expirations, sizeof expirations);
    wake.deadline = true;
  }
  if (readable(watcherAt)) wake.snapshot = watcher_->readEvents();
  if (readable(appearanceAt)) {
    appearance_->acknowledge();
    wake.appearance = true;
  }
  return wake;
}

}  // namespace korvel::host
