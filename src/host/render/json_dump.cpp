#include "host/render/json_dump.h"

#include <cstdint>
#include <string_view>

#include "snapshot/json_write.h"

namespace korvel::host {

namespace {

using json::appendNumber;
using json::appendString;

std::string_view opName(ui::OpKind k) {
  switch (k) {
    case ui::OpKind::fill: return "fill";
    case ui::OpKind::stroke: return "stroke";
    case ui::OpKind::text: return "text";
    case ui::OpKind::symbol: return "symbol";
    case ui::OpKind::clip: return "clip";
    case ui::OpKind::unclip: return "unclip";
  }
  return "fill";
}

std::string_view shapeName(ui::ShapeKind k) {
  switch (k) {
    case ui::ShapeKind::rect: return "rect";
    case ui::ShapeKind::roundedRect: return "roundedRect";
    case ui::ShapeKind::capsule: return "capsule";
    case ui::ShapeKind::circle: return "circle";
    case ui::ShapeKind::path: return "path";
  }
  return "rect";
}

std::string_view weightName(ui::Weight w) {
  switch (w) {
    case ui::Weight::regular: return "regular";
    case ui::Weight::medium: return "medium";
    case ui::Weight::semibold: return "semibold";
    case ui::Weight::bold: return "bold";
  }
  return "regular";
}

std::string_view designName(ui::Design d) {
  switch (d) {
    case ui::Design::standard: return "default";
    case ui::Design::rounded: return "rounded";
    case ui::Design::monospaced: return "monospaced";
  }
  return "default";
}

std::string_view capName(ui::LineCap c) {
  switch (c) {
    case ui::LineCap::butt: return "butt";
    case ui::LineCap::round: return "round";
    case ui::LineCap::square: return "square";
  }
  return "butt";
}

std::string_view joinName(ui::LineJoin j) {
  switch (j) {
    case ui::LineJoin::miter: return "miter";
    case ui::LineJoin::round: return "round";
    case ui::LineJoin::bevel: return "bevel";
  }
  return "miter";
}

// Writes `"key":` with the leading comma every field after the first needs.
void key(std::string& out, std::string_view name) {
  out += ',';
  appendString(out, name);
  out += ':';
}

void numbers(std::string& out, std::initializer_list<double> values) {
  out += '[';
  bool first = true;
  for (const double v : values) {
    if (!first) out += ',';
    first = false;
    appendNumber(out, v);
  }
  out += ']';
}

void rect(std::string& out, const ui::Rect& r) { numbers(out, {r.x, r.y, r.width, r.height}); }

void paint(std::string& out, const ui::Paint& p, Appearance appearance) {
  key(out, "color");
  appendString(out, p.color);
  key(out, "opacity");
  appendNumber(out, p.opacity);
  const Rgba c = resolve(p, appearance);
  key(out, "rgba");
  numbers(out, {c.r, c.g, c.b, c.a});
}

void shape(std::string& out, const ui::ShapeGeometry& s) {
  key(out, "shape");
  appendString(out, shapeName(s.kind));
  if (s.kind == ui::ShapeKind::roundedRect) {
    key(out, "radii");
    numbers(out, {s.radii[0], s.radii[1], s.radii[2], s.radii[3]});
    key(out, "corners");
    appendString(out, s.corners == ui::CornerStyle::continuous ? "continuous" : "circular");
  }
  if (s.kind == ui::ShapeKind::path) {
    key(out, "points");
    out += '[';
    for (std::size_t i = 0; i < s.points.size(); ++i) {
      if (i > 0) out += ',';
      numbers(out, {s.points[i].x, s.points[i].y});
    }
    out += ']';
  }
}

void stroke(std::string& out, const ui::StrokeStyle& s) {
  key(out, "lineWidth");
  appendNumber(out, s.lineWidth);
  key(out, "dash");
  out += '[';
  for (std::size_t i = 0; i < s.dash.size(); ++i) {
    if (i > 0) out += ',';
    appendNumber(out, s.dash[i]);
  }
  out += ']';
  key(out, "dashPhase");
  appendNumber(out, s.dashPhase);
  key(out, "lineCap");
  appendString(out, capName(s.lineCap));
  key(out, "lineJoin");
  appendString(out, joinName(s.lineJoin));
  key(out, "miterLimit");
  appendNumber(out, s.miterLimit);
}

void text(std::string& out, const ui::TextContent& t) {
  key(out, "text");
  appendString(out, t.text);
  key(out, "shown");
  appendString(out, t.shown);
  key(out, "lines");
  appendNumber(out, static_cast<std::int64_t>(t.lines));
  key(out, "baseline");
  appendNumber(out, t.baseline);
  key(out, "runs");
  out += '[';
  for (std::size_t i = 0; i < t.runs.size(); ++i) {
    const ui::TextRunStyle& r = t.runs[i];
    if (i > 0) out += ',';
    out += "{\"text\":";
    appendString(out, r.text);
    key(out, "size");
    appendNumber(out, r.size);
    key(out, "weight");
    appendString(out, weightName(r.weight));
    key(out, "design");
    appendString(out, designName(r.design));
    key(out, "monospacedDigits");
    out += r.monospacedDigits ? "true" : "false";
    key(out, "color");
    appendString(out, r.color.color);
    out += '}';
  }
  out += ']';
}

void op(std::string& out, const ui::Op& o, Appearance appearance) {
  out += "{\"op\":";
  appendString(out, opName(o.op));
  key(out, "rect");
  rect(out, o.rect);
  switch (o.op) {
    case ui::OpKind::fill:
    case ui::OpKind::stroke:
    case ui::OpKind::symbol:
      paint(out, o.paint, appearance);
      break;
    case ui::OpKind::text:
      // A text's colour lives on its runs; the op reports the first run's (the whole text's
      // colour unless runs differ), falling back to the op's own paint.
      paint(out, o.text.runs.empty() || !o.paint.color.empty() ? o.paint : o.text.runs[0].color,
            appearance);
      break;
    case ui::OpKind::clip:
    case ui::OpKind::unclip:
      break;  // a clip paints nothing, so it has no colour
  }
  key(out, "accent");
  out += o.accent ? "true" : "false";
  if (o.op == ui::OpKind::fill || o.op == ui::OpKind::stroke || o.op == ui::OpKind::clip) {
    shape(out, o.shape);
  }
  if (o.op == ui::OpKind::stroke) stroke(out, o.stroke);
  if (o.op == ui::OpKind::symbol) {
    key(out, "name");
    appendString(out, o.symbol);
  }
  if (o.op == ui::OpKind::text) text(out, o.text);
  out += '}';
}

}  // namespace

std::string dumpJson(const DumpHeader& h, const ui::DisplayList& list) {
  std::string out;
  out.reserve(256 + list.ops.size() * 200);
  out += "{\"kind\":";
  appendString(out, h.kind);
  key(out, "widget");
  appendString(out, h.widget);
  key(out, "family");
  appendString(out, h.family);
  key(out, "size");
  numbers(out, {h.size.width, h.size.height});
  key(out, "content");
  rect(out, h.content);
  key(out, "scale");
  appendNumber(out, h.scale);
  key(out, "appearance");
  appendString(out, name(h.appearance));
  key(out, "label");
  appendString(out, h.label);
  key(out, "url");
  appendString(out, h.url);
  key(out, "ops");
  out += '[';
  for (std::size_t i = 0; i < list.ops.size(); ++i) {
    out += i == 0 ? "\n" : ",\n";
    op(out, list.ops[i], h.appearance);
  }
  out += list.ops.empty() ? "]}\n" : "\n]}\n";
  return out;
}

}  // namespace korvel::host
