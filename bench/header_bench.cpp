// The face header's own costs: the ICU formatters built once per locale, the two texts it
// formats on every drawing, and building plus laying out the header row.
#include <benchmark/benchmark.h>

#include "faces/face_header.h"
#include "ui/layout.h"
#include "ui/text_measurer.h"

namespace korvel {
namespace {

constexpr double kGenerated = 1749746527.123;

void BM_TimeFormatCreate(benchmark::State& state) {
  for (auto _ : state) {
    TimeFormat format(TimeSettings{"de_DE", "Europe/Berlin"});
    benchmark::DoNotOptimize(format);
  }
}
BENCHMARK(BM_TimeFormatCreate);

void BM_ClockTime(benchmark::State& state) {
  const TimeFormat format(TimeSettings{"en_US", "America/New_York"});
  for (auto _ : state) benchmark::DoNotOptimize(format.clockTime(kGenerated));
}
BENCHMARK(BM_ClockTime);

void BM_RelativeAge(benchmark::State& state) {
  const TimeFormat format(TimeSettings{"en_US", "America/New_York"});
  for (auto _ : state) {
    benchmark::DoNotOptimize(format.relativeAge(kGenerated, kGenerated + 3 * 86400 + 5));
  }
}
BENCHMARK(BM_RelativeAge);

void BM_HeaderLayout(benchmark::State& state) {
  const bool stale = state.range(0) != 0;
  FaceHeader h;
  h.title = "Receipt of the week";
  h.trailing = "9\u201315 June";
  h.time = kGenerated;
  h.staleWords = "Korvel closed";
  if (stale) h.staleSince = kGenerated;
  h.asOf = kGenerated + 20000;
  const ui::FakeTextMeasurer measurer;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ui::layout(header(h), {332, 138}, measurer));
  }
}
BENCHMARK(BM_HeaderLayout)->Arg(0)->Arg(1);

}  // namespace
}  // namespace korvel
