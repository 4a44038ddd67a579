#pragma once
// Finds where a JSON text goes wrong. The fast parser only says that a document is invalid;
// this slower scan runs only after such a refusal, to point the user at a line and column.
#include <cstddef>
#include <optional>
#include <string_view>

namespace korvel::json {

struct SyntaxFault {
  std::size_t offset = 0;  // byte offset of the first offending byte
  std::string_view reason;

  bool operator==(const SyntaxFault&) const = default;
};

// The first fault of `text` under the rules the decoder applies (RFC 8259, UTF-8, no unpaired
// surrogates, no byte-order mark, numbers finite as doubles, integers within 64 bits, nesting
// up to maxDepth), or nothing when the scan finds none.
std::optional<SyntaxFault> locateSyntaxFault(std::string_view text, std::size_t maxDepth);

// 1-based line and column (in characters) of a byte offset.
struct TextPosition {
  std::size_t line = 1;
  std::size_t column = 1;

  bool operator==(const TextPosition&) const = default;
};
TextPosition positionOf(std::string_view text, std::size_t offset);

}  // namespace korvel::json
