// Every widget in every family it offers, laid out and drawn to PNG at scale 2 in the light
// appearance, from the shipped sample week. One benchmark per widget/family and one for all 19.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "host/render/render_widget.h"
#include "snapshot/decode.h"
#include "snapshot/generation_time.h"
#include "host/render/product_fonts.h"

namespace korvel {
namespace {

WeekEntry sampleEntry() {
  std::ifstream in(std::string(KORVEL_SOURCE_DIR) + "/examples/week.json", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  auto snapshot = decodeSnapshot(bytes.str());
  const double now = snapshot ? generationTime(*snapshot) + 3600 : 0;
  return WeekEntry{now, std::move(snapshot)};
}

host::RenderRequest request(const WeekEntry& entry, WeekFaceKind kind, WidgetFamily family) {
  host::RenderRequest r;
  r.kind = kind;
  r.family = family;
  r.entry = entry;
  r.appearance = Appearance::light;
  r.scale = 2;
  r.format = host::RenderFormat::png;
  return r;
}

void renderOne(benchmark::State& state, WeekFaceKind kind, WidgetFamily family) {
  const WeekEntry entry = sampleEntry();
  const host::RenderRequest r = request(entry, kind, family);
  std::size_t bytes = 0;
  for (auto _ : state) {
    const host::RenderResult result = host::renderWidget(r);
    bytes = std::get<std::string>(result).size();
    benchmark::DoNotOptimize(std::get<std::string>(result).data());
  }
  state.counters["png_bytes"] = static_cast<double>(bytes);
}

void BM_AllWidgets(benchmark::State& state) {
  const WeekEntry entry = sampleEntry();
  std::vector<host::RenderRequest> requests;
  for (const WidgetInfo& widget : widgetCatalog()) {
    for (const WidgetFamily family : widget.families) requests.push_back(request(entry, widget.faceKind, family));
  }
  // Arg 0: every pass starts with no text measured yet, as a fresh process does; 1: the texts
  // are known from the pass before, as on a redraw.
  const bool warm = state.range(0) == 1;
  for (auto _ : state) {
    if (!warm) host::productTextMeasurer().clearCache();
    for (const host::RenderRequest& r : requests) benchmark::DoNotOptimize(host::renderWidget(r));
  }
  state.counters["widgets"] = static_cast<double>(requests.size());
}
BENCHMARK(BM_AllWidgets)->ArgName("warm")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

const int registered = [] {
  for (const WidgetInfo& widget : widgetCatalog()) {
    for (const WidgetFamily family : widget.families) {
      const std::string name =
          "BM_Widget/" + std::string(rawValue(widget.faceKind)) + "/" + std::string(familyName(family));
      benchmark::RegisterBenchmark(name.c_str(), renderOne, widget.faceKind, family)
          ->Unit(benchmark::kMillisecond);
    }
  }
  return 0;
}();

}  // namespace
}  // namespace korvel
