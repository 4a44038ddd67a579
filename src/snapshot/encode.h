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

#include "snapshot/json_write.h"
#include "snapshot/records.h"
#include "snapshot/record_traits.h"

namespace korvel::json {

template <class T>
void appendValue(std::string& out, const T& value);

template <class T>
void appendRecord(std::string& out, const T& record) {
  using Members = boost::describe::describe_members<T, boost::describe::mod_public>;
  out += '{';
  bool first = true;
  boost::mp11::mp_for_each<Members>([&](auto member) {
    const auto& field = record.*member.pointer;
    if constexpr (IsOptional<std::remove_cvref_t<decltype(field)>>::value) {
      if (!field) return;
    }
    if (!first) out += ',';
    first = false;
    appendString(out, member.name);
    out += ':';
    appendValue(out, field);
  });
  out += '}';
}

template <class T>
void appendValue(std::string& out, const T& value) {
  if constexpr (std::is_same_v<T, std::string>) {
    appendString(out, value);
  } else if constexpr (std::is_same_v<T, bool>) {
    out += value ? "true" : "false";
  } else if constexpr (std::is_same_v<T, std::int64_t> || std::is_same_v<T, double>) {
    appendNumber(out, value);
  } else if constexpr (IsOptional<T>::value) {
    if (value) {
      appendValue(out, *value);
    } else {
      out += "null";  // only reachable for gaps inside a series
    }
  } else if constexpr (boost::describe::has_describe_members<T>::value) {
    appendRecord(out, value);
  } else {
    out += '[';
    bool first = true;
    for (const auto& element : value) {
      if (!first) out += ',';
      first = false;
      appendValue(out, element);
    }
    out += ']';
  }
}

// The JSON form of one record, e.g. encode(WeekLine{...}).
template <class T>
std::string encode(const T& record) {
  std::string out;
  appendValue(out, record);
  return out;
}

}  // namespace korvel::json
