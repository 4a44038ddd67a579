// A text of styled runs: measured for a width (unset = ideal), cut to its line limit or to
// the height offered with a tail ellipsis, shrunk down to its minimum scale factor first.
#include <algorithm>
#include <cmath>
#include <string_view>

#include "ui/layout_context.h"
#include "ui/nodes.h"
#include "ui/scale_search.h"
#include "ui/utf8.h"

namespace korvel::ui {

namespace {

// Only the start of a runaway text can be shown, so only its start is cleaned up for every
// measurement: enough raw bytes that more than kMaxTextBytes remain even when every character
// is a three-byte line separator that becomes one byte.
constexpr std::size_t kMaxRawBytes = 3 * kMaxTextBytes + 8;

// The start of a run's text, valid UTF-8 with line breaks in one spelling: whole when short,
// else long enough to be cut at kMaxTextBytes. A prefix just over the cap settles almost every
// text; one that shrinks in cleaning needs the longer one.
std::string cleanedStart(const std::string& raw) {
  constexpr std::size_t kQuick = kMaxTextBytes + 8;
  if (raw.size() > kQuick) {
    std::string t = normalizeLineBreaks(validUtf8(std::string_view(raw).substr(0, kQuick)));
    if (t.size() > kMaxTextBytes) return t;
  }
  return normalizeLineBreaks(validUtf8(std::string_view(raw).substr(0, kMaxRawBytes)));
}

TextRequest request(const TextNode& n, const Environment& e, const Proposal& p, double scale) {
  TextRequest r;
  r.runs.reserve(n.runs.size());
  for (const auto& run : n.runs) {
    TextRunStyle s;
    s.text = cleanedStart(run.text);
    s.size = clampFontSize(clampFontSize(run.size.value_or(e.fontSize)) * e.textScale * scale);
    s.weight = run.weight.value_or(e.weight);
    s.design = run.design.value_or(e.design);
    s.monospacedDigits = run.monospacedDigits.value_or(e.monospacedDigits);
    s.color = run.color.value_or(e.foreground);
    r.runs.push_back(std::move(s));
  }
  // No widget shows this much; longer texts are cut (visibly, with an ellipsis) so a runaway
  // string costs bounded work.
  std::size_t total = 0;
  for (std::size_t i = 0; i < r.runs.size(); ++i) {
    std::string& t = r.runs[i].text;
    if (total + t.size() > kMaxTextBytes) {
      std::size_t keep = kMaxTextBytes - total;
      while (keep > 0 && (static_cast<unsigned char>(t[keep]) & 0xC0) == 0x80) --keep;
      t.resize(keep);
      t += kEllipsis;
      r.runs.resize(i + 1);
      break;
    }
    total += t.size();
  }
  if (p.width && std::isfinite(*p.width)) r.width = *p.width;
  if (p.height && std::isfinite(*p.height)) r.maxHeight = *p.height;
  r.lineLimit = e.lineLimit.value_or(0);
  return r;
}

// Most proposals give the same answer as a cheaper one: a width at or above the ideal width
// lays out like the ideal, a height only matters for a text of several lines taller than it.
// Asking the cheaper question first keeps the measurer calls per text to about three.
const TextMetrics& measureShared(LayoutContext& ctx, TextRequest& r) {
  const std::optional<double> width = r.width, height = r.maxHeight;
  r.width.reset();
  r.maxHeight.reset();
  const TextMetrics* m = &ctx.measureText(r);
  if (width && *width < m->size.width) {
    r.width = width;
    m = &ctx.measureText(r);
  }
  if (height && m->lines > 1 && m->size.height > *height) {
    r.maxHeight = height;
    m = &ctx.measureText(r);
  }
  return *m;
}

struct Resolved {
  TextRequest request;
  const TextMetrics* metrics;
};

// Scale 1 if it fits; else the largest factor on a 0.01 grid at or above the minimum that
// fits; else the minimum, cut.
Resolved resolve(const TextNode& n, LayoutContext& ctx, EnvId env, const Proposal& p) {
  const Environment& e = ctx.env(env);
  Resolved r{request(n, e, p, 1), nullptr};
  r.metrics = &measureShared(ctx, r.request);
  if (!r.metrics->truncated || !p.width || !std::isfinite(*p.width) || e.minimumScaleFactor >= 1) return r;
  auto at = [&](int hundredths) {
    Resolved s{request(n, e, p, hundredths / 100.0), nullptr};
    s.metrics = &measureShared(ctx, s.request);
    return s;
  };
  // Measurements are kept for the pass, so asking for the chosen scale again measures nothing.
  return at(largestFittingScale(e.minimumScaleFactor,
                                [&](int hundredths) { return !at(hundredths).metrics->truncated; }));
}

}  // namespace

Measured TextNode::measure(LayoutContext& ctx, EnvId env, const Proposal& p) const {
  const Resolved r = resolve(*this, ctx, env, p);
  const TextMetrics& m = *r.metrics;
  return Measured{m.size, m.firstBaseline, m.lastBaseline, m.truncated};
}

void TextNode::place(LayoutContext& ctx, EnvId env, const Proposal& p, Point origin) const {
  if (!ctx.drawing()) return;
  Resolved r = resolve(*this, ctx, env, p);
  const TextMetrics& m = *r.metrics;
  DrawText op;
  op.rect = Rect{origin.x, origin.y, m.size.width, m.size.height};
  op.paint = ctx.env(env).foreground;
  TextContent& t = op.text;
  for (const auto& run : runs) t.text += cleanedStart(run.text);
  t.shown = m.shown;
  t.lines = m.lines;
  t.baseline = origin.y + m.firstBaseline;
  t.wrapWidth = r.request.width.value_or(kInfinity);
  t.lineLimit = m.truncated ? m.appliedLineLimit : r.request.lineLimit;
  t.runs = std::move(r.request.runs);
  ctx.emit(std::move(op), env);
}

}  // namespace korvel::ui
