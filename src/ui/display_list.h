#pragma once
// The seam between layout and every backend: a flat list of plain drawing operations in widget
// coordinates (points, origin top-left), colours kept as names plus opacity.
#include <string>
#include <vector>

#include "ui/geometry.h"

namespace korvel::ui {

enum class OpKind { fill, stroke, text, symbol, clip, unclip };

// One run of a laid-out text, fully resolved (inherited style filled in, size after scaling).
struct TextRunStyle {
  std::string text;
  double size = 13;
  Weight weight = Weight::regular;
  Design design = Design::standard;
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

struct Op {
  OpKind op = OpKind::fill;
  Rect rect;          // the element's final frame after offsets (shape frame, text frame)
  Paint paint;        // shapes and symbols; texts carry colours per run
  bool accent = false;
  ShapeGeometry shape;   // fill, stroke, clip
  StrokeStyle stroke;    // stroke only
  TextContent text;      // text only
  std::string symbol;    // symbol only
  bool operator==(const Op&) const = default;
};

struct DisplayList {
  std::vector<Op> ops;
};

}  // namespace korvel::ui
