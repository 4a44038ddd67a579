#pragma once
// A scripted world for the player: a wall clock that only moves when the player sleeps, events
// that arrive at set moments, and an appearance the test switches. Every sleep is recorded, so
// tests can say exactly when the player woke and how often.
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "host/player/appearance_source.h"
#include "host/player/player_clock.h"

namespace korvel::testing {

struct ScriptedEvent {
  double at = 0;
  host::Wake wake;
  std::function<void()> before;  // runs when the event fires (rewrite a file, flip appearance)
};

class FakeClock final : public host::PlayerClock {
 public:
  explicit FakeClock(double start) : now_(start) {}

  double now() override { return now_; }

  // Ends at the earlier of the deadline and the next scripted event; with neither (or past
  // `end`), stops the player.
  host::Wake sleepUntil(std::optional<double> deadline) override {
    deadlines.push_back(deadline);
    if (!events.empty() && (!deadline || events.front().at <= *deadline)) {
      ScriptedEvent event = std::move(events.front());
      events.pop_front();
      now_ = std::max(now_, event.at);
      if (event.before) event.before();
      return event.wake;
    }
    if (!deadline || *deadline > end) return host::Wake{.stop = true};
    now_ = std::max(now_, *deadline);
    return host::Wake{.deadline = true};
  }

  bool stopRequested() override { return stopAfterChecks && --*stopAfterChecks < 0; }

  // Sets the clock (a jump) without the player sleeping.
  void set(double t) { now_ = t; }

  std::vector<std::optional<double>> deadlines;  // one per sleep: the wake-ups
  std::deque<ScriptedEvent> events;
  double end = 1e18;                    // a deadline after this stops the player
  std::optional<int> stopAfterChecks;   // stopRequested() turns true after this many calls

 private:
  double now_;
};

class SwitchableAppearance final : public host::AppearanceSource {
 public:
  Appearance current() override { return value; }
  Appearance value = Appearance::light;
};

}  // namespace korvel::testing
