#pragma once
// A seeded, deterministic generator of hostile but valid week snapshots: texts of 100 000
// characters, of combining marks only, right-to-left, emoji sequences, empty everywhere; lists
// of 10 000 elements; every integer at the signed 64-bit extremes; series that are empty, all
// gaps or at the extremes; floating values at the edges of the double range. Every snapshot it
// makes is one a file can carry (v >= 1, seven day labels, valid UTF-8), so it encodes, decodes
// and compares equal.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "snapshot/records.h"

namespace korvel::hostile {

inline constexpr std::size_t kHugeText = 100000;  // code points
inline constexpr std::size_t kHugeList = 10000;   // elements

// What a text is made of.
enum class TextKind {
  empty,
  latin,        // words and spaces, numbered so no two texts are alike
  unbroken,     // one word without a break opportunity
  combining,    // combining marks only, no base character
  rightToLeft,  // Hebrew and Arabic words with Arabic digits
  emoji,        // ZWJ families, flags, skin tones, keycaps, variation selectors
  bidiControls, // mixed directions wrapped in embedding, override and isolate controls
  lineBreaks,   // LF, CR LF, CR, U+2028, U+2029 between short words
  controls,     // C0 controls (NUL included), DEL, noncharacters, BOM, tabs
};

// A text of `kind`, at least `codePoints` code points long (empty for TextKind::empty or 0);
// `salt` varies it so two fields seldom share a text.
std::string makeText(TextKind kind, std::size_t codePoints, std::uint64_t salt);

// The fixed extreme cases, then `random` mixes every extreme at random.
enum class Theme {
  empty,           // every text empty, every list empty, optionals absent or empty
  hugeTexts,       // every text 100 000 code points of one of the kinds, short lists
  combiningMarks,  // texts of combining marks only, around the text cap
  rightToLeft,     // right-to-left and mixed-direction texts
  emoji,           // emoji sequences of every sort
  int64Max,        // every integer INT64_MAX, every series full of it
  int64Min,        // every integer INT64_MIN (v excepted: it must be at least 1)
  int64Edges,      // integers picked from the edges of the range and around 0 and 100
  hugeLists,       // 10 000 runs, meters, lines, facts, rows and per-day entries
  nullSeries,      // every series element a gap, series of 0, 7 and 10 000 entries
  extremeDoubles,  // +-DBL_MAX, denormals, -0, DBL_MIN in every floating field
  random,          // a seeded mix of all of the above
};

std::string_view themeName(Theme theme);

struct HostileCase {
  WeekSnapshot snapshot;
  double now = 0;  // the entry date the widgets are drawn at, seconds since 1970
};

// The same theme and seed always give the same case.
HostileCase makeCase(Theme theme, std::uint64_t seed);

}  // namespace korvel::hostile
