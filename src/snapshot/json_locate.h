#pragma once
// Finds where a JSON text goes wrong. The fast parser only says that a document is invalid;
// this slower scan runs only after such a refusal, to point the user at a line and column.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// The values a reader declares: an object's keys and each one's shape (`record`), an array's
// elements (`element`), or, with neither, any value.
struct Shape {
  bool record = false;
  std::vector<std::pair<std::string_view, const Shape*>> keys;
  const Shape* element = nullptr;
};

// Checks `text` as locateSyntaxFault does and appends to `out` the same document, compact and
// without the pairs whose keys `shape` does not declare (a reader would ignore them anyway).
// Those values are only checked to be well-formed JSON: a number there may be of any size.
// Keeps a huge undeclared value from costing more than the scan.
std::optional<SyntaxFault> pruneUndeclared(std::string_view text, const Shape& shape,
                                           std::size_t maxDepth, std::string& out);

// 1-based line and column (in characters) of a byte offset.
struct TextPosition {
  std::size_t line = 1;
  std::size_t column = 1;

  bool operator==(const TextPosition&) const = default;
};
TextPosition positionOf(std::string_view text, std::size_t offset);

}  // namespace korvel::json
