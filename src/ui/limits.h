#pragma once
// Every limit the toolkit puts on what it is given, in one place. Views accept any number; these
// keep layout finite and bounded in work, and every coordinate a display list hands a backend
// inside what Cairo can draw (24.8 fixed point) at every scale it is asked for.
#include <cstddef>

#include "ui/display_list.h"

namespace korvel::ui {

// Lengths and coordinates, in points: far beyond any widget (the largest is 364 x 382), yet
// 8 x this is still inside Cairo's range.
inline constexpr double kMaxLength = 1e5;
inline constexpr double kMaxLineWidth = 1e4;
inline constexpr double kMaxMiterLimit = 1e4;
inline constexpr std::size_t kMaxDashes = 64;

// Texts: sizes in points; the most UTF-8 bytes of one text handed to the measurer (a text node
// cuts what goes beyond, at a code point boundary, and appends an ellipsis); the most lines any
// text shows, line limit or not (200 lines of a 9-point text are over 2 000 points tall, and a
// text probed narrower than a glyph would otherwise be reshaped for thousands of lines).
inline constexpr double kMinFontSize = 0.1;
inline constexpr double kMaxFontSize = 1000;
inline constexpr std::size_t kMaxTextBytes = 4096;
inline constexpr std::size_t kMaxLines = 200;

// Points of one path shape.
inline constexpr std::size_t kMaxPathPoints = 100000;

// Finite, non-negative, at most kMaxLength; NaN becomes `fallback`.
double clampLength(double v, double fallback = 0);
// Finite coordinate within +-kMaxLength; NaN becomes 0.
double clampCoordinate(double v);
// A font size within [kMinFontSize, kMaxFontSize]; NaN becomes the smallest.
double clampFontSize(double size);

// Every number of an operation within these limits: the layout applies it to what it emits,
// so a backend draws what it is given as it is.
void clampOp(Op& op);

}  // namespace korvel::ui
