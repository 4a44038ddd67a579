#pragma once
// What a described record's field is: the codec and the record walkers branch on these.
#include <optional>
#include <type_traits>
#include <vector>

namespace korvel {

template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};

template <class T>
struct IsVector : std::false_type {};
template <class T>
struct IsVector<std::vector<T>> : std::true_type {};

}  // namespace korvel
