#pragma once
// The three small enumerations every drawing layer shares: which face a widget shows, how big
// it is drawn, and where it is placed.
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

#include <boost/describe/enum.hpp>

namespace korvel {

// Declaration order matters: allCases lists the kinds in this order.
enum class WeekFaceKind { autonomy, outcomes, receipt, rhythm, volume, limits, now, week };
BOOST_DESCRIBE_ENUM(WeekFaceKind, autonomy, outcomes, receipt, rhythm, volume, limits, now, week)

enum class WeekFaceSize { small, medium, large };
BOOST_DESCRIBE_ENUM(WeekFaceSize, small, medium, large)

enum class WeekPlace { mac, phone };

inline constexpr std::array<WeekFaceKind, 8> allWeekFaceKinds{
    WeekFaceKind::autonomy, WeekFaceKind::outcomes, WeekFaceKind::receipt,
    WeekFaceKind::rhythm,   WeekFaceKind::volume,   WeekFaceKind::limits,
    WeekFaceKind::now,      WeekFaceKind::week};

// The kind's text identity: its case name, also the last segment of its deep link.
std::string_view rawValue(WeekFaceKind kind);

// An exact, case-sensitive match of a raw value, else nothing.
std::optional<WeekFaceKind> weekFaceKindFromRaw(std::string_view raw);

std::string_view name(WeekFaceSize size);

}  // namespace korvel

// Kinds hash by their raw value, the same identity they have everywhere else.
template <>
struct std::hash<korvel::WeekFaceKind> {
  std::size_t operator()(korvel::WeekFaceKind kind) const noexcept {
    return std::hash<std::string_view>{}(korvel::rawValue(kind));
  }
};
