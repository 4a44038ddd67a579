#pragma once
// Small helpers for the JSON this program prints: numbers in shortest round-trip decimal form
// (never exponent notation) and strings with only the escaping JSON requires.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvel::json {

inline void appendNumber(std::string& out, double value) {
  if (!std::isfinite(value)) {  // JSON has no NaN or infinity; the caller clamps before this
    out += "null";
    return;
  }
  if (value == 0) value = 0;  // no "-0"
  char buf[400];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  out.append(buf, res.ptr);
  // Written without a fraction, a value beyond the 64-bit integers would read back as an
  // integer out of range; the fraction keeps it a floating value (2^63 and up, 1e308 too).
  if (std::fabs(value) >= 0x1p63 && std::string_view(buf, res.ptr).find('.') == std::string_view::npos) {
    out += ".0";
  }
}

inline void appendNumber(std::string& out, std::int64_t value) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, res.ptr);
}

inline void appendString(std::string& out, std::string_view s) {
  out += '"';
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (u < 0x20) {
          static constexpr char hex[] = "0123456789abcdef";
          out += "\\u00";
          out += hex[u >> 4];
          out += hex[u & 15];
        } else {
          out += c;
        }
    }
  }
  out += '"';
}

}  // namespace korvel::json
