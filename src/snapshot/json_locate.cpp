#include "snapshot/json_locate.h"

#include <charconv>
#include <cstdint>

namespace korvel::json {
namespace {

const Shape kAnyValue;

// Whether `quotedKey`, a key as written (quotes and escapes included), is `name`.
bool keyIs(std::string_view quotedKey, std::string_view name) {
  const std::string_view key = quotedKey.substr(1, quotedKey.size() - 2);
  if (key.find('\\') == std::string_view::npos) return key == name;
  std::string decoded;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (key[i] != '\\') {
      decoded += key[i];
    } else if (key[++i] != 'u') {
      const auto at = std::string_view("\"\\/bfnrt").find(key[i]);
      decoded += "\"\\/\b\f\n\r\t"[at];
    } else {
      unsigned unit = 0;
      std::from_chars(key.data() + i + 1, key.data() + i + 5, unit, 16);
      if (unit >= 0x80) return false;  // declared names are ASCII
      decoded += static_cast<char>(unit);
      i += 4;
    }
  }
  return decoded == name;
}

// Scans one JSON text. A value walked with a shape is checked strictly and, when there is an
// output, written to it; one walked without (an undeclared value) is only checked to be
// well-formed.
class Scanner {
 public:
  Scanner(std::string_view text, std::size_t maxDepth, const Shape& shape = kAnyValue,
          std::string* out = nullptr)
      : s_(text), maxDepth_(maxDepth), shape_(shape), out_(out) {}

  std::optional<SyntaxFault> run() {
    if (s_.starts_with("\xEF\xBB\xBF")) return fault(0, "byte-order mark at the start");
    skipSpace();
    if (pos_ == s_.size()) return fault(pos_, "no JSON value");
    if (!value(0, &shape_)) return fault_;
    skipSpace();
    if (pos_ != s_.size()) return fault(pos_, "content after the JSON value");
    return std::nullopt;
  }

 private:
  std::optional<SyntaxFault> fault(std::size_t at, std::string_view why) {
    fault_ = SyntaxFault{at, why};
    return fault_;
  }
  bool fail(std::size_t at, std::string_view why) {
    fault(at, why);
    return false;
  }

  bool atEnd() const { return pos_ >= s_.size(); }
  unsigned char peek() const { return static_cast<unsigned char>(s_[pos_]); }

  void skipSpace() {
    while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) {
      ++pos_;
    }
  }

  bool value(std::size_t depth, const Shape* shape) {
    if (atEnd()) return fail(pos_, "unexpected end of input");
    const std::size_t start = pos_;
    bool ok = false;
    switch (peek()) {
      case '{': return container(depth, '}', shape);
      case '[': return container(depth, ']', shape);
      case '"': ok = string(); break;
      case 't': ok = literal("true"); break;
      case 'f': ok = literal("false"); break;
      case 'n': ok = literal("null"); break;
      default:
        if (peek() != '-' && (peek() < '0' || peek() > '9')) return fail(pos_, "unexpected character");
        ok = number(shape != nullptr);
    }
    if (ok && out_ && shape) out_->append(s_.substr(start, pos_ - start));
    return ok;
  }

  // The shape of the value under `key` of a record: nothing when the record does not declare it.
  static const Shape* declared(const Shape& record, std::string_view key) {
    const Shape* found = nullptr;
    for (const auto& [name, shape] : record.keys) {
      if (keyIs(key, name)) found = shape;
    }
    return found;
  }

  bool container(std::size_t depth, char close, const Shape* shape) {
    if (depth + 1 > maxDepth_) return fail(pos_, "nesting too deep");
    const bool isObject = close == '}';
    const bool record = isObject && shape && shape->record;
    const Shape* inner = !shape ? nullptr : !isObject && shape->element ? shape->element : &kAnyValue;
    std::string* out = shape ? out_ : nullptr;
    if (out) *out += static_cast<char>(peek());
    ++pos_;
    skipSpace();
    const bool empty = !atEnd() && peek() == static_cast<unsigned char>(close);
    bool written = false;  // a member was written: the next one needs a comma
    while (!empty) {
      const Shape* child = inner;
      std::string_view key;
      if (isObject) {
        if (atEnd()) return fail(pos_, "unexpected end of input");
        if (peek() != '"') return fail(pos_, "expected a key");
        const std::size_t at = pos_;
        if (!string()) return false;
        key = s_.substr(at, pos_ - at);
        if (record) child = declared(*shape, key);
        skipSpace();
        if (atEnd() || peek() != ':') return fail(pos_, "expected ':'");
        ++pos_;
        skipSpace();
      }
      if (out && child) {
        if (written) *out += ',';
        if (isObject) (*out += key) += ':';
        written = true;
      }
      if (!value(depth + 1, child)) return false;
      skipSpace();
      if (atEnd()) return fail(pos_, "unexpected end of input");
      if (peek() == static_cast<unsigned char>(close)) break;
      if (peek() != ',') return fail(pos_, isObject ? "expected ',' or '}'" : "expected ',' or ']'");
      ++pos_;
      skipSpace();
    }
    ++pos_;
    if (out) *out += close;
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

  // `strict`: within the range the decoder reads (finite as a double, integers within 64 bits).
  bool number(bool strict) {
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
    const char* first = s_.data() + start;
    const char* last = s_.data() + pos_;
    if (!strict) return true;
    if (integral) {
      std::uint64_t magnitude = 0;
      const auto r = std::from_chars(first + (negative ? 1 : 0), last, magnitude);
      const bool fits = r.ec == std::errc{} &&
                        (!negative || magnitude <= std::uint64_t{1} << 63);
      if (!fits) return fail(start, "number out of range");
    } else {
      double parsed = 0;
      const auto r = std::from_chars(first, last, parsed);
      // Underflow reads as zero and is fine; only overflow to infinity is refused.
      if (r.ec == std::errc::result_out_of_range && !negativeExponent) {
        return fail(start, "number out of range");
      }
    }
    return true;
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
  const Shape& shape_;
  std::string* out_;
  std::size_t pos_ = 0;
  SyntaxFault fault_;
};

}  // namespace

std::optional<SyntaxFault> locateSyntaxFault(std::string_view text, std::size_t maxDepth) {
  return Scanner(text, maxDepth).run();
}

std::optional<SyntaxFault> pruneUndeclared(std::string_view text, const Shape& shape,
                                           std::size_t maxDepth, std::string& out) {
  return Scanner(text, maxDepth, shape, &out).run();
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
