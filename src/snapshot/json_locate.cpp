#include "snapshot/json_locate.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace korvel::json {
namespace {

class Scanner {
 public:
  Scanner(std::string_view text, std::size_t maxDepth) : s_(text), maxDepth_(maxDepth) {}
  // Blanks undeclared values in `writable`, the same bytes as `text`.
  Scanner(char* writable, std::size_t size, const Shape& shape, std::size_t maxDepth)
      : s_(writable, size), maxDepth_(maxDepth), out_(writable), root_(&shape) {}

  std::optional<SyntaxFault> run() {
    if (s_.starts_with("\xEF\xBB\xBF")) return fault(0, "byte-order mark at the start");
    skipSpace();
    if (pos_ == s_.size()) return fault(pos_, "no JSON value");
    if (!value(0, root_)) return fault_;
    skipSpace();
    if (pos_ != s_.size()) return fault(pos_, "content after the JSON value");
    return std::nullopt;
  }

 private:
  std::optional<SyntaxFault> fault(std::size_t at, std::string why) {
    fault_ = SyntaxFault{at, std::move(why)};
    return fault_;
  }
  bool fail(std::size_t at, std::string why) {
    fault(at, std::move(why));
    return false;
  }

  bool atEnd() const { return pos_ >= s_.size(); }
  unsigned char peek() const { return static_cast<unsigned char>(s_[pos_]); }

  void skipSpace() {
    while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) {
      ++pos_;
    }
  }

  bool value(std::size_t depth, const Shape* shape = nullptr) {
    if (atEnd()) return fail(pos_, "unexpected end of input");
    switch (peek()) {
      case '{': return container(depth, '}', shape);
      case '[': return container(depth, ']', shape);
      case '"': return string();
      case 't': return literal("true");
      case 'f': return literal("false");
      case 'n': return literal("null");
      default:
        if (peek() == '-' || (peek() >= '0' && peek() <= '9')) return number();
        return fail(pos_, "unexpected character");
    }
  }

  bool container(std::size_t depth, char close, const Shape* shape) {
    if (depth + 1 > maxDepth_) return fail(pos_, "nesting deeper than " + std::to_string(maxDepth_) + " levels");
    const bool isObject = close == '}';
    const bool record = isObject && shape && !shape->keys.empty();
    std::size_t index = 0;
    ++pos_;
    skipSpace();
    if (!atEnd() && peek() == static_cast<unsigned char>(close)) {
      ++pos_;
      return true;
    }
    for (;;) {
      const Shape* inner = isObject || !shape ? nullptr : shape->elements;
      std::string_view key;
      if (isObject && !keyAndColon(&key)) return false;
      if (record && key.find('\\') == std::string_view::npos) {  // escaped keys are read as declared
        const auto it = std::find_if(shape->keys.begin(), shape->keys.end(), [&](const auto& k) { return k.first == key; });
        if (it == shape->keys.end()) {
          if (!skipUndeclared()) return false;
        } else if (!value(depth + 1, it->second)) {
          return pathed(std::string(key));
        }
      } else if (!value(depth + 1, inner)) {
        return pathed(isObject ? std::string(key) : "[" + std::to_string(index) + "]");
      }
      ++index;
      skipSpace();
      if (atEnd()) return fail(pos_, "unexpected end of input");
      if (peek() == static_cast<unsigned char>(close)) {
        ++pos_;
        return true;
      }
      if (peek() != ',') return fail(pos_, isObject ? "expected ',' or '}'" : "expected ',' or ']'");
      ++pos_;
      skipSpace();
    }
  }

  // Puts a key or an "[index]" in front of the key path of a fault told by one, on the way back up.
  bool pathed(const std::string& segment) {
    if (keyed_) {
      const bool joined = fault_.keyPath.empty() || fault_.keyPath[0] == '[';
      fault_.keyPath = segment + (joined ? "" : ".") + fault_.keyPath;
    }
    return false;
  }

  // An undeclared value, checked without recursion (so at any depth) and with numbers of any
  // size, then overwritten.
  bool skipUndeclared() {
    const std::size_t start = pos_;
    std::vector<char> open;  // the closing bracket of every container not yet closed
    for (;;) {
      if (atEnd()) return fail(pos_, "unexpected end of input");
      if (peek() == '{' || peek() == '[') {
        const char close = peek() == '{' ? '}' : ']';
        ++pos_;
        skipSpace();
        if (!atEnd() && peek() == static_cast<unsigned char>(close)) {
          ++pos_;
        } else {
          open.push_back(close);
          if (close == '}' && !keyAndColon()) return false;
          continue;
        }
      } else if (peek() == '"' ? !string() : (peek() == '-' || (peek() >= '0' && peek() <= '9')) ? !number(false) : !value(0)) {
        return false;
      }
      for (;;) {  // after a value: close what ends here, or go on after a comma
        if (open.empty()) {
          std::memset(out_ + start, ' ', pos_ - start);
          out_[start] = '0';
          return true;
        }
        skipSpace();
        if (atEnd()) return fail(pos_, "unexpected end of input");
        if (peek() == static_cast<unsigned char>(open.back())) {
          ++pos_;
          open.pop_back();
          continue;
        }
        if (peek() != ',') return fail(pos_, open.back() == '}' ? "expected ',' or '}'" : "expected ',' or ']'");
        ++pos_;
        skipSpace();
        if (open.back() == '}' && !keyAndColon()) return false;
        break;
      }
    }
  }
  // A key as written (escapes and all) and the colon after it.
  bool keyAndColon(std::string_view* key = nullptr) {
    if (atEnd()) return fail(pos_, "unexpected end of input");
    if (peek() != '"') return fail(pos_, "expected a key");
    const std::size_t start = pos_ + 1;
    if (!string()) return false;
    if (key) *key = s_.substr(start, pos_ - 1 - start);
    skipSpace();
    if (atEnd() || peek() != ':') return fail(pos_, "expected ':'");
    ++pos_;
    skipSpace();
    return true;
  }

  bool literal(std::string_view word) {
    if (s_.substr(pos_, word.size()) != word) return fail(pos_, "unexpected character");
    pos_ += word.size();
    return true;
  }

  bool digits() {
    const std::size_t start = pos_;
    while (!atEnd() && peek() >= '0' && peek() <= '9') ++pos_;
    return pos_ > start;
  }

  bool number(bool inRange = true) {
    const std::size_t start = pos_;
    const bool negative = peek() == '-';
    if (negative) ++pos_;
    if (atEnd()) return fail(pos_, "invalid number");
    if (peek() == '0') {
      ++pos_;
    } else if (!digits()) {
      return fail(pos_, "invalid number");
    }
    bool integral = true;
    bool negativeExponent = false;
    if (!atEnd() && peek() == '.') {
      integral = false;
      ++pos_;
      if (!digits()) return fail(pos_, "invalid number");
    }
    if (!atEnd() && (peek() == 'e' || peek() == 'E')) {
      integral = false;
      ++pos_;
      if (!atEnd() && (peek() == '+' || peek() == '-')) {
        negativeExponent = peek() == '-';
        ++pos_;
      }
      if (!digits()) return fail(pos_, "invalid number");
    }
    if (!atEnd() && peek() >= '0' && peek() <= '9') return fail(pos_, "invalid number");
    if (!inRange) return true;
    const char* first = s_.data() + start;
    const char* last = s_.data() + pos_;
    if (integral) {
      std::uint64_t magnitude = 0;
      const auto r = std::from_chars(first + (negative ? 1 : 0), last, magnitude);
      const bool fits = r.ec == std::errc{} &&
                        (!negative || magnitude <= std::uint64_t{1} << 63);
      if (!fits) return outOfRange(start);
    } else {
      double parsed = 0;
      const auto r = std::from_chars(first, last, parsed);
      // Underflow reads as zero and is fine; only overflow to infinity is refused.
      if (r.ec == std::errc::result_out_of_range && !negativeExponent) return outOfRange(start);
    }
    return true;
  }

  // Where a reader looks, the fault is told by its key path; the caller adds the segments.
  bool outOfRange(std::size_t at) {
    keyed_ = root_ != nullptr;
    return fail(at, "number out of range");
  }

  // Length of the valid UTF-8 sequence at pos_, or 0.
  std::size_t utf8Sequence() const {
    const auto byte = [&](std::size_t i) -> unsigned {
      return pos_ + i < s_.size() ? static_cast<unsigned char>(s_[pos_ + i]) : 0u;
    };
    const auto cont = [&](std::size_t i, unsigned lo = 0x80, unsigned hi = 0xBF) {
      const unsigned b = byte(i);
      return b >= lo && b <= hi;
    };
    const unsigned b0 = byte(0);
    if (b0 >= 0xC2 && b0 <= 0xDF) return cont(1) ? 2 : 0;
    if (b0 == 0xE0) return cont(1, 0xA0) && cont(2) ? 3 : 0;
    if (b0 == 0xED) return cont(1, 0x80, 0x9F) && cont(2) ? 3 : 0;
    if (b0 >= 0xE1 && b0 <= 0xEF) return cont(1) && cont(2) ? 3 : 0;
    if (b0 == 0xF0) return cont(1, 0x90) && cont(2) && cont(3) ? 4 : 0;
    if (b0 >= 0xF1 && b0 <= 0xF3) return cont(1) && cont(2) && cont(3) ? 4 : 0;
    if (b0 == 0xF4) return cont(1, 0x80, 0x8F) && cont(2) && cont(3) ? 4 : 0;
    return 0;
  }

  // Four hex digits after "\u" at pos_; advances past them.
  std::optional<unsigned> hex4() {
    if (pos_ + 4 > s_.size()) return std::nullopt;
    unsigned v = 0;
    const auto r = std::from_chars(s_.data() + pos_, s_.data() + pos_ + 4, v, 16);
    if (r.ec != std::errc{} || r.ptr != s_.data() + pos_ + 4) return std::nullopt;
    pos_ += 4;
    return v;
  }

  bool string() {
    ++pos_;  // opening quote
    for (;;) {
      if (atEnd()) return fail(pos_, "unterminated string");
      const unsigned char c = peek();
      if (c == '"') {
        ++pos_;
        return true;
      }
      if (c < 0x20) return fail(pos_, "unescaped control character in a string");
      if (c == '\\') {
        const std::size_t escape = pos_;
        ++pos_;
        if (atEnd()) return fail(pos_, "unterminated string");
        const unsigned char e = peek();
        ++pos_;
        if (e == 'u') {
          const auto unit = hex4();
          if (!unit) return fail(escape, "invalid escape");
          if (*unit >= 0xDC00 && *unit <= 0xDFFF) return fail(escape, "unpaired surrogate escape");
          if (*unit >= 0xD800 && *unit <= 0xDBFF) {
            if (s_.substr(pos_, 2) != "\\u") return fail(escape, "unpaired surrogate escape");
            pos_ += 2;
            const auto low = hex4();
            if (!low || *low < 0xDC00 || *low > 0xDFFF) {
              return fail(escape, "unpaired surrogate escape");
            }
          }
        } else if (std::string_view("\"\\/bfnrt").find(static_cast<char>(e)) ==
                   std::string_view::npos) {
          return fail(escape, "invalid escape");
        }
        continue;
      }
      if (c < 0x80) {
        ++pos_;
        continue;
      }
      const std::size_t n = utf8Sequence();
      if (n == 0) return fail(pos_, "invalid UTF-8");
      pos_ += n;
    }
  }

  std::string_view s_;
  std::size_t maxDepth_;
  char* out_ = nullptr;
  const Shape* root_ = nullptr;
  std::size_t pos_ = 0;
  SyntaxFault fault_;
  bool keyed_ = false;  // the fault is told by its key path
};

}  // namespace

std::optional<SyntaxFault> blankUndeclared(char* text, std::size_t size, const Shape& shape, std::size_t maxDepth) {
  return Scanner(text, size, shape, maxDepth).run();
}

std::optional<SyntaxFault> locateSyntaxFault(std::string_view text, std::size_t maxDepth) {
  return Scanner(text, maxDepth).run();
}

TextPosition positionOf(std::string_view text, std::size_t offset) {
  TextPosition p;
  if (offset > text.size()) offset = text.size();
  for (std::size_t i = 0; i < offset; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      ++p.line;
      p.column = 1;
    } else if ((c & 0xC0) != 0x80) {  // continuation bytes belong to the character before
      ++p.column;
    }
  }
  return p;
}

}  // namespace korvel::json
