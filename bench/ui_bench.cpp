// Layout of a medium widget-sized tree (~15 texts, ~40 shapes, 364 x 170).
//   BM_LayoutFirstInProcess: the very first pass (fontconfig and font loading included); run once.
//   BM_LayoutPango: later passes (each pass starts with empty measurement caches).
//   BM_LayoutFake: the engine alone, with the deterministic measurer.
#include <benchmark/benchmark.h>

#include "ui/layout.h"
#include "host/render/product_fonts.h"
#include "ui/view.h"

namespace {

using namespace korvel::ui;

View bars(int n) {
  std::vector<View> cols;
  for (int i = 0; i < n; ++i)
    cols.push_back(vstack(HAlign::center, 0, {spacer(0), roundedRectangle(2).fill(Paint{"lime", 1}).frame(6, 4 + (i * 7) % 30)}));
  return hstack(VAlign::bottom, 3, cols).frame(std::nullopt, 40);
}

View row(int i) {
  return hstack(VAlign::firstTextBaseline, 6, {
      circle().fill(Paint{i % 2 ? "orange" : "lime", 1}).frame(7, 7),
      text("agent run number " + std::to_string(i) + " fixing the build").lineLimit(1),
      spacer(4),
      text(std::to_string(i) + "h 0" + std::to_string(i) + "m").font(11).monospacedDigit().foreground(Paint{"inkFaint", 1}).lineLimit(1),
  }).font(12);
}

View tree() {
  return vstack(HAlign::leading, 8, {
      hstack(VAlign::center, 6, {rectangle().fill(Paint{"lime", 1}).frame(8, 12), text("Without you").font(13, Weight::semibold),
                                 spacer(), symbol("clock"), text("now \u00b7 9:00").font(11).foreground(Paint{"inkSoft", 1})}),
      hstack(VAlign::top, 12, {
          vstack(HAlign::leading, 4, {
              hstack(VAlign::lastTextBaseline, 0, {text("38.5").font(40, Weight::bold, Design::rounded), text("h").font(18.4, Weight::bold, Design::rounded)})
                  .lineLimit(1).minimumScaleFactor(0.6),
              text("agents worked without you this week").font(11).foreground(Paint{"inkSoft", 1}).lineLimit(2),
              bars(28),
          }).frame(FlexFrame{.maxWidth = kInfinity, .alignment = topLeading}),
          vstack(HAlign::leading, 5, {row(1), row(2), row(3), row(4), row(5)}).frame(FlexFrame{.maxWidth = kInfinity, .alignment = topLeading}),
      }),
  }).foreground(Paint{"ink", 1});
}

void BM_LayoutFirstInProcess(benchmark::State& state) {
  const View v = tree();
  for (auto _ : state) benchmark::DoNotOptimize(layout(v, Size{364, 170}, korvel::host::productTextMeasurer()));
}
BENCHMARK(BM_LayoutFirstInProcess)->Iterations(1)->Unit(benchmark::kMillisecond);

// Arg 1: the process's measurement cache holds the texts (a redraw); 0: it is emptied first
// (the first layout of texts the process has not seen).
void BM_LayoutPango(benchmark::State& state) {
  const View v = tree();
  const bool warm = state.range(0) == 1;
  LayoutStats stats;
  for (auto _ : state) {
    if (!warm) korvel::host::productTextMeasurer().clearCache();
    stats = {};
    benchmark::DoNotOptimize(layout(v, Size{364, 170}, korvel::host::productTextMeasurer(), &stats));
  }
  state.counters["texts"] = static_cast<double>(stats.textsMeasured);
  state.counters["measureCalls"] = static_cast<double>(stats.measureCalls);
  state.counters["ops"] = static_cast<double>(stats.opsEmitted);
}
BENCHMARK(BM_LayoutPango)->ArgName("warm")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LayoutFake(benchmark::State& state) {
  const View v = tree();
  const FakeTextMeasurer fake;
  LayoutStats stats;
  for (auto _ : state) {
    stats = {};
    benchmark::DoNotOptimize(layout(v, Size{364, 170}, fake, &stats));
  }
  state.counters["nodeMeasures"] = static_cast<double>(stats.nodeMeasures);
  state.counters["measureCalls"] = static_cast<double>(stats.measureCalls);
}
BENCHMARK(BM_LayoutFake)->Unit(benchmark::kMicrosecond);

void BM_BuildTree(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(tree());
}
BENCHMARK(BM_BuildTree)->Unit(benchmark::kMicrosecond);

}  // namespace

namespace {
void BM_MeasureOne(benchmark::State& state) {
  using namespace korvel::ui;
  TextRequest r;
  r.runs.push_back(TextRunStyle{"agent run number 1 fixing the build", 12, Weight::regular, Design::default_, false, Paint{"ink", 1}});
  r.lineLimit = static_cast<int>(state.range(1));
  if (state.range(0) >= 0) r.width = static_cast<double>(state.range(0));
  for (auto _ : state) {
    korvel::host::productTextMeasurer().clearCache();
    benchmark::DoNotOptimize(korvel::host::productTextMeasurer().measure(r));
  }
}
BENCHMARK(BM_MeasureOne)->Args({-1, 1})->Args({0, 1})->Args({0, 0})->Args({100, 1})->Args({100, 0})->Unit(benchmark::kMicrosecond);
}  // namespace
