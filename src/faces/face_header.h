#pragma once
// The one-line header every face starts with: the logo mark, the face's title and, at the right,
// either the period and the generation time or an amber warning saying how old the data is.
// WeekFaceView fills it in; the faces only place it.
#include <optional>
#include <string>

#include "faces/time_format.h"
#include "ui/view.h"

namespace korvel {

struct FaceHeader {
  std::string title;
  std::string trailing;                   // shown while fresh; empty draws nothing
  std::optional<double> time;             // generation time; absent on small widgets
  std::optional<double> staleSince;       // the generation time, only when the data is stale
  std::optional<std::string> staleWords;  // why the data may be old; absent on small widgets
  double asOf = 0;                        // the drawing's now, reference for the age
  // The user's locale and zone for `time` and the age. The header draws itself from its fields
  // alone, so the formatting context travels with them rather than being looked up.
  TimeFormat format;
};

ui::View header(const FaceHeader& h);

}  // namespace korvel
