#include "snapshot/decode.h"
#include "snapshot/record_traits.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include <boost/describe/members.hpp>
#include <boost/mp11/algorithm.hpp>
#include <simdjson.h>

#include "snapshot/encode.h"
#include "snapshot/json_locate.h"

namespace korvel {
namespace {

namespace dom = simdjson::dom;
static_assert(jsonPadding >= simdjson::SIMDJSON_PADDING);

template <class T>
using Members = boost::describe::describe_members<T, boost::describe::mod_public>;

// Why and where decoding stopped. The path is collected only on the way back from a failure,
// innermost segment first, so that a document that decodes pays nothing for it.
class Context {
 public:
  bool fail(std::string message) {
    message_ = std::move(message);
    reversePath_.clear();
    return false;
  }
  void addKey(const char* key) { reversePath_.push_back({key, 0}); }
  void addIndex(std::size_t index) { reversePath_.push_back({nullptr, index}); }

  Error takeError() const {
    std::string path;
    for (auto s = reversePath_.rbegin(); s != reversePath_.rend(); ++s) {
      if (s->key) {
        if (!path.empty()) path += '.';
        path += s->key;
      } else {
        path += '[';
        path += std::to_string(s->index);
        path += ']';
      }
    }
    return {ErrorKind::invalid, std::move(path), message_};
  }

 private:
  struct Segment {
    const char* key;
    std::size_t index;
  };
  std::vector<Segment> reversePath_;
  std::string message_;
};

std::string found(dom::element e) {
  switch (e.type()) {
    case dom::element_type::ARRAY: return "an array";
    case dom::element_type::OBJECT: return "an object";
    case dom::element_type::INT64: return "an integer";
    case dom::element_type::UINT64: return "an integer beyond the signed 64-bit range";
    case dom::element_type::DOUBLE: return "a number with a fraction or exponent";
    case dom::element_type::STRING: return "a string";
    case dom::element_type::BOOL: return e.get_bool().value_unsafe() ? "true" : "false";
    case dom::element_type::NULL_VALUE: return "null";
  }
  return "an unknown value";
}

bool expected(Context& ctx, dom::element e, std::string_view what) {
  return ctx.fail("expected " + std::string(what) + ", found " + found(e));
}

template <class T>
bool decodeValue(dom::element e, T& out, Context& ctx);

template <template <class...> class List, class... Member>
constexpr std::array<std::string_view, sizeof...(Member)> namesOf(List<Member...>) {
  return {std::string_view(Member::name)...};
}

template <class T>
constexpr auto memberNames = namesOf(Members<T>{});

// What the decoder reads of a T, for the scan that blanks everything else.
template <class T>
const json::Shape* shapeOf() {
  if constexpr (IsOptional<T>::value) {
    return shapeOf<typename T::value_type>();
  } else if constexpr (IsVector<T>::value) {
    static const json::Shape shape{{}, shapeOf<typename T::value_type>()};
    return &shape;
  } else if constexpr (boost::describe::has_describe_members<T>::value) {
    static const json::Shape shape = [] {
      json::Shape s;
      boost::mp11::mp_for_each<Members<T>>([&](auto member) {
        using Field = std::remove_cvref_t<decltype(std::declval<T&>().*member.pointer)>;
        s.keys.emplace_back(member.name, shapeOf<Field>());
      });
      return s;
    }();
    return &shape;
  } else {
    return nullptr;  // a scalar
  }
}

template <class T>
bool decodeRecord(dom::element e, T& out, Context& ctx) {
  dom::object object;
  if (e.get_object().get(object)) return expected(ctx, e, "an object");

  constexpr auto& names = memberNames<T>;
  constexpr std::size_t count = names.size();
  std::array<dom::element, count> slots{};
  std::array<bool, count> present{};
  // Walk every pair so that a repeated key ends with its last value.
  for (dom::key_value_pair pair : object) {
    for (std::size_t i = 0; i < count; ++i) {
      if (pair.key == names[i]) {
        slots[i] = pair.value;
        present[i] = true;
        break;
      }
    }
  }

  bool ok = true;
  boost::mp11::mp_for_each<boost::mp11::mp_iota_c<count>>([&](auto i) {
    if (!ok) return;
    using Member = boost::mp11::mp_at_c<Members<T>, i>;
    auto& field = out.*Member::pointer;
    using Field = std::remove_cvref_t<decltype(field)>;
    if constexpr (IsOptional<Field>::value) {
      if (!present[i] || slots[i].is_null()) {
        field.reset();
      } else {
        ok = decodeValue(slots[i], field.emplace(), ctx);
      }
    } else if (!present[i]) {
      ok = ctx.fail("required key is missing");
    } else {
      ok = decodeValue(slots[i], field, ctx);
    }
    if (!ok) ctx.addKey(Member::name);
  });
  return ok;
}

template <class T>
bool decodeValue(dom::element e, T& out, Context& ctx) {
  if constexpr (std::is_same_v<T, std::string>) {
    std::string_view s;
    if (e.get_string().get(s)) return expected(ctx, e, "a string");
    out = std::string(s);  // constructing is much cheaper than assign into an empty string
    return true;
  } else if constexpr (std::is_same_v<T, bool>) {
    if (e.get_bool().get(out)) return expected(ctx, e, "true or false");
    return true;
  } else if constexpr (std::is_same_v<T, std::int64_t>) {
    // Only numbers written as integers are INT64; 1.0 and 1e2 arrive as DOUBLE.
    if (e.type() != dom::element_type::INT64) return expected(ctx, e, "an integer");
    out = e.get_int64().value_unsafe();
    return true;
  } else if constexpr (std::is_same_v<T, double>) {
    switch (e.type()) {
      case dom::element_type::INT64:
        out = static_cast<double>(e.get_int64().value_unsafe());
        return true;
      case dom::element_type::UINT64:
        out = static_cast<double>(e.get_uint64().value_unsafe());
        return true;
      case dom::element_type::DOUBLE:  // the parser already refuses numbers beyond double
        out = e.get_double().value_unsafe();
        return true;
      default:
        return expected(ctx, e, "a number");
    }
  } else if constexpr (IsOptional<T>::value) {
    // A gap inside a series.
    if (e.is_null()) {
      out.reset();
      return true;
    }
    return decodeValue(e, out.emplace(), ctx);
  } else if constexpr (IsVector<T>::value) {
    dom::array array;
    if (e.get_array().get(array)) return expected(ctx, e, "an array");
    out.clear();
    out.reserve(array.size());
    std::size_t index = 0;
    for (dom::element element : array) {
      if (!decodeValue(element, out.emplace_back(), ctx)) {
        ctx.addIndex(index);
        return false;
      }
      ++index;
    }
    return true;
  } else {
    static_assert(boost::describe::has_describe_members<T>::value, "undeclared record");
    return decodeRecord(e, out, ctx);
  }
}

Error syntaxError(std::string_view text, std::size_t offset, std::string_view reason) {
  const auto at = json::positionOf(text, offset);
  return {ErrorKind::malformed,
          "line " + std::to_string(at.line) + " column " + std::to_string(at.column),
          "invalid JSON (" + std::string(reason) + ")"};
}

Error invalidJson(std::string_view text, simdjson::error_code code) {
  if (const auto fault = json::locateSyntaxFault(text, maxJsonDepth)) {
    return syntaxError(text, fault->offset, fault->reason);
  }
  std::string reason = simdjson::error_message(code);
  if (!reason.empty()) reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
  return {ErrorKind::malformed, "", "invalid JSON: " + reason};
}

Error outOfMemory() { return {ErrorKind::unreadable, "", "out of memory"}; }

std::optional<Error> acceptanceFault(const WeekSnapshot& snapshot) {
  if (snapshot.v < minimumFormatVersion) {
    return Error{ErrorKind::refused, "v",
                 "format version " + std::to_string(snapshot.v) + " is below " +
                     std::to_string(minimumFormatVersion)};
  }
  if (snapshot.days.size() != daysPerSnapshot) {
    return Error{ErrorKind::refused, "days",
                 "expected " + std::to_string(daysPerSnapshot) + " labels, found " +
                     std::to_string(snapshot.days.size())};
  }
  return std::nullopt;
}

// Decodes straight into `out`, which saves moving the whole tree on the way to its owner.
bool decodeInto(char* data, std::size_t size, WeekSnapshot& out, Error& error) {
  if (auto fault = json::blankUndeclared(data, size, *shapeOf<WeekSnapshot>(), maxJsonDepth)) {
    error = fault->keyPath.empty()
                ? syntaxError(std::string_view(data, size), fault->offset, fault->reason)
                : Error{ErrorKind::invalid, std::move(fault->keyPath), std::move(fault->reason)};
    return false;
  }
  dom::parser parser;
  if (const auto code = parser.allocate(size, maxJsonDepth)) {
    error = {ErrorKind::malformed, "",
             "invalid JSON: " + std::string(simdjson::error_message(code))};
    return false;
  }
  dom::element root;
  if (const auto code = parser.parse(data, size, false).get(root)) {
    error = invalidJson(std::string_view(data, size), code);
    return false;
  }
  if (root.type() != dom::element_type::OBJECT) {
    error = {ErrorKind::invalid, "", "expected an object at the top level, found " + found(root)};
    return false;
  }
  Context ctx;
  if (!decodeRecord(root, out, ctx)) {
    error = ctx.takeError();
    return false;
  }
  if (auto fault = acceptanceFault(out)) {
    error = std::move(*fault);
    return false;
  }
  return true;
}

}  // namespace

bool decodeSnapshotInto(char* data, std::size_t size, WeekSnapshot& out, Error& error) noexcept {
  try {
    return decodeInto(data, size, out, error);
  } catch (...) {  // only allocation can throw here
    error.where.clear();
    error.message.clear();
    return false;
  }
}

DecodeResult decodeSnapshotPadded(char* data, std::size_t size) noexcept {
  try {
    DecodeResult result{std::in_place_type<WeekSnapshot>};
    Error error;
    if (!decodeSnapshotInto(data, size, std::get<WeekSnapshot>(result), error)) {
      if (error.message.empty()) error = outOfMemory();
      result = std::move(error);
    }
    return result;
  } catch (...) {
    return outOfMemory();
  }
}

DecodeResult decodeSnapshotDetailed(std::string_view bytes) noexcept {
  try {
    // The parser reads a little past the end; give it a padded copy.
    const auto buffer = std::make_unique_for_overwrite<char[]>(bytes.size() + jsonPadding);
    std::copy(bytes.begin(), bytes.end(), buffer.get());
    std::fill_n(buffer.get() + bytes.size(), jsonPadding, '\0');
    return decodeSnapshotPadded(buffer.get(), bytes.size());
  } catch (...) {
    return outOfMemory();
  }
}

std::optional<WeekSnapshot> decodeSnapshot(std::string_view bytes) noexcept {
  auto result = decodeSnapshotDetailed(bytes);
  if (auto* snapshot = std::get_if<WeekSnapshot>(&result)) return std::move(*snapshot);
  return std::nullopt;
}

std::string encodeSnapshot(const WeekSnapshot& snapshot) { return json::encode(snapshot); }

}  // namespace korvel
