// Cost of one timeline request against its floor: reading the file and parsing it with simdjson.
// Run with --benchmark_repetitions=10 --benchmark_report_aggregates_only=true for medians.
#include <benchmark/benchmark.h>
#include <simdjson.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "snapshot/decode.h"
#include "snapshot/loading.h"
#include "widgets/week_provider.h"

namespace {

const std::filesystem::path kSample = std::filesystem::path(KORVEL_SOURCE_DIR) / "examples/week.json";

std::string sampleBytes() {
  std::ifstream in(kSample, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Decoding and acceptance from bytes in memory (includes the padded copy decodeSnapshot makes).
void DecodeFromBytes(benchmark::State& state) {
  const std::string bytes = sampleBytes();
  for (auto _ : state) {
    auto snapshot = korvel::decodeSnapshot(bytes);
    benchmark::DoNotOptimize(snapshot);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(DecodeFromBytes);

// What the host pays per request: clock, file read, decode, acceptance, entries.
void TimelineRequest(benchmark::State& state) {
  const korvel::WeekProvider provider(kSample, [] { return 1749750127.0; });
  for (auto _ : state) {
    provider.getTimeline([](korvel::Timeline t) { benchmark::DoNotOptimize(t); });
  }
}
BENCHMARK(TimelineRequest);

// Read, decode and accept, without the provider's entries.
void LoadSnapshotAt(benchmark::State& state) {
  for (auto _ : state) {
    auto snapshot = korvel::loadSnapshotAt(kSample);
    benchmark::DoNotOptimize(snapshot);
  }
}
BENCHMARK(LoadSnapshotAt);

// Copying a decoded snapshot, as the stale entry does.
void CopySnapshot(benchmark::State& state) {
  const auto snapshot = korvel::decodeSnapshot(sampleBytes());
  for (auto _ : state) {
    auto copy = snapshot;
    benchmark::DoNotOptimize(copy);
  }
}
BENCHMARK(CopySnapshot);

// For scale: simdjson's DOM parse of the same bytes, with the parser reused (its fastest form).
void SimdjsonParseReused(benchmark::State& state) {
  const simdjson::padded_string bytes(sampleBytes());
  simdjson::dom::parser parser;
  for (auto _ : state) {
    simdjson::dom::element root;
    auto error = parser.parse(bytes).get(root);
    benchmark::DoNotOptimize(error);
    benchmark::DoNotOptimize(root);
  }
}
BENCHMARK(SimdjsonParseReused);

// The same with a fresh parser each time, as a stateless request must do.
void SimdjsonParseFresh(benchmark::State& state) {
  const simdjson::padded_string bytes(sampleBytes());
  for (auto _ : state) {
    simdjson::dom::parser parser;
    simdjson::dom::element root;
    auto error = parser.parse(bytes).get(root);
    benchmark::DoNotOptimize(error);
    benchmark::DoNotOptimize(root);
  }
}
BENCHMARK(SimdjsonParseFresh);

// The floor the request is compared with: simdjson's own file load plus its fastest parse.
void ReadAndSimdjsonParse(benchmark::State& state) {
  simdjson::dom::parser parser;
  for (auto _ : state) {
    simdjson::padded_string bytes;
    auto loadError = simdjson::padded_string::load(kSample.string()).get(bytes);
    simdjson::dom::element root;
    auto error = parser.parse(bytes).get(root);
    benchmark::DoNotOptimize(loadError);
    benchmark::DoNotOptimize(error);
    benchmark::DoNotOptimize(root);
  }
}
BENCHMARK(ReadAndSimdjsonParse);

// Our reader alone: open, fstat, read to the end.
void ReadSnapshotFile(benchmark::State& state) {
  for (auto _ : state) {
    auto bytes = korvel::readSnapshotFile(kSample);
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(ReadSnapshotFile);

void MemcpyBytes(benchmark::State& state) {
  const std::string bytes = sampleBytes();
  std::string copy(bytes.size(), '\0');
  for (auto _ : state) {
    std::memcpy(copy.data(), bytes.data(), bytes.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(MemcpyBytes);

}  // namespace
