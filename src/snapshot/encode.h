#pragma once
// JSON encoding of any snapshot record, derived from its described field list: keys in
// declaration order, optionals without a value left out, compact form.
#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include <boost/describe/members.hpp>
#include <boost/mp11/algorithm.hpp>

#include "base/json_writer.h"
#include "snapshot/records.h"
#include "snapshot/record_traits.h"

namespace korvel::json {

template <class T>
void writeValue(Writer& w, const T& value);

template <class T>
void writeRecord(Writer& w, const T& record) {
  using Members = boost::describe::describe_members<T, boost::describe::mod_public>;
  w.beginObject();
  boost::mp11::mp_for_each<Members>([&](auto member) {
    const auto& field = record.*member.pointer;
    if constexpr (IsOptional<std::remove_cvref_t<decltype(field)>>::value) {
      if (!field) return;
    }
    w.key(member.name);
    writeValue(w, field);
  });
  w.endObject();
}

template <class T>
void writeValue(Writer& w, const T& value) {
  if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, bool> ||
                std::is_same_v<T, std::int64_t> || std::is_same_v<T, double>) {
    w.value(value);
  } else if constexpr (IsOptional<T>::value) {
    if (value) {
      writeValue(w, *value);
    } else {
      w.null();  // only reachable for gaps inside a series
    }
  } else if constexpr (boost::describe::has_describe_members<T>::value) {
    writeRecord(w, value);
  } else {
    w.beginArray();
    for (const auto& element : value) writeValue(w, element);
    w.endArray();
  }
}

// The JSON form of one record, e.g. encode(WeekLine{...}).
template <class T>
std::string encode(const T& record) {
  std::string out;
  Writer w(out);
  writeValue(w, record);
  return out;
}

}  // namespace korvel::json
