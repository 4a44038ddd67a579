// libFuzzer target: any bytes through the strict snapshot decoder.
//
// Besides the sanitizers' verdict it checks what every caller relies on: the three decoding
// entry points agree, a refusal always says why, and an accepted snapshot survives its own
// encoding unchanged (what the tests and the companion's fixtures build on).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "snapshot/decode.h"

namespace {

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "decode_fuzzer: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvel;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const DecodeResult detailed = decodeSnapshotDetailed(bytes);
  const std::optional<WeekSnapshot> plain = decodeSnapshot(bytes);

  // The loader's road: the bytes followed by zeroed padding in one allocation.
  const auto padded = std::make_unique<char[]>(size + jsonPadding);
  if (size != 0) std::memcpy(padded.get(), data, size);
  const DecodeResult fromPadded = decodeSnapshotPadded(padded.get(), size);

  const auto* snapshot = std::get_if<WeekSnapshot>(&detailed);
  if (snapshot == nullptr) {
    if (std::get<Error>(detailed).message.empty()) fail("a refusal without a reason");
    if (plain.has_value()) fail("decodeSnapshot accepts what decodeSnapshotDetailed refuses");
    if (fromPadded != detailed) fail("the padded road refuses differently");
    return 0;
  }
  if (!plain.has_value() || *plain != *snapshot) fail("decodeSnapshot disagrees");
  if (fromPadded != detailed) fail("the padded road decodes differently");

  const std::string encoded = encodeSnapshot(*snapshot);
  const DecodeResult again = decodeSnapshotDetailed(encoded);
  if (const auto* error = std::get_if<Error>(&again)) {
    std::fprintf(stderr, "re-decoding the encoding failed: %s\n", error->describe().c_str());
    fail("an accepted snapshot's encoding is refused");
  }
  if (std::get<WeekSnapshot>(again) != *snapshot) fail("encoding does not round-trip");
  return 0;
}
