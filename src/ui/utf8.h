#pragma once
// UTF-8 helpers the toolkit needs before text reaches a text engine or a dump.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvel::ui {

// `s` with every invalid or overlong sequence (and surrogates, NUL) replaced by U+FFFD.
std::string validUtf8(std::string_view s);

// Line breaks in one spelling: CR LF, CR, U+2028 and U+2029 become LF.
std::string normalizeLineBreaks(std::string_view s);

// U+FDD0..U+FDEF and the last two code points of every plane: never meant for interchange, and
// refused by some consumers of text (Cairo's PDF metadata and text runs).
constexpr bool isNoncharacter(char32_t c) { return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE; }

// Decodes valid UTF-8 (as produced by validUtf8) into code points with their byte offsets.
struct CodePoint {
  char32_t value;
  std::size_t offset, length;
};
std::vector<CodePoint> decodeUtf8(std::string_view s);

}  // namespace korvel::ui
