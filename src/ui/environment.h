#pragma once
// The values a view inherits from its ancestors while it is laid out: text style, colour,
// line limit, scaling, the accent flag and the enclosing stack's axis.
#include <cstddef>
#include <optional>

#include "ui/geometry.h"

namespace korvel::ui {

struct Environment {
  double fontSize = 13;
  Weight weight = Weight::regular;
  Design design = Design::default_;
  bool monospacedDigits = false;
  Paint foreground{"ink", 1.0};
  std::optional<int> lineLimit;
  // Per-text minimum scale factor (1 = never shrink).
  double minimumScaleFactor = 1;
  // A shared factor applied to every text and symbol inside a scale group.
  double textScale = 1;
  bool accent = false;
  double opacity = 1;
  // Set by a stack for its direct content: a spacer grows along this axis only.
  std::optional<Axis> stackAxis;

  bool operator==(const Environment&) const = default;
};

std::size_t hashEnvironment(const Environment& env);

}  // namespace korvel::ui
