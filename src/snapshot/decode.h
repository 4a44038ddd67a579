#pragma once
// Strict decoding and acceptance of the week snapshot, and its canonical encoding.
//
// Rules every reader of the file agrees on:
//  - an integer is a JSON number without fraction or exponent within signed 64 bits;
//  - a floating value is any JSON number finite as a double (1 reads as 1.0);
//  - a flag is only true or false;
//  - a required key must be present and not null; an optional one may be absent or null;
//  - undeclared keys are ignored whatever they hold (numbers of any size, any nesting), but the
//    whole document must still be valid JSON;
//  - duplicate keys: the last one wins, at every level;
//  - texts are valid UTF-8 with no unpaired surrogate escapes; a byte-order mark is refused;
//  - nesting deeper than maxJsonDepth where a value is read is refused;
//  - the root is an object; v >= 1 and exactly 7 day labels, or the snapshot is refused.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "base/error.h"
#include "snapshot/records.h"

namespace korvel {

inline constexpr std::size_t maxJsonDepth = 256;
inline constexpr std::int64_t minimumFormatVersion = 1;
inline constexpr std::size_t daysPerSnapshot = 7;

// A refusal says where: a key path such as "outcomes.perDay[0][1]" (invalid), a text position
// such as "line 3 column 14" (malformed), or nothing when the whole document is meant.
using DecodeResult = Result<WeekSnapshot>;

// Decodes and accepts, saying why when it refuses. Never throws.
DecodeResult decodeSnapshotDetailed(std::string_view bytes) noexcept;

// Decodes and accepts; no value on any failure. Never throws.
std::optional<WeekSnapshot> decodeSnapshot(std::string_view bytes) noexcept;

// Same as decodeSnapshotDetailed, for bytes that are followed by at least jsonPadding readable
// bytes in the same allocation (lets the loader skip a copy). The values of undeclared keys
// are overwritten with spaces on the way, so a large one costs no memory beyond its bytes.
inline constexpr std::size_t jsonPadding = 64;
DecodeResult decodeSnapshotPadded(char* data, std::size_t size) noexcept;

// The same, decoding into `out` in place (the caller's snapshot is left partly filled on
// failure). On failure `error` says why; its message is empty only when memory ran out.
bool decodeSnapshotInto(char* data, std::size_t size, WeekSnapshot& out, Error& error) noexcept;

// Compact UTF-8 JSON: keys in declaration order, optionals without a value left out.
std::string encodeSnapshot(const WeekSnapshot& snapshot);

}  // namespace korvel
