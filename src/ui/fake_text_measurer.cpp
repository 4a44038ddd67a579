// Deterministic text measuring for layout tests. Works on clusters: a visible code point plus
// the combining marks, joiners and selectors that follow it.
#include <algorithm>
#include <cmath>

#include "ui/text_measurer.h"
#include "ui/utf8.h"

namespace korvel::ui {

namespace {

constexpr double kAdvance = 0.5, kLineHeight = 1.2, kBaseline = 0.9, kCapHeight = 0.7;

bool zeroWidth(char32_t c) {
  return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) || (c >= 0x1DC0 && c <= 0x1DFF) ||
         (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE20 && c <= 0xFE2F) || (c >= 0xFE00 && c <= 0xFE0F) ||
         (c >= 0x200B && c <= 0x200F) || (c >= 0xE0100 && c <= 0xE01EF) || (c >= 0x1F3FB && c <= 0x1F3FF);
}

struct Cluster {
  std::size_t begin, end;  // bytes in the joined text
  double advance, size;
  bool space, newline;
};

struct Line {
  std::size_t begin, end;  // clusters; trailing spaces excluded
  double width, size;
};

std::vector<Cluster> clusters(const std::vector<TextRunStyle>& runs, std::string& joined) {
  std::vector<Cluster> out;
  bool joinNext = false;
  for (const auto& run : runs) {
    const std::size_t base = joined.size();
    joined += run.text;
    for (const CodePoint& cp : decodeUtf8(run.text)) {
      const std::size_t b = base + cp.offset, e = b + cp.length;
      if (!out.empty() && !out.back().newline && (joinNext || zeroWidth(cp.value))) {
        out.back().end = e;
        joinNext = cp.value == 0x200D;
        continue;
      }
      joinNext = false;
      const bool nl = cp.value == '\n';
      out.push_back(Cluster{b, e, nl ? 0 : run.size * kAdvance, run.size, cp.value == ' ', nl});
    }
  }
  return out;
}

double widthOf(const std::vector<Cluster>& cs, std::size_t b, std::size_t e) {
  while (e > b && cs[e - 1].space) --e;
  double w = 0;
  for (std::size_t i = b; i < e; ++i) w += cs[i].advance;
  return w;
}

double sizeOf(const std::vector<Cluster>& cs, std::size_t b, std::size_t e, double fallback) {
  double s = 0;
  for (std::size_t i = b; i < e; ++i) s = std::max(s, cs[i].size);
  return s > 0 ? s : fallback;
}

Line makeLine(const std::vector<Cluster>& cs, std::size_t b, std::size_t e, double fallbackSize) {
  std::size_t t = e;
  while (t > b && cs[t - 1].space) --t;
  return Line{b, t, widthOf(cs, b, t), sizeOf(cs, b, e, fallbackSize)};
}

// Greedy wrapping of one paragraph [b, e): break at spaces, words longer than a line between
// clusters (at least one cluster per line).
void wrapParagraph(const std::vector<Cluster>& cs, std::size_t b, std::size_t e, std::optional<double> width,
                   double fallbackSize, std::vector<Line>& lines) {
  if (b == e || !width) {
    lines.push_back(makeLine(cs, b, e, fallbackSize));
    return;
  }
  const double w = *width;
  std::size_t start = b, i = b;
  double used = 0;  // width of [start, i) including spaces
  while (i < e) {
    if (cs[i].space) {
      used += cs[i].advance;
      ++i;
      continue;
    }
    std::size_t we = i;
    double ww = 0;
    while (we < e && !cs[we].space) ww += cs[we++].advance;
    const double trimmed = widthOf(cs, start, i);
    if (i > start && trimmed > 0 && used + ww > w + 1e-9) {
      lines.push_back(makeLine(cs, start, i, fallbackSize));
      start = i;
      used = 0;
    }
    if (ww <= w + 1e-9 || used > 0) {
      used += ww;
      i = we;
      continue;
    }
    // The word alone is wider than a line: break it between clusters.
    while (i < we) {
      std::size_t k = i;
      double lw = used;
      while (k < we && (k == i && start == i ? true : lw + cs[k].advance <= w + 1e-9)) lw += cs[k++].advance;
      if (k == we) {
        used = lw;
        i = we;
        break;
      }
      lines.push_back(makeLine(cs, start, k, fallbackSize));
      start = k;
      i = k;
      used = 0;
    }
  }
  lines.push_back(makeLine(cs, start, e, fallbackSize));
}

std::string textOf(const std::string& joined, const std::vector<Cluster>& cs, std::size_t b, std::size_t e) {
  if (b >= e) return {};
  return joined.substr(cs[b].begin, cs[e - 1].end - cs[b].begin);
}

}  // namespace

TextMetrics FakeTextMeasurer::measure(const TextRequest& request) const {
  std::string joined;
  const std::vector<Cluster> cs = clusters(request.runs, joined);
  const double defaultSize = request.runs.empty() ? 13 : request.runs.front().size;
  std::optional<double> width = request.width;
  if (width) width = std::max(*width, 0.0);

  std::vector<Line> lines;
  std::vector<std::size_t> paragraphEnd;  // per line: end of its paragraph
  std::size_t b = 0;
  double lastSize = defaultSize;
  for (std::size_t i = 0; i <= cs.size(); ++i) {
    if (i < cs.size() && !cs[i].newline) continue;
    const double fallback = i < cs.size() ? cs[i].size : (cs.empty() ? defaultSize : lastSize);
    const std::size_t before = lines.size();
    wrapParagraph(cs, b, i, width, fallback, lines);
    for (std::size_t k = before; k < lines.size(); ++k) paragraphEnd.push_back(i);
    if (i < cs.size()) lastSize = cs[i].size;
    b = i + 1;
  }

  // Lines kept: the line limit and the height offered (at least one line).
  std::size_t visible = lines.size();
  if (request.lineLimit > 0) visible = std::min(visible, static_cast<std::size_t>(request.lineLimit));
  if (request.maxHeight) {
    double h = 0;
    std::size_t fit = 0;
    while (fit < lines.size() && h + lines[fit].size * kLineHeight <= *request.maxHeight + 1e-9) h += lines[fit++].size * kLineHeight;
    visible = std::min(visible, std::max<std::size_t>(fit, 1));
  }

  TextMetrics m;
  m.truncated = visible < lines.size();
  std::vector<std::string> shown;
  for (std::size_t k = 0; k < visible; ++k) shown.push_back(textOf(joined, cs, lines[k].begin, lines[k].end));
  if (m.truncated) {
    // The last kept line shows the rest of its paragraph cut to fit, then the ellipsis.
    Line& last = lines[visible - 1];
    std::size_t e = paragraphEnd[visible - 1];
    while (e > last.begin && cs[e - 1].space) --e;
    const double ellipsisSize = e > last.begin ? cs[e - 1].size : last.size;
    const double ellipsis = ellipsisSize * kAdvance;
    double w = widthOf(cs, last.begin, e);
    if (width && w + ellipsis > *width + 1e-9) {
      std::size_t k = last.begin;
      double lw = 0;
      while (k < e && lw + cs[k].advance + ellipsis <= *width + 1e-9) lw += cs[k++].advance;
      e = k;
      while (e > last.begin && cs[e - 1].space) --e;
      w = widthOf(cs, last.begin, e);
    }
    last.width = w + ellipsis;
    last.size = std::max(sizeOf(cs, last.begin, e, ellipsisSize), ellipsisSize);
    shown[visible - 1] = textOf(joined, cs, last.begin, e) + kEllipsis;
    m.appliedLineLimit = static_cast<int>(visible);
  }
  double y = 0;
  for (std::size_t k = 0; k < visible; ++k) {
    const Line& l = lines[k];
    if (k == 0) m.firstBaseline = l.size * kBaseline;
    m.lastBaseline = y + l.size * kBaseline;
    y += l.size * kLineHeight;
    m.size.width = std::max(m.size.width, l.width);
  }
  m.size.height = y;
  m.lines = static_cast<int>(visible);
  for (std::size_t k = 0; k < shown.size(); ++k) {
    if (k) m.shown += '\n';
    m.shown += shown[k];
  }
  return m;
}

LineMetrics FakeTextMeasurer::lineMetrics(double size, Weight, Design) const {
  return LineMetrics{size * kLineHeight, size * kBaseline, size * kCapHeight};
}

}  // namespace korvel::ui
