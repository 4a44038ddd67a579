#pragma once
// The seam between layout and every backend: a flat list of drawing operations in widget
// coordinates (points, origin top-left), colours kept as names plus opacity. Each kind of
// operation is its own plain struct holding only what it needs; a backend is a visitor
// (std::visit with one overload per kind), so adding a kind breaks every backend that misses it.
#include <string>
#include <variant>
#include <vector>

#include "ui/geometry.h"

namespace korvel::ui {

// One run of a laid-out text, fully resolved (inherited style filled in, size after scaling).
struct TextRunStyle {
  std::string text;
  double size = 13;
  Weight weight = Weight::regular;
  Design design = Design::default_;
  bool monospacedDigits = false;
  Paint color;
  bool operator==(const TextRunStyle&) const = default;
};

struct TextContent {
  std::string text;   // the full string (all runs joined; of a run longer than the cap, its start)
  std::string shown;  // the visible lines joined with '\n', ellipsis included when cut
  int lines = 0;      // lines drawn
  double baseline = 0;  // y of the first baseline, widget coordinates
  std::vector<TextRunStyle> runs;
  // What the backend needs to lay the same text out again exactly as it was measured.
  double wrapWidth = kInfinity;  // width the text was laid out in (infinity: one line per paragraph)
  int lineLimit = 0;             // 0: no limit
  bool operator==(const TextContent&) const = default;
};

// Every op has its element's final frame after offsets (`rect`) and whether it sits in an
// accented part of the widget (`accent`).

struct FillShape {
  Rect rect;
  Paint paint;
  bool accent = false;
  ShapeGeometry shape;
  bool operator==(const FillShape&) const = default;
};

struct StrokeShape {
  Rect rect;
  Paint paint;
  bool accent = false;
  ShapeGeometry shape;
  StrokeStyle stroke;
  bool operator==(const StrokeShape&) const = default;
};

struct DrawText {
  Rect rect;
  Paint paint;  // the foreground the text was placed in; each run carries its own colour
  bool accent = false;
  TextContent text;
  bool operator==(const DrawText&) const = default;
};

// A named piece of vector art in one colour; what a name looks like is the backend's business.
struct DrawSymbol {
  Rect rect;
  Paint paint;
  bool accent = false;
  std::string name;
  bool operator==(const DrawSymbol&) const = default;
};

// Clips everything up to the matching PopClip to the shape.
struct PushClip {
  Rect rect;
  bool accent = false;
  ShapeGeometry shape;
  bool operator==(const PushClip&) const = default;
};

struct PopClip {
  Rect rect;  // the frame of the clip it ends
  bool accent = false;
  bool operator==(const PopClip&) const = default;
};

using Op = std::variant<FillShape, StrokeShape, DrawText, DrawSymbol, PushClip, PopClip>;

struct DisplayList {
  std::vector<Op> ops;
};

// A visitor from lambdas: std::visit(Overloaded{[](const FillShape&) {...}, ...}, op).
template <class... Fs>
struct Overloaded : Fs... {
  using Fs::operator()...;
};
template <class... Fs>
Overloaded(Fs...) -> Overloaded<Fs...>;

inline const Rect& frameOf(const Op& op) {
  return std::visit([](const auto& o) -> const Rect& { return o.rect; }, op);
}

}  // namespace korvel::ui
