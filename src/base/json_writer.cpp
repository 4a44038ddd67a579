#include "base/json_writer.h"

#include <charconv>
#include <cmath>

namespace korvel::json {

void appendNumber(std::string& out, double value) {
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

void appendNumber(std::string& out, std::int64_t value) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, res.ptr);
}

void appendString(std::string& out, std::string_view s) {
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

void Writer::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (open_.empty()) return;
  Open& o = open_.back();
  if (o.any) out_ += o.layout.comma;
  o.any = true;
  out_ += o.layout.itemBreak;
}

Writer& Writer::open(char bracket, const Layout& layout) {
  beforeValue();
  out_ += bracket;
  open_.push_back(Open{layout});
  return *this;
}

Writer& Writer::close(char bracket) {
  if (open_.back().any) out_ += open_.back().layout.closeBreak;
  out_ += bracket;
  open_.pop_back();
  return *this;
}

Writer& Writer::beginObject(const Layout& layout) { return open('{', layout); }
Writer& Writer::endObject() { return close('}'); }
Writer& Writer::beginArray(const Layout& layout) { return open('[', layout); }
Writer& Writer::endArray() { return close(']'); }

Writer& Writer::key(std::string_view name) {
  beforeValue();
  appendString(out_, name);
  out_ += open_.back().layout.colon;
  afterKey_ = true;
  return *this;
}

Writer& Writer::value(std::string_view s) { beforeValue(); appendString(out_, s); return *this; }
Writer& Writer::value(double number) { beforeValue(); appendNumber(out_, number); return *this; }
Writer& Writer::value(std::int64_t number) { beforeValue(); appendNumber(out_, number); return *this; }
Writer& Writer::value(bool b) { beforeValue(); out_ += b ? "true" : "false"; return *this; }
Writer& Writer::null() { beforeValue(); out_ += "null"; return *this; }

Writer& Writer::numbers(std::initializer_list<double> values) {
  beginArray();
  for (const double v : values) value(v);
  return endArray();
}

}  // namespace korvel::json
