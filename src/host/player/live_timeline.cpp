#include "host/player/live_timeline.h"

#include <iostream>

#include "host/player/host_options.h"

namespace korvel::host {

LiveTimeline::LiveTimeline(const std::filesystem::path& snapshot, const TimeSettings& time)
    : timeFormat_(time), provider_(reportingLoader(snapshot, std::cerr, "desktop"), systemClock), schedule_(provider_) {}

const WeekEntry* LiveTimeline::advance(double now) {
  if (schedule_.update(now)) shown_.reset();
  const std::size_t index = schedule_.currentIndex(now);
  if (shown_ == index) return nullptr;
  shown_ = index;
  return &schedule_.entry(index);
}

LaidOutWidget LiveTimeline::layout(const Placement& placement, const WeekEntry& entry) const {
  RenderRequest request;
  request.kind = placement.face();
  request.family = placement.family;
  request.entry = entry;
  request.timeFormat = timeFormat_;
  return layoutWidget(request);
}

}  // namespace korvel::host
