#include "ui/pango/text_layout.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <pango/pangofc-fontmap.h>

#include "ui/pango/fonts.h"
#include "ui/utf8.h"

namespace korvel::ui::pango {

namespace {

constexpr double kScale = PANGO_SCALE;

PangoContext* createContext() {
  // The configuration first: building it makes it fontconfig's current one, which the new map's
  // own start-up then finds instead of loading the system's a second time.
  FcConfig* config = fonts::config();
  PangoFontMap* map = pango_cairo_font_map_new();
  pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(map), config);
  PangoContext* ctx = pango_font_map_create_context(map);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  pango_cairo_context_set_font_options(ctx, options);
  cairo_font_options_destroy(options);
  pango_context_set_round_glyph_positions(ctx, FALSE);
  pango_context_set_language(ctx, pango_language_from_string("en"));
  return ctx;  // the map stays referenced by the context for the life of the process
}

struct Span {
  std::size_t begin, end;  // bytes in the joined text
};

guint16 channel(double v) { return static_cast<guint16>(std::lround(std::clamp(std::isnan(v) ? 0.0 : v, 0.0, 1.0) * 65535)); }

void insert(PangoAttrList* list, PangoAttribute* a, std::size_t b, std::size_t e) {
  a->start_index = static_cast<guint>(b);
  a->end_index = static_cast<guint>(e);
  pango_attr_list_insert(list, a);
}

// Attributes for the joined bytes [from, to), shifted to start at 0; the run holding the last
// byte also covers `extra` bytes appended after `to` (an added ellipsis).
PangoFontDescription* describe(const TextRunStyle& run) {
  const fonts::FaceName face = fonts::faceFor(run.design, run.weight);
  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family(desc, face.family.c_str());
  pango_font_description_set_weight(desc, static_cast<PangoWeight>(face.weight));
  pango_font_description_set_absolute_size(desc, std::round(run.size * kScale));
  return desc;
}

PangoAttrList* attributes(const TextRequest& r, const std::vector<Span>& spans, std::size_t from, std::size_t to,
                          std::size_t extra, const ColourFn* colours) {
  PangoAttrList* list = pango_attr_list_new();
  // The run an appended ellipsis takes its style from: the one holding the last byte.
  std::size_t holder = 0;
  for (std::size_t i = 0; i < spans.size(); ++i)
    if (spans[i].begin < to) holder = i;
  for (std::size_t i = 0; i < r.runs.size(); ++i) {
    const auto& run = r.runs[i];
    std::size_t b = std::max(spans[i].begin, from), e = std::min(spans[i].end, to);
    if (b > e) b = e = to;
    if (extra && i == holder) e = to + extra;
    if (b >= e) continue;
    b -= from;
    e -= from;
    PangoFontDescription* desc = describe(run);
    insert(list, pango_attr_font_desc_new(desc), b, e);
    pango_font_description_free(desc);
    if (run.monospacedDigits) insert(list, pango_attr_font_features_new("tnum 1"), b, e);
    if (colours) {
      const auto c = (*colours)(run.color);
      insert(list, pango_attr_foreground_new(channel(c[0]), channel(c[1]), channel(c[2])), b, e);
      insert(list, pango_attr_foreground_alpha_new(std::max<guint16>(channel(c[3]), 1)), b, e);
    }
  }
  return list;
}

bool isRoundedFace(PangoFont* font) {
  static const std::array<std::string, 3> families = {fonts::faceFor(Design::rounded, Weight::regular).family,
                                                       fonts::faceFor(Design::rounded, Weight::medium).family,
                                                       fonts::faceFor(Design::rounded, Weight::semibold).family};
  PangoFontDescription* desc = pango_font_describe(font);
  const char* family = pango_font_description_get_family(desc);
  const bool rounded = family && std::find(families.begin(), families.end(), family) != families.end();
  pango_font_description_free(desc);
  return rounded;
}

// The rounded face has no tabular figures, and its own spacing is uneven: the "4" carries side
// bearings twice the others' and the "1" none on its left, which reads as "$18 4.20". Each of its
// digits that stands alone in its cluster keeps its ink and gets the same room, a 25th of an em,
// on either side, so that the gaps between figures are even.
void evenRoundedDigits(PangoLayout* layout) {
  const char* text = pango_layout_get_text(layout);
  for (GSList* l = pango_layout_get_lines(layout); l; l = l->next) {  // writable: not cached
    for (GSList* r = static_cast<PangoLayoutLine*>(l->data)->runs; r; r = r->next) {
      auto* run = static_cast<PangoGlyphItem*>(r->data);
      PangoFont* font = run->item->analysis.font;
      if (!font || run->item->analysis.level % 2 || !isRoundedFace(font)) continue;
      PangoFontDescription* desc = pango_font_describe_with_absolute_size(font);
      const int bearing = pango_font_description_get_size(desc) / 25;
      pango_font_description_free(desc);
      PangoGlyphString* g = run->glyphs;
      for (int i = 0; i < g->num_glyphs; ++i) {
        const int at = run->item->offset + g->log_clusters[i];
        const bool alone = (i == 0 || g->log_clusters[i - 1] != g->log_clusters[i]) &&
                           (i + 1 == g->num_glyphs || g->log_clusters[i + 1] != g->log_clusters[i]);
        if (!alone || text[at] < '0' || text[at] > '9') continue;
        PangoRectangle ink;
        pango_font_get_glyph_extents(font, g->glyphs[i].glyph, &ink, nullptr);
        g->glyphs[i].geometry.x_offset += bearing - ink.x;
        g->glyphs[i].geometry.width = ink.width + 2 * bearing;
      }
    }
  }
}

LayoutPtr makeLayout(const TextRequest& r, const std::string& text, PangoAttrList* attrs, std::optional<double> width,
                     bool ellipsize) {
  LayoutPtr layout(pango_layout_new(sharedContext()));
  // Empty lines and texts take the first run's font.
  PangoFontDescription* base = describe(r.runs.empty() ? TextRunStyle{} : r.runs.front());
  pango_layout_set_font_description(layout.get(), base);
  pango_font_description_free(base);
  pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));
  pango_layout_set_attributes(layout.get(), attrs);
  pango_attr_list_unref(attrs);
  pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
  if (width) {
    pango_layout_set_width(layout.get(), std::max(1, static_cast<int>(std::lround(std::min(*width, kMaxLength) * kScale))));
  } else {
    pango_layout_set_width(layout.get(), -1);
  }
  if (ellipsize) {
    pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
    pango_layout_set_height(layout.get(), -1);
  }
  // Only a text with a rounded run can hold the rounded face (fallback fonts aside, which the
  // pass leaves alone): the others are not walked glyph by glyph.
  if (std::any_of(r.runs.begin(), r.runs.end(), [](const TextRunStyle& run) { return run.design == Design::rounded; })) {
    evenRoundedDigits(layout.get());
  }
  return layout;
}

struct LineInfo {
  int start, length;
  double x, top, width, height, baseline;
  double visibleX, visibleWidth;  // without spaces hanging past the wrap width
};

std::vector<LineInfo> linesOf(PangoLayout* layout) {
  std::vector<LineInfo> out;
  const int wrapWidth = pango_layout_get_width(layout);  // -1: not wrapped
  const char* text = pango_layout_get_text(layout);
  PangoLayoutIter* it = pango_layout_get_iter(layout);
  do {
    PangoLayoutLine* line = pango_layout_iter_get_line_readonly(it);
    PangoRectangle logical;
    pango_layout_iter_get_line_extents(it, nullptr, &logical);
    int visibleX = logical.x, visibleWidth = logical.width;
    if (wrapWidth >= 0 && logical.width > wrapWidth) {
      // Spaces at the end of a wrapped line hang past the wrap width; they show nothing (and
      // the shown text drops them), so the line is only as wide as what comes before them.
      int end = line->start_index + line->length;
      while (end > line->start_index && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\n')) --end;
      int* ranges = nullptr;
      int count = 0;
      if (end > line->start_index) pango_layout_line_get_x_ranges(line, line->start_index, end, &ranges, &count);
      int lo = count > 0 ? ranges[0] : logical.x, hi = lo;
      for (int i = 0; i < count; ++i) {
        lo = std::min(lo, ranges[2 * i]);
        hi = std::max(hi, ranges[2 * i + 1]);
      }
      g_free(ranges);
      if (hi - lo < visibleWidth) {
        visibleX = lo;
        visibleWidth = hi - lo;
      }
    }
    out.push_back(LineInfo{line->start_index, line->length, logical.x / kScale, logical.y / kScale,
                           logical.width / kScale, logical.height / kScale, pango_layout_iter_get_baseline(it) / kScale,
                           visibleX / kScale, visibleWidth / kScale});
  } while (pango_layout_iter_next_line(it));
  pango_layout_iter_free(it);
  return out;
}

std::string trimLineEnd(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
  return s;
}

// What the one line of an ellipsized layout shows: its runs, the ellipsis run as U+2026.
std::string visibleText(PangoLayout* layout, const std::string& text) {
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout, 0);
  if (!line) return {};
  std::string out;
  for (GSList* l = line->runs; l; l = l->next) {
    auto* run = static_cast<PangoGlyphItem*>(l->data);
    const PangoItem* item = run->item;
    if (item->analysis.flags & PANGO_ANALYSIS_FLAG_IS_ELLIPSIS) {
      out += kEllipsis;
    } else if (item->offset >= 0 && static_cast<std::size_t>(item->offset + item->length) <= text.size()) {
      out.append(text, static_cast<std::size_t>(item->offset), static_cast<std::size_t>(item->length));
    }
  }
  return out;
}

double minRunSize(const TextRequest& r) {
  double s = kInfinity;
  for (const auto& run : r.runs) s = std::min(s, run.size);
  return std::isfinite(s) ? s : 13;
}

// The byte offset `count` code points after `from` (or the end).
std::size_t skipCodePoints(const std::string& s, std::size_t from, std::size_t count) {
  std::size_t i = from;
  while (i < s.size() && count > 0) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    --count;
  }
  return i;
}

// The largest code point boundary at or before `i`.
std::size_t codePointBoundary(const std::string& s, std::size_t i) {
  while (i > 0 && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) --i;
  return i;
}

}  // namespace

PangoContext* sharedContext() {
  static PangoContext* ctx = createContext();
  return ctx;
}

BuiltText buildText(const TextRequest& in, const ColourFn* colours) {
  TextRequest r = in;
  std::string joined;
  std::vector<Span> spans;
  for (auto& run : r.runs) {
    if (!g_utf8_validate(run.text.data(), static_cast<gssize>(run.text.size()), nullptr)) run.text = validUtf8(run.text);
    spans.push_back(Span{joined.size(), joined.size() + run.text.size()});
    joined += run.text;
  }
  std::optional<double> width = r.width;
  if (width && !std::isfinite(*width)) width.reset();
  if (width) width = std::max(*width, 0.0);

  BuiltText out;
  // Pango reshapes the rest of a paragraph for every line it breaks, so a text that will be cut
  // anyway (a long one, or any text probed at a tiny width) is laid out from a growing prefix:
  // once the prefix has two lines more than can be shown, the shown lines are final.
  std::size_t limit = r.lineLimit > 0 ? static_cast<std::size_t>(r.lineLimit) : 0;
  if (r.maxHeight && width) {
    const double smallest = std::max(0.1, minRunSize(r));
    limit = std::min(limit ? limit : SIZE_MAX, static_cast<std::size_t>(*r.maxHeight / (smallest * 0.8)) + 1);
  }
  limit = std::min(limit ? limit : kMaxLines, kMaxLines);
  std::vector<LineInfo> lines;
  std::size_t prefix = joined.size();
  // What one line can hold at 0.05 em per character.
  const std::size_t perLine = width ? static_cast<std::size_t>(std::min(*width / (std::max(0.1, minRunSize(r)) * 0.05), 1e5)) + 2 : 100000;
  // Narrower than any glyph (the minimum probe of a stack): every line holds one character, so
  // one line beyond the shown ones settles them.
  const bool tiny = width && perLine <= 2;
  const std::size_t margin = tiny ? 1 : 2;
  // The first prefix guesses half an em per character and grows until it holds enough lines:
  // starting from the narrowest characters would lay out thousands of lines of a long word.
  const std::size_t guessPerLine = width ? static_cast<std::size_t>(std::min(*width / (std::max(0.1, minRunSize(r)) * 0.5), 1e5)) + 2 : 100000;
  std::size_t prefixChars = limit ? (tiny ? 1 : guessPerLine) * (limit + margin) : 0;
  if (limit) prefix = skipCodePoints(joined, 0, prefixChars);
  while (true) {
    prefix = codePointBoundary(joined, std::min(prefix, joined.size()));
    out.full = makeLayout(r, joined.substr(0, prefix), attributes(r, spans, 0, prefix, 0, colours), width, false);
    lines = linesOf(out.full.get());
    if (prefix >= joined.size() || lines.size() >= limit + margin) break;
    prefixChars *= 4;
    prefix = skipCodePoints(joined, 0, prefixChars);
  }

  std::size_t visible = lines.size();
  if (r.lineLimit > 0) visible = std::min(visible, static_cast<std::size_t>(r.lineLimit));
  visible = std::min(visible, kMaxLines);
  if (r.maxHeight) {
    std::size_t fit = 0;
    while (fit < lines.size() && lines[fit].top + lines[fit].height <= *r.maxHeight + 1e-6) ++fit;
    visible = std::min(visible, std::max<std::size_t>(fit, 1));
  }
  // A line wider than the width holds a cluster Pango cannot break (a base carrying thousands
  // of combining marks, say): the text is cut there, as at a line beyond the limit. Narrow
  // probes keep their one character per line.
  bool tooWide = false;
  if (width && !tiny) {
    for (std::size_t i = 0; i < visible && !tooWide; ++i) {
      if (lines[i].visibleWidth > *width + 1e-6) {
        visible = i + 1;
        tooWide = true;
      }
    }
  }
  TextMetrics& m = out.metrics;
  m.truncated = tooWide || visible < lines.size();
  const std::size_t body = m.truncated ? visible - 1 : visible;

  struct Placed {
    double x, width, baseline;
  };
  std::vector<Placed> placed;
  std::vector<std::string> shown;
  for (std::size_t i = 0; i < body; ++i) {
    const LineInfo& l = lines[i];
    out.lines.push_back(DrawnLine{out.full.get(), static_cast<int>(i), l.x, l.baseline});
    placed.push_back(Placed{l.visibleX, l.visibleWidth, l.baseline});
    shown.push_back(trimLineEnd(joined.substr(static_cast<std::size_t>(l.start), static_cast<std::size_t>(l.length))));
  }
  double height = body ? lines[body - 1].top + lines[body - 1].height : 0;

  if (m.truncated) {
    // The rest of the last kept line's paragraph, cut to one line; when it fits whole, the
    // text still goes on in a later paragraph, so it ends in an ellipsis anyway.
    const LineInfo& l = lines[body];
    const std::size_t from = static_cast<std::size_t>(l.start);
    std::size_t to = joined.find('\n', from);
    if (to == std::string::npos) to = joined.size();
    // One line never shows more than its width holds at the smallest run size.
    to = std::min(to, skipCodePoints(joined, from, perLine + 8));
    std::string rest = joined.substr(from, to - from);
    out.tail = makeLayout(r, rest, attributes(r, spans, from, to, 0, colours), width, true);
    if (!width || !pango_layout_is_ellipsized(out.tail.get())) {
      std::string withEllipsis = trimLineEnd(rest) + kEllipsis;
      const std::size_t cut = from + trimLineEnd(rest).size();
      out.tail = makeLayout(r, withEllipsis, attributes(r, spans, from, cut, 3, colours), width, true);
      rest = std::move(withEllipsis);
    }
    const LineInfo t = linesOf(out.tail.get()).front();
    out.lines.push_back(DrawnLine{out.tail.get(), 0, t.x, l.top + t.baseline});
    placed.push_back(Placed{t.visibleX, t.visibleWidth, l.top + t.baseline});
    shown.push_back(visibleText(out.tail.get(), rest));
    height = l.top + t.height;
    m.appliedLineLimit = static_cast<int>(visible);
  }

  // Lines start at the text's leading edge: right-to-left paragraphs are aligned by Pango
  // within the layout; shift so the leftmost line starts at 0.
  double left = kInfinity, right = -kInfinity;
  for (const auto& p : placed) {
    left = std::min(left, p.x);
    right = std::max(right, p.x + p.width);
  }
  if (placed.empty()) left = right = 0;
  for (auto& d : out.lines) d.x -= left;
  m.size = Size{std::max(0.0, right - left), height};
  m.lines = static_cast<int>(visible);
  m.firstBaseline = placed.empty() ? 0 : placed.front().baseline;
  m.lastBaseline = placed.empty() ? 0 : placed.back().baseline;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (i) m.shown += '\n';
    m.shown += shown[i];
  }
  return out;
}

}  // namespace korvel::ui::pango
