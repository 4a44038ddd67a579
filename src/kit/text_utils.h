#pragma once
// Unicode operations the faces decide with: user-perceived character counts, locale-independent
// lower-casing and canonical composition.
#include <cstddef>
#include <string>
#include <string_view>

namespace korvel {

// Grapheme clusters (a flag, or e + combining acute, count once).
std::size_t graphemeCount(std::string_view utf8);
// The locale-independent Unicode lower-case mapping.
std::string lowercased(std::string_view utf8);
// Canonically composed form (NFC).
std::string nfc(std::string_view utf8);

}  // namespace korvel
