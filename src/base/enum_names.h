#pragma once
// The names of enums, from their one declaration (BOOST_DESCRIBE_ENUM beside the enum): JSON,
// the command line, file names and the manuals all spell an enumerator as it is declared. An
// enumerator that would be a C++ keyword carries a trailing '_' (`default_`), not part of its name.
#include <optional>
#include <string_view>

#include <boost/describe/enum.hpp>
#include <boost/describe/enumerators.hpp>
#include <boost/mp11/algorithm.hpp>

namespace korvel {

template <class E>
constexpr std::string_view enumName(E value) {
  std::string_view out;
  boost::mp11::mp_for_each<boost::describe::describe_enumerators<E>>([&](auto d) {
    if (d.value != value) return;
    out = d.name;
    if (out.ends_with('_')) out.remove_suffix(1);
  });
  return out;
}

template <class E>
constexpr std::optional<E> enumFromName(std::string_view name) {
  std::optional<E> out;
  boost::mp11::mp_for_each<boost::describe::describe_enumerators<E>>([&](auto d) {
    if (!out && enumName(d.value) == name) out = d.value;
  });
  return out;
}

}  // namespace korvel
