#include "host/player/poll_clock.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "widgets/week_provider.h"

namespace korvel::host {

namespace {

static_assert(sizeof(sigset_t) <= 128);

}  // namespace

PollClock::PollClock(SnapshotWatcher* watcher) : watcher_(watcher) {
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  sigset_t old;
  if (pthread_sigmask(SIG_BLOCK, &stopSignals, &old) == 0) {
    std::memcpy(oldMask_, &old, sizeof old);
    restoreMask_ = true;
  }
  signalFd_ = signalfd(-1, &stopSignals, SFD_NONBLOCK | SFD_CLOEXEC);
  if (signalFd_ < 0 || timer_.fd() < 0) {
    error_ = Error{ErrorKind::unavailable, "",
                   std::string("cannot set up the player's timer and signals: ") + std::strerror(errno)};
  }
}

PollClock::~PollClock() {
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
  while (signalFd_ >= 0 && ::read(signalFd_, &info, sizeof info) == sizeof info) {
    any = true;
    (info.ssi_signo == SIGHUP ? hangUp_ : stop_) = true;
  }
  return any;
}

bool PollClock::stopRequested() {
  readSignals();
  return stop_;
}

Wake PollClock::sleepUntil(std::optional<double> deadline) {
  Wake wake;
  if (stopRequested() || hangUp_) {
    wake.stop = stop_;
    wake.reload = std::exchange(hangUp_, false);
    return wake;
  }
  if (deadline && now() >= *deadline) {
    wake.deadline = true;
    return wake;
  }
  timer_.arm(deadline);

  pollfd fds[4];
  nfds_t count = 0;
  const auto add = [&fds, &count](int fd) {
    if (fd < 0) return -1;
    fds[count] = pollfd{fd, POLLIN, 0};
    return static_cast<int>(count++);
  };
  const int signalAt = add(signalFd_);
  const int timerAt = add(timer_.fd());
  const int watcherAt = add(watcher_ ? watcher_->fd() : -1);
  const int appearanceAt = add(appearance_ ? appearance_->changeFd() : -1);

  const int ready = ::poll(fds, count, -1);
  ++wakeUps_;
  if (ready <= 0) return wake;  // EINTR: a stopped and continued process

  const auto readable = [&fds](int at) { return at >= 0 && (fds[at].revents & POLLIN); };
  if (readable(signalAt) && readSignals()) {
    wake.stop = stop_;
    wake.reload = std::exchange(hangUp_, false);
  }
  if (readable(timerAt)) {
    timer_.consume();  // reached, or the clock was set: either way compare anew
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
