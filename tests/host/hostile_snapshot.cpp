#include "host/hostile_snapshot.h"

#include <array>
#include <cfloat>
#include <limits>
#include <optional>
#include <string_view>
#include <type_traits>
#include <vector>

#include <boost/describe/members.hpp>
#include <boost/mp11/algorithm.hpp>

#include "snapshot/decode.h"
#include "snapshot/generation_time.h"
#include "snapshot/record_traits.h"

namespace korvel::hostile {
namespace {

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

// splitmix64: the same numbers on every platform and standard library.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(next() % n); }
  bool percent(unsigned p) { return next() % 100 < p; }
  template <class T>
  const T& pick(const std::vector<T>& options) { return options[below(options.size())]; }

 private:
  std::uint64_t state_;
};

std::size_t codePointCount(std::string_view s) {
  std::size_t n = 0;
  for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// The pieces each kind of text is made of.
const std::vector<std::string>& units(TextKind kind) {
  static const std::vector<std::string> latin{"lorem ", "ipsum ", "dolor ", "sit ", "amet, ",
                                              "week ", "runs ", "0.42 "};
  static const std::vector<std::string> unbroken{"abcdefghij", "KLMNOPQRST", "0123456789"};
  static const std::vector<std::string> rtl{"\u05E9\u05DC\u05D5\u05DD ", "\u05E2\u05D5\u05DC\u05DD ",
                                            "\u0645\u0631\u062D\u0628\u0627 ",
                                            "\u0628\u0627\u0644\u0639\u0627\u0644\u0645 ",
                                            "\u0661\u0662\u0663 ", "\u05E9\u05F4\u05D7 "};
  static const std::vector<std::string> emoji{
      "\U0001F469\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466",  // family
      "\U0001F3F3\uFE0F\u200D\U0001F308",                            // rainbow flag
      "\U0001F1EF\U0001F1F5",                                        // flag JP
      "\U0001F1FA\U0001F1F3",                                        // flag UN
      "\U0001F44D\U0001F3FD",                                        // thumbs up, skin tone
      "\u2764\uFE0F",                                                // heart, emoji style
      "1\uFE0F\u20E3",                                               // keycap
      "\U0001F9D1\U0001F3FF\u200D\U0001F680",                        // astronaut
      "\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F",  // tag flag
      "\U0001F441\uFE0F\u200D\U0001F5E8\uFE0F",                      // eye in speech bubble
  };
  static const std::vector<std::string> bidi{"\u202Eabc def\u202C ", "\u2067\u05E9\u05DC\u05D5\u05DD\u2069 ",
                                             "\u202B\u0645\u0631\u062D\u0628\u0627 12\u202C ",
                                             "\u200Fx\u200E ", "\u061C\u0661 ", "\u202D\u05D0\u05D1\u202C ",
                                             "\u2066abc\u2069 "};
  static const std::vector<std::string> breaks{"a\n", "b\r\n", "c\r", "d\u2028", "e\u2029", "\n\n",
                                               "f g\n"};
  static const std::vector<std::string> controls{
      std::string(1, '\0'), "\x01", "\t", "\x7F", "\xEF\xBF\xBF", "\xF4\x8F\xBF\xBF",
      "\xEF\xBB\xBF",       "\x1B[31m", "\u00AD", "\u200B", "\x1F", "\uFFFD"};
  static const std::vector<std::string> none{""};
  switch (kind) {
    case TextKind::empty: return none;
    case TextKind::latin: return latin;
    case TextKind::unbroken: return unbroken;
    case TextKind::combining: return none;  // built mark by mark
    case TextKind::rightToLeft: return rtl;
    case TextKind::emoji: return emoji;
    case TextKind::bidiControls: return bidi;
    case TextKind::lineBreaks: return breaks;
    case TextKind::controls: return controls;
  }
  return none;
}

void appendCodePoint(std::string& out, char32_t c) {
  if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The limits a policy keeps the whole snapshot within, so a case stays a few megabytes.
constexpr std::size_t kTextBudget = 8u << 20;  // bytes of text
constexpr std::size_t kElementBudget = 400000;  // list elements

// What a theme draws its values from.
struct Policy {
  Rng rng;
  std::vector<TextKind> kinds;
  std::vector<std::size_t> textLengths;    // code points
  std::vector<std::int64_t> integers;
  std::vector<double> reals;
  std::vector<std::size_t> listLengths;    // outer lists
  std::vector<std::size_t> innerLengths;   // lists inside lists
  unsigned presentPercent = 50;            // optional fields with a value
  unsigned gapPercent = 20;                // series elements that are null
  unsigned emptyPercent = 0;               // faces drawing their `empty` text instead of data
  unsigned offPercent = 0;                 // snapshots of a companion that is off
  std::uint64_t salt = 0;
  std::size_t textBytes = 0;
  std::size_t elements = 0;

  explicit Policy(std::uint64_t seed) : rng(seed) {}

  std::string text() {
    const TextKind kind = rng.pick(kinds);
    std::size_t length = rng.pick(textLengths);
    if (textBytes > kTextBudget) length = std::min<std::size_t>(length, 8);
    std::string t = makeText(kind, length, ++salt);
    textBytes += t.size();
    return t;
  }
  std::size_t length(int depth) {
    std::size_t n = rng.pick(depth == 0 ? listLengths : innerLengths);
    if (elements + n > kElementBudget) n = std::min<std::size_t>(n, 3);
    elements += n;
    return n;
  }
};

// Fills any snapshot record from its described field list. `depth` counts the lists around the
// value; an optional directly inside a list is a series gap. `field` names the record field the
// value belongs to: `off` and the faces' `empty` texts hide the data, so they have rates of
// their own.
template <class T>
void fill(T& value, Policy& p, int depth, bool inList, std::string_view field);

template <class T>
void fill(T& value, Policy& p, int depth, bool inList, std::string_view field) {
  if constexpr (std::is_same_v<T, std::string>) {
    value = p.text();
  } else if constexpr (std::is_same_v<T, bool>) {
    value = p.rng.percent(field == "off" ? p.offPercent : 50);
  } else if constexpr (std::is_same_v<T, std::int64_t>) {
    value = p.rng.pick(p.integers);
  } else if constexpr (std::is_same_v<T, double>) {
    value = p.rng.pick(p.reals);
  } else if constexpr (IsOptional<T>::value) {
    const bool present = inList             ? !p.rng.percent(p.gapPercent)
                         : field == "empty" ? p.rng.percent(p.emptyPercent)
                                            : p.rng.percent(p.presentPercent);
    if (present) {
      typename T::value_type inner{};
      fill(inner, p, depth, false, field);
      value = std::move(inner);
    } else {
      value.reset();
    }
  } else if constexpr (IsVector<T>::value) {
    const std::size_t n = p.length(depth);
    value.clear();
    value.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
      typename T::value_type element{};
      fill(element, p, depth + 1, true, field);
      value.push_back(std::move(element));
    }
  } else {
    static_assert(boost::describe::has_describe_members<T>::value);
    using Members = boost::describe::describe_members<T, boost::describe::mod_public>;
    boost::mp11::mp_for_each<Members>(
        [&](auto member) { fill(value.*member.pointer, p, depth, false, member.name); });
  }
}

const std::vector<TextKind> kAllKinds{TextKind::empty,       TextKind::latin,
                                      TextKind::unbroken,    TextKind::combining,
                                      TextKind::rightToLeft, TextKind::emoji,
                                      TextKind::bidiControls, TextKind::lineBreaks,
                                      TextKind::controls};
const std::vector<std::int64_t> kEdgeIntegers{kMin, kMin + 1, -101, -1, 0, 1, 3, 6, 7, 99, 100,
                                              101, 1000000, kMax - 1, kMax};
const std::vector<double> kEdgeReals{DBL_MAX,
                                     -DBL_MAX,
                                     1e308,
                                     -1e300,
                                     DBL_MIN,
                                     -DBL_MIN,
                                     std::numeric_limits<double>::denorm_min(),
                                     -std::numeric_limits<double>::denorm_min(),
                                     -0.0,
                                     0.0,
                                     1e-300,
                                     0.5,
                                     42.25,
                                     9007199254740993.0,
                                     static_cast<double>(kMax),
                                     static_cast<double>(kMin)};

Policy policyFor(Theme theme, std::uint64_t seed) {
  Policy p(seed * 0x2545F4914F6CDD1Dull + static_cast<std::uint64_t>(theme));
  // Sane defaults the themes override.
  p.kinds = {TextKind::latin};
  p.textLengths = {0, 1, 5, 20};
  p.integers = {0, 1, 2, 5, 12, 40, 100};
  p.reals = {0.0, 1.5, 12.0, 250.75};
  p.listLengths = {0, 1, 3, 7};
  p.innerLengths = {2, 3, 24};
  switch (theme) {
    case Theme::empty:
      p.kinds = {TextKind::empty};
      p.textLengths = {0};
      p.listLengths = {0};
      p.innerLengths = {0};
      p.emptyPercent = 50;
      break;
    case Theme::hugeTexts:
      p.kinds = {TextKind::latin,       TextKind::unbroken, TextKind::combining,
                 TextKind::rightToLeft, TextKind::emoji,    TextKind::bidiControls};
      p.textLengths = {kHugeText, kHugeText, kHugeText, 4097, 300, 0};
      p.listLengths = {1, 2};
      p.presentPercent = 70;
      p.emptyPercent = 30;
      break;
    case Theme::combiningMarks:
      p.kinds = {TextKind::combining};
      p.textLengths = {1, 3, 64, 2047, 4097};
      break;
    case Theme::rightToLeft:
      p.kinds = {TextKind::rightToLeft, TextKind::bidiControls};
      p.textLengths = {1, 6, 40, 400, 5000};
      break;
    case Theme::emoji:
      p.kinds = {TextKind::emoji};
      p.textLengths = {1, 2, 9, 60, 3000};
      break;
    case Theme::int64Max:
      p.integers = {kMax};
      p.listLengths = {1, 7};
      p.innerLengths = {3, 24};
      p.gapPercent = 0;
      p.presentPercent = 100;
      break;
    case Theme::int64Min:
      p.integers = {kMin};
      p.listLengths = {1, 7};
      p.innerLengths = {3, 24};
      p.gapPercent = 0;
      p.presentPercent = 100;
      break;
    case Theme::int64Edges:
      p.integers = kEdgeIntegers;
      p.listLengths = {1, 7, 8, 25};
      p.innerLengths = {1, 2, 3, 4, 24, 25};
      p.gapPercent = 10;
      p.presentPercent = 80;
      break;
    case Theme::hugeLists:
      p.kinds = {TextKind::latin, TextKind::empty};
      p.textLengths = {1, 3, 12};
      p.integers = kEdgeIntegers;
      p.listLengths = {kHugeList};
      p.innerLengths = {2, 3, 24};
      p.presentPercent = 30;
      break;
    case Theme::nullSeries:
      p.listLengths = {0, 7, kHugeList};
      p.innerLengths = {0, 3};
      p.gapPercent = 100;
      p.presentPercent = 0;
      break;
    case Theme::extremeDoubles:
      p.reals = kEdgeReals;
      p.listLengths = {7, 8, kHugeList};
      p.gapPercent = 5;
      p.presentPercent = 0;
      break;
    case Theme::random:
      p.kinds = kAllKinds;
      // One text in fifty is a huge one; the rest straddle the text cap or stay short.
      p.textLengths = {0, 0, 1, 2, 3, 7, 12, 30, 80, 300, 1365, 2048, 4095, 4097, 5000,
                       0, 1, 4, 9, 16, 25, 40, 64, 100, 200, 0, 2, 5, 11, 17,
                       0, 1, 4, 9, 16, 25, 40, 64, 100, 200, 0, 2, 5, 11, 17,
                       3, 6, 8, 10, kHugeText};
      p.integers = kEdgeIntegers;
      p.reals = kEdgeReals;
      p.listLengths = {0, 0, 1, 2, 3, 6, 7, 8, 12, 30, 0, 1, 2, 3, 4, 5, 7, 7, 9, 10,
                       0, 1, 2, 3, 4, 5, 7, 7, 9, kHugeList};
      p.innerLengths = {0, 1, 2, 3, 3, 4, 23, 24, 25, 100};
      p.emptyPercent = 25;
      p.offPercent = 15;
      break;
  }
  return p;
}

}  // namespace

std::string makeText(TextKind kind, std::size_t codePoints, std::uint64_t salt) {
  std::string out;
  if (kind == TextKind::empty || codePoints == 0) return out;
  if (kind == TextKind::combining) {
    // U+0300...U+036F, the combining diacritical marks, and U+20D0...U+20F0 for symbols.
    out.reserve(codePoints * 3);
    for (std::size_t i = 0; i < codePoints; ++i) {
      const std::uint64_t k = salt + i * 7;
      appendCodePoint(out, k % 5 == 4 ? static_cast<char32_t>(0x20D0 + k % 0x21)
                                      : static_cast<char32_t>(0x300 + k % 0x70));
    }
    return out;
  }
  const auto& pieces = units(kind);
  if (kind == TextKind::latin) out = "#" + std::to_string(salt) + " ";
  if (kind == TextKind::unbroken) out = "W" + std::to_string(salt);
  std::size_t count = codePointCount(out);
  for (std::size_t i = salt % pieces.size(); count < codePoints; ++i) {
    const std::string& piece = pieces[i % pieces.size()];
    out += piece;
    count += codePointCount(piece);
  }
  return out;
}

std::string_view themeName(Theme theme) {
  switch (theme) {
    case Theme::empty: return "empty";
    case Theme::hugeTexts: return "hugeTexts";
    case Theme::combiningMarks: return "combiningMarks";
    case Theme::rightToLeft: return "rightToLeft";
    case Theme::emoji: return "emoji";
    case Theme::int64Max: return "int64Max";
    case Theme::int64Min: return "int64Min";
    case Theme::int64Edges: return "int64Edges";
    case Theme::hugeLists: return "hugeLists";
    case Theme::nullSeries: return "nullSeries";
    case Theme::extremeDoubles: return "extremeDoubles";
    case Theme::random: return "random";
  }
  return "random";
}

HostileCase makeCase(Theme theme, std::uint64_t seed) {
  Policy p = policyFor(theme, seed);
  HostileCase c;
  WeekSnapshot& s = c.snapshot;
  fill(s, p, 0, false, {});
  // What every accepted file has: a format version of at least 1 and seven day labels.
  if (s.v < minimumFormatVersion) s.v = theme == Theme::int64Min ? 1 : kMax;
  if (s.days.size() > daysPerSnapshot) s.days.resize(daysPerSnapshot);
  while (s.days.size() < daysPerSnapshot) s.days.push_back(p.text());
  // Half the cases are drawn while the snapshot is fresh, the rest stale or far from it.
  const double generated = generationTime(s);
  const std::array<double, 6> nows{generated + 60,  generated + 60,  generated + 4 * 86400.0,
                                   0,               -1e18,           1e18};
  c.now = nows[p.rng.below(nows.size())];
  return c;
}

}  // namespace korvel::hostile
