#pragma once
// The one JSON writer of the program: the snapshot encoder, the display-list dump, the catalog,
// the timeline and the player's index all write through it, so numbers and strings read the
// same everywhere. Numbers come in shortest round-trip decimal form (never exponent notation),
// strings with only the escaping JSON requires. Each container has a layout: what goes before
// each item (a line break and indentation, or nothing) and how keys and items are separated.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace korvel::json {

void appendNumber(std::string& out, double value);
void appendNumber(std::string& out, std::int64_t value);
void appendString(std::string& out, std::string_view s);

struct Layout {
  std::string_view itemBreak;   // before every item ("\n  ": one per line, indented)
  std::string_view closeBreak;  // before the closing bracket of a container that has items
  std::string_view comma = ",";
  std::string_view colon = ":";
};
inline constexpr Layout kCompact{};

class Writer {
 public:
  explicit Writer(std::string& out) : out_(out) {}

  Writer& beginObject(const Layout& layout = kCompact);
  Writer& endObject();
  Writer& beginArray(const Layout& layout = kCompact);
  Writer& endArray();

  // The next member's key; its value follows.
  Writer& key(std::string_view name);

  Writer& value(std::string_view s);
  Writer& value(const char* s) { return value(std::string_view(s)); }
  Writer& value(const std::string& s) { return value(std::string_view(s)); }
  Writer& value(double number);
  Writer& value(std::int64_t number);
  Writer& value(int number) { return value(static_cast<std::int64_t>(number)); }
  Writer& value(bool b);
  Writer& null();

  // key(name).value(v) in one call.
  template <class T>
  Writer& member(std::string_view name, const T& v) {
    return key(name).value(v);
  }
  // A compact array of numbers.
  Writer& numbers(std::initializer_list<double> values);

 private:
  struct Open {
    Layout layout;
    bool any = false;
  };
  void beforeValue();
  Writer& open(char bracket, const Layout& layout);
  Writer& close(char bracket);

  std::string& out_;
  std::vector<Open> open_;
  bool afterKey_ = false;
};

}  // namespace korvel::json
