// libFuzzer target: any bytes through the decoder and, when accepted, through the whole drawing
// road of every widget: placed in every family it offers, laid out with the real Pango
// measurer, checked and painted in both appearances by the tests' own walk. Any broken
// invariant (a widget that would come out blank, outside its frame, or in a colour that is no
// palette colour) aborts with its description.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "snapshot/decode.h"
#include "snapshot/generation_time.h"
#include "support/widget_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvel;
  const std::optional<WeekSnapshot> snapshot =
      decodeSnapshot(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!snapshot) return 0;

  // The widgets read fresh an hour after generation, stale after four, and odd before it; the
  // input's length picks one so that the corpus covers all three.
  static constexpr double offsets[] = {3600, 4 * 3600 + 1, -60};
  const auto problems = testing::walkEveryPlacement(snapshot, generationTime(*snapshot) + offsets[size % 3]);
  if (problems.empty()) return 0;
  for (const auto& problem : problems) std::fprintf(stderr, "render_fuzzer: %s\n", problem.c_str());
  std::abort();
}
