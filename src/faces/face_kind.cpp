#include "faces/face_kind.h"

#include "base/enum_names.h"

namespace korvel {

std::string_view rawValue(WeekFaceKind kind) { return enumName(kind); }

std::optional<WeekFaceKind> weekFaceKindFromRaw(std::string_view raw) { return enumFromName<WeekFaceKind>(raw); }

std::string_view name(WeekFaceSize size) { return enumName(size); }

}  // namespace korvel
