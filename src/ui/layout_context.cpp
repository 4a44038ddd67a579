#include "ui/layout_context.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <type_traits>
#include <variant>

namespace korvel::ui {

namespace {

void hashMix(std::size_t& seed, std::size_t v) { seed ^= v + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2); }
std::size_t hashDouble(double d) { return std::hash<double>{}(d); }

void appendRaw(std::string& key, const void* p, std::size_t n) {
  key.append(static_cast<const char*>(p), n);
}
void appendDouble(std::string& key, double d) { appendRaw(key, &d, sizeof d); }

// Everything that changes how a text measures; colours do not.
std::string runsKey(const std::vector<TextRunStyle>& runs) {
  std::string key;
  for (const auto& r : runs) {
    auto n = r.text.size();
    appendRaw(key, &n, sizeof n);
    key += r.text;
    appendDouble(key, r.size);
    key += static_cast<char>(r.weight);
    key += static_cast<char>(r.design);
    key += static_cast<char>(r.monospacedDigits);
  }
  return key;
}

}  // namespace

std::size_t hashEnvironment(const Environment& e) {
  std::size_t h = 0;
  hashMix(h, hashDouble(e.fontSize));
  hashMix(h, static_cast<std::size_t>(e.weight));
  hashMix(h, static_cast<std::size_t>(e.design));
  hashMix(h, e.monospacedDigits);
  hashMix(h, std::hash<std::string>{}(e.foreground.color));
  hashMix(h, hashDouble(e.foreground.opacity));
  hashMix(h, e.lineLimit ? static_cast<std::size_t>(*e.lineLimit) + 1 : 0);
  hashMix(h, hashDouble(e.minimumScaleFactor));
  hashMix(h, hashDouble(e.textScale));
  hashMix(h, e.accent);
  hashMix(h, hashDouble(e.opacity));
  hashMix(h, e.stackAxis ? static_cast<std::size_t>(*e.stackAxis) + 1 : 0);
  return h;
}

double guideH(const Measured& m, HAlign a) {
  switch (a) {
    case HAlign::leading: return 0;
    case HAlign::center: return m.size.width / 2;
    case HAlign::trailing: return m.size.width;
  }
  return 0;
}

double guideV(const Measured& m, VAlign a) {
  switch (a) {
    case VAlign::top: return 0;
    case VAlign::center: return m.size.height / 2;
    case VAlign::bottom: return m.size.height;
    case VAlign::firstTextBaseline: return m.firstBaseline.value_or(m.size.height);
    case VAlign::lastTextBaseline: return m.lastBaseline.value_or(m.size.height);
  }
  return 0;
}

LayoutContext::LayoutContext(const TextMeasurer& measurer, DisplayList* out, LayoutStats* stats,
                             const Environment& root)
    : measurer_(measurer), out_(out), stats_(stats) {
  intern(root);
}

EnvId LayoutContext::intern(const Environment& env) {
  auto it = envIds_.find(env);
  if (it != envIds_.end()) return it->second;
  auto id = static_cast<EnvId>(envs_.size());
  envs_.push_back(env);
  envIds_.emplace(env, id);
  return id;
}

bool LayoutContext::MeasureKey::operator==(const MeasureKey& o) const {
  // Bitwise so that the NaN marking "unset" compares equal to itself.
  return node == o.node && env == o.env && std::memcmp(&w, &o.w, sizeof w) == 0 &&
         std::memcmp(&h, &o.h, sizeof h) == 0;
}

std::size_t LayoutContext::MeasureKeyHash::operator()(const MeasureKey& k) const {
  std::size_t h = std::hash<const void*>{}(k.node);
  hashMix(h, k.env);
  std::uint64_t w, hh;
  std::memcpy(&w, &k.w, sizeof w);
  std::memcpy(&hh, &k.h, sizeof hh);
  hashMix(h, std::hash<std::uint64_t>{}(w));
  hashMix(h, std::hash<std::uint64_t>{}(hh));
  return h;
}

Proposal LayoutContext::sanitize(Proposal p) {
  auto fix = [](std::optional<double>& v) {
    if (!v) return;
    if (std::isnan(*v) || *v < 0) {
      *v = 0;
    } else if (std::isfinite(*v) && *v > kMaxLength) {
      *v = kMaxLength;
    }
    // +infinity stays: it asks for the maximum.
  };
  fix(p.width);
  fix(p.height);
  return p;
}

Measured LayoutContext::measure(const Node& node, EnvId env, Proposal p) {
  p = sanitize(p);
  constexpr double unset = std::numeric_limits<double>::quiet_NaN();
  MeasureKey key{&node, env, p.width.value_or(unset), p.height.value_or(unset)};
  if (auto it = measures_.find(key); it != measures_.end()) return it->second;
  Measured m = node.measure(*this, env, p);
  m.size.width = clampLength(m.size.width);
  m.size.height = clampLength(m.size.height);
  if (m.firstBaseline) m.firstBaseline = clampCoordinate(*m.firstBaseline);
  if (m.lastBaseline) m.lastBaseline = clampCoordinate(*m.lastBaseline);
  if (stats_) ++stats_->nodeMeasures;
  measures_.emplace(key, m);
  return m;
}

void LayoutContext::place(const Node& node, EnvId env, Proposal p, Point origin) {
  origin.x = clampCoordinate(origin.x);
  origin.y = clampCoordinate(origin.y);
  node.place(*this, env, sanitize(p), origin);
}

const TextMetrics& LayoutContext::measureText(const TextRequest& request) {
  std::string runs = runsKey(request.runs);
  std::string key = runs;
  appendDouble(key, request.width.value_or(-1));
  appendDouble(key, request.maxHeight.value_or(-1));
  appendRaw(key, &request.lineLimit, sizeof request.lineLimit);
  if (auto it = texts_.find(key); it != texts_.end()) {
    if (stats_) ++stats_->cacheHits;
    return it->second;
  }
  TextMetrics m = measurer_.measure(request);
  if (stats_) {
    ++stats_->measureCalls;
    for (const auto& r : request.runs) stats_->bytesMeasured += r.text.size();
    if (textsSeen_.emplace(std::move(runs), true).second) ++stats_->textsMeasured;
  }
  return texts_.emplace(std::move(key), std::move(m)).first->second;
}

void LayoutContext::emit(Op op, EnvId envId) {
  if (!out_) return;
  const Environment& e = env(envId);
  auto fixOpacity = [&](Paint& paint) {
    double o = paint.opacity * e.opacity;
    paint.opacity = std::isnan(o) ? 0 : std::clamp(o, 0.0, 1.0);
  };
  clampOp(op);
  std::visit(
      [&](auto& o) {
        using T = std::remove_cvref_t<decltype(o)>;
        o.accent = o.accent || e.accent;
        if constexpr (!std::is_same_v<T, PushClip> && !std::is_same_v<T, PopClip>) fixOpacity(o.paint);
        if constexpr (std::is_same_v<T, DrawText>) {
          for (auto& run : o.text.runs) fixOpacity(run.color);
        }
      },
      op);
  if (stats_) ++stats_->opsEmitted;
  out_->ops.push_back(std::move(op));
}

}  // namespace korvel::ui
