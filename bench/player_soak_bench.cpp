// Soak: the timeline player over 1000 timeline cycles on a scripted clock, the snapshot file
// rewritten at the start of each cycle. Each cycle is 1000 simulated seconds: the rewrite, the
// debounced reload and its drawing, the reload date 900 s later and its drawing; every 50th
// cycle the appearance flips (new files, the old appearance's removed). The counters show
// whether memory stays flat: resident set size after cycles 100 and 500 and after the last
// (from /proc/self/statm), and the process's peak (getrusage).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <fstream>
#include <ostream>
#include <string>

#include "host/player/host_options.h"
#include "host/player/player.h"
#include "support/player_fakes.h"
#include "support/files.h"

namespace korvel::host {
namespace {

using korvel::testing::FakeClock;
using korvel::testing::ScratchDir;
using korvel::testing::ScriptedEvent;
using korvel::testing::SwitchableAppearance;

constexpr int kCycles = 1000;
constexpr int kEarlyCycle = 100;
constexpr int kMiddleCycle = 500;
constexpr double kCycleSeconds = 1000;
constexpr double kStart = 1'750'000'000;

// Resident set size now, in KiB.
double residentKiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1024.0;
}

// The largest resident set size the process ever had, in KiB.
double peakKiB() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss);
}

// The sample, as the companion writes it at `seconds`: generated then, with a changed count so
// that every rewrite is new content; replaced atomically like the companion does.
void writeSnapshot(const std::filesystem::path& file, const std::string& sample, double seconds,
                   int cycle) {
  std::string text = korvel::testing::replaceOnce(
      sample, "\"generatedMs\": 1749746527123",
      "\"generatedMs\": " + std::to_string(static_cast<long long>(seconds * 1000)));
  text = korvel::testing::replaceOnce(text, "\"week\": \"Week 24\"",
                                      "\"week\": \"Week " + std::to_string(cycle % 53 + 1) + "\"");
  const std::filesystem::path temporary = file.string() + ".tmp";
  korvel::testing::writeFile(temporary, text);
  std::filesystem::rename(temporary, file);
}

Placement place(std::string_view text) { return std::get<Placement>(parsePlacement(text)); }

void BM_PlayerSoak(benchmark::State& state) {
  const std::string sample = korvel::testing::exampleText("week.json");
  for (auto _ : state) {
    ScratchDir dir;
    const std::filesystem::path out = dir / "out";
    const std::filesystem::path file = dir / "week.json";
    std::filesystem::create_directories(out);
    writeSnapshot(file, sample, kStart - 60, 0);

    FakeClock clock(kStart);
    SwitchableAppearance appearance;
    std::ostream quiet(nullptr);  // the player's messages go nowhere
    const WeekProvider provider(reportingLoader(file, quiet, "soak"), [&clock] { return clock.now(); });
    PlayerSettings settings;
    settings.placements = {place("limits:medium"), place("now:small"), place("week:large")};
    settings.outputDir = out;
    settings.scale = 2;
    Player player(std::move(settings), provider, clock, appearance, quiet);

    double early = 0, middle = 0;
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
      const double at = kStart + cycle * kCycleSeconds;
      clock.events.push_back(ScriptedEvent{at, host::Wake{.snapshot = true}, [&, at, cycle] {
        // The state after `cycle - 1` full cycles, before this one starts.
        if (cycle == kEarlyCycle + 1) early = residentKiB();
        if (cycle == kMiddleCycle + 1) middle = residentKiB();
        writeSnapshot(file, sample, at, cycle);
      }});
      if (cycle % 50 == 0) {
        clock.events.push_back({at + 0.5, host::Wake{.appearance = true}, [&appearance] {
          appearance.value =
              appearance.value == Appearance::light ? Appearance::dark : Appearance::light;
        }});
      }
    }
    clock.end = kStart + (kCycles + 1) * kCycleSeconds - 1;
    if (player.run() != 0) state.SkipWithError("the player failed");

    state.counters["cycles"] = kCycles;
    state.counters["timelines"] = static_cast<double>(player.stats().timelines);
    state.counters["draws"] = static_cast<double>(player.stats().draws);
    state.counters["files"] = static_cast<double>(player.stats().filesWritten);
    state.counters["failures"] = static_cast<double>(player.stats().failures);
    state.counters["rss_after_100_kib"] = early;
    state.counters["rss_after_500_kib"] = middle;
    state.counters["rss_after_1000_kib"] = residentKiB();
    state.counters["peak_rss_kib"] = peakKiB();
  }
}
BENCHMARK(BM_PlayerSoak)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace korvel::host
