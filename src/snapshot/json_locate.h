#pragma once
// Scans a JSON text under the decoder's rules: before every decode, to blank what no record
// reads (blankUndeclared), and after a refusal of the fast parser, which only says that a
// document is invalid, to point the user at a line and column (locateSyntaxFault).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvel::json {

struct SyntaxFault {
  std::size_t offset = 0;  // byte offset of the first offending byte
  std::string reason;
  std::string keyPath;  // for a number out of range where a reader expects a value: its key path

  bool operator==(const SyntaxFault&) const = default;
};

// What a reader takes from one place of a document: the keys of a record and what each holds,
// or the elements of an array. Anything else (a scalar) has no shape of its own.
struct Shape {
  std::vector<std::pair<std::string_view, const Shape*>> keys;  // a record
  const Shape* elements = nullptr;                              // an array
};

// Checks `text` under the reader's rules and overwrites the value of every key the record
// `shape` does not declare, at any level, with spaces (and one 0 to keep the document valid), so
// that a parser building the whole document never sees it. An undeclared value must still be
// well-formed JSON, but may hold numbers of any size and nest to any depth: it is skipped
// without recursion. A number out of range where the reader looks is a fault with its key path;
// nesting deeper than maxDepth there is a fault too.
std::optional<SyntaxFault> blankUndeclared(char* text, std::size_t size, const Shape& shape, std::size_t maxDepth);

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
