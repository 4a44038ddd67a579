#include "host/player/timeline_schedule.h"

#include <algorithm>

namespace korvel::host {

namespace {

// A clock set back by more than this makes the timeline's dates meaningless: start anew.
constexpr double kBackwardJump = 1.0;

}  // namespace

bool TimelineSchedule::update(double now) {
  const bool due = !timeline_ || now < timeline_->entries.front().date - kBackwardJump ||
                   now >= timeline_->reloadAfter - kDueSlack ||
                   (reloadDue_ && now >= *reloadDue_ - kDueSlack);
  if (!due) return false;
  provider_.getTimeline([this](Timeline timeline) { timeline_ = std::move(timeline); });
  ++timelines_;
  reloadDue_.reset();
  return true;
}

std::size_t TimelineSchedule::currentIndex(double now) const {
  std::size_t index = 0;
  for (std::size_t i = 1; timeline_ && i < timeline_->entries.size(); ++i) {
    if (timeline_->entries[i].date <= now + kDueSlack) index = i;
  }
  return index;
}

void TimelineSchedule::snapshotChanged(double now) {
  if (!reloadDue_) burstStart_ = now;
  reloadDue_ = std::min(now + kReloadDebounce, burstStart_ + kReloadMaxDelay);
}

std::optional<double> TimelineSchedule::nextDeadline(double now) const {
  std::optional<double> next = reloadDue_;
  const auto consider = [&next](double t) {
    if (!next || t < *next) next = t;
  };
  if (timeline_) {
    const std::size_t index = currentIndex(now);
    if (index + 1 < timeline_->entries.size()) consider(timeline_->entries[index + 1].date);
    consider(timeline_->reloadAfter);
  }
  return next;
}

}  // namespace korvel::host
