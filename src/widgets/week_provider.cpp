#include "widgets/week_provider.h"

#include <chrono>
#include <utility>

#include "snapshot/generation_time.h"

namespace korvel {

double systemClock() {
  using namespace std::chrono;
  return duration<double>(system_clock::now().time_since_epoch()).count();
}

WeekProvider::WeekProvider(const PlatformLookups& lookups, Clock clock)
    : WeekProvider([&lookups] { return loadSnapshot(lookups); }, std::move(clock)) {}

WeekProvider::WeekProvider(std::filesystem::path snapshotFile, Clock clock)
    : WeekProvider([file = std::move(snapshotFile)] { return loadSnapshotAt(file); },
                   std::move(clock)) {}

WeekProvider::WeekProvider(SnapshotLoader loader, Clock clock)
    : load_(std::move(loader)), clock_(std::move(clock)) {}

WeekEntry WeekProvider::placeholder() const { return {clock_(), std::nullopt}; }

void WeekProvider::getSnapshot(const std::function<void(WeekEntry)>& completion) const {
  const double now = clock_();  // before touching the file
  completion(WeekEntry{now, load_()});
}

void WeekProvider::getTimeline(const std::function<void(Timeline)>& completion) const {
  const double now = clock_();  // before touching the file
  Timeline timeline;
  timeline.entries.reserve(2);
  timeline.entries.push_back(WeekEntry{now, load_()});
  if (const auto& snapshot = timeline.entries.front().snapshot) {
    const double staleAt = generationTime(*snapshot) + staleEntryOffset;
    // Without a later moment the first entry is already stale and stays so.
    if (staleAt > now) timeline.entries.push_back(WeekEntry{staleAt, snapshot});  // reserved: no move
  }
  timeline.reloadAfter = now + reloadInterval;
  completion(std::move(timeline));
}

}  // namespace korvel
