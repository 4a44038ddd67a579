#include "faces/face_kind.h"

namespace korvel {

std::string_view rawValue(WeekFaceKind kind) {
  switch (kind) {
    case WeekFaceKind::autonomy: return "autonomy";
    case WeekFaceKind::outcomes: return "outcomes";
    case WeekFaceKind::receipt: return "receipt";
    case WeekFaceKind::rhythm: return "rhythm";
    case WeekFaceKind::volume: return "volume";
    case WeekFaceKind::limits: return "limits";
    case WeekFaceKind::now: return "now";
    case WeekFaceKind::week: return "week";
  }
  return "week";  // unreachable: every case is handled above
}

std::optional<WeekFaceKind> weekFaceKindFromRaw(std::string_view raw) {
  for (const WeekFaceKind kind : allWeekFaceKinds) {
    if (rawValue(kind) == raw) return kind;
  }
  return std::nullopt;
}

std::string_view name(WeekFaceSize size) {
  switch (size) {
    case WeekFaceSize::small: return "small";
    case WeekFaceSize::medium: return "medium";
    case WeekFaceSize::large: return "large";
  }
  return "large";
}

}  // namespace korvel
