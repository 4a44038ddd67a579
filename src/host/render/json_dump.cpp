#include "host/render/json_dump.h"

#include <variant>

#include "base/enum_names.h"
#include "base/json_writer.h"

namespace korvel::host {

namespace {

// One op as one compact object: its kind, frame, colour (what paints), accent, then the fields
// of its kind.
struct OpWriter {
  json::Writer& w;
  Appearance appearance;

  // What every op starts with; a clip paints nothing, so it has no colour.
  json::Writer& begin(std::string_view kind, const ui::Rect& r, const ui::Paint* paint, bool accent) const {
    w.beginObject().member("op", kind).key("rect").numbers({r.x, r.y, r.width, r.height});
    if (paint) {
      const Rgba c = resolve(*paint, appearance);
      w.member("color", paint->color).member("opacity", paint->opacity).key("rgba").numbers({c.r, c.g, c.b, c.a});
    }
    return w.member("accent", accent);
  }
  void shape(const ui::ShapeGeometry& s) const {
    w.member("shape", enumName(s.kind));
    if (s.kind == ui::ShapeKind::roundedRect) {
      w.key("radii").numbers({s.radii[0], s.radii[1], s.radii[2], s.radii[3]});
      w.member("corners", enumName(s.corners));
    }
    if (s.kind == ui::ShapeKind::path) {
      w.key("points").beginArray();
      for (const ui::Point& p : s.points) w.numbers({p.x, p.y});
      w.endArray();
    }
  }

  void operator()(const ui::FillShape& o) const {
    begin("fill", o.rect, &o.paint, o.accent);
    shape(o.shape);
    w.endObject();
  }
  void operator()(const ui::StrokeShape& o) const {
    begin("stroke", o.rect, &o.paint, o.accent);
    shape(o.shape);
    const ui::StrokeStyle& s = o.stroke;
    w.member("lineWidth", s.lineWidth).key("dash").beginArray();
    for (const double d : s.dash) w.value(d);
    w.endArray().member("dashPhase", s.dashPhase);
    w.member("lineCap", enumName(s.lineCap)).member("lineJoin", enumName(s.lineJoin));
    w.member("miterLimit", s.miterLimit).endObject();
  }
  void operator()(const ui::DrawText& o) const {
    // A text's colour lives on its runs; the op reports the foreground it was placed in, or
    // without one the first run's.
    const ui::TextContent& t = o.text;
    begin("text", o.rect, t.runs.empty() || !o.paint.color.empty() ? &o.paint : &t.runs[0].color, o.accent);
    w.member("text", t.text).member("shown", t.shown).member("lines", t.lines);
    w.member("baseline", t.baseline).key("runs").beginArray();
    for (const ui::TextRunStyle& r : t.runs) {
      w.beginObject().member("text", r.text).member("size", r.size);
      w.member("weight", enumName(r.weight)).member("design", enumName(r.design));
      w.member("monospacedDigits", r.monospacedDigits).member("color", r.color.color).endObject();
    }
    w.endArray().endObject();
  }
  void operator()(const ui::DrawSymbol& o) const {
    begin("symbol", o.rect, &o.paint, o.accent);
    w.member("name", o.name).endObject();
  }
  void operator()(const ui::PushClip& o) const {
    begin("clip", o.rect, nullptr, o.accent);
    shape(o.shape);
    w.endObject();
  }
  void operator()(const ui::PopClip& o) const { begin("unclip", o.rect, nullptr, o.accent).endObject(); }
};

}  // namespace

std::string dumpJson(const DumpHeader& h, const ui::DisplayList& list) {
  std::string out;
  out.reserve(256 + list.ops.size() * 200);
  json::Writer w(out);
  w.beginObject().member("kind", h.kind).member("widget", h.widget).member("family", h.family);
  w.key("size").numbers({h.size.width, h.size.height});
  w.key("content").numbers({h.content.x, h.content.y, h.content.width, h.content.height});
  w.member("scale", h.scale).member("appearance", name(h.appearance));
  w.member("label", h.label).member("url", h.url);
  // One op per line, so that a diff of two dumps shows the ops that changed.
  w.key("ops").beginArray({.itemBreak = "\n", .closeBreak = "\n"});
  const OpWriter op{w, h.appearance};
  for (const ui::Op& o : list.ops) std::visit(op, o);
  w.endArray().endObject();
  out += '\n';
  return out;
}

}  // namespace korvel::host
