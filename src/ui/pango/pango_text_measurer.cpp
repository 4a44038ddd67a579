#include "ui/pango/pango_text_measurer.h"

#include <cstring>

#include "ui/pango/text_layout.h"

namespace korvel::ui {

namespace {

template <typename T>
void appendRaw(std::string& key, const T& value) {
  char bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  key.append(bytes, sizeof(T));
}

void appendOptional(std::string& key, const std::optional<double>& value) {
  key += value ? '1' : '0';
  if (value) appendRaw(key, *value);
}

}  // namespace

std::string measureKey(const TextRequest& request) {
  std::string key;
  for (const TextRunStyle& run : request.runs) {
    // Length first, so that run boundaries are part of the key.
    appendRaw(key, run.text.size());
    key += run.text;
    appendRaw(key, run.size);
    key += static_cast<char>(run.weight);
    key += static_cast<char>(run.design);
    key += run.monospacedDigits ? '1' : '0';
  }
  key += '|';
  appendOptional(key, request.width);
  appendOptional(key, request.maxHeight);
  appendRaw(key, request.lineLimit);
  return key;
}

const PangoTextMeasurer& PangoTextMeasurer::shared() {
  static const PangoTextMeasurer instance;
  return instance;
}

TextMetrics PangoTextMeasurer::measure(const TextRequest& request) const {
  std::string key = measureKey(request);
  {
    const std::lock_guard lock(mutex_);
    if (auto it = index_.find(key); it != index_.end()) {
      recent_.splice(recent_.begin(), recent_, it->second);
      ++hits_;
      return it->second->metrics;
    }
    ++misses_;
  }
  // Measured outside the lock: Pango itself is used from the drawing thread only; the lock
  // keeps the cache whole should another thread look something up meanwhile.
  TextMetrics metrics = pango::buildText(request, nullptr).metrics;
  remember(std::move(key), metrics);
  return metrics;
}

void PangoTextMeasurer::remember(std::string key, const TextMetrics& metrics) const {
  const std::size_t bytes = key.size() + metrics.shown.size() + sizeof(Entry);
  if (bytes > kCacheBytes / 8) return;  // a runaway text is not worth keeping
  const std::lock_guard lock(mutex_);
  if (index_.contains(key)) return;
  recent_.push_front(Entry{std::move(key), metrics});
  index_.emplace(recent_.front().key, recent_.begin());
  cachedBytes_ += bytes;
  while (recent_.size() > kCacheEntries || cachedBytes_ > kCacheBytes) {
    const Entry& last = recent_.back();
    cachedBytes_ -= last.key.size() + last.metrics.shown.size() + sizeof(Entry);
    index_.erase(last.key);
    recent_.pop_back();
  }
}

PangoTextMeasurer::CacheStats PangoTextMeasurer::cacheStats() const {
  const std::lock_guard lock(mutex_);
  return {recent_.size(), cachedBytes_, hits_, misses_};
}

void PangoTextMeasurer::clearCache() const {
  const std::lock_guard lock(mutex_);
  index_.clear();
  recent_.clear();
  cachedBytes_ = 0;
}

// Line height and baseline of the font, cap height from the ink of "H".
LineMetrics PangoTextMeasurer::lineMetrics(double size, Weight weight, Design design) const {
  const auto key = std::make_tuple(size, weight, design);
  {
    const std::lock_guard lock(mutex_);
    if (auto it = lineCache_.find(key); it != lineCache_.end()) return it->second;
  }
  TextRequest r;
  r.runs.push_back(TextRunStyle{"H", size, weight, design, false, Paint{}});
  pango::BuiltText t = pango::buildText(r, nullptr);
  PangoRectangle ink;
  pango_layout_get_extents(t.full.get(), &ink, nullptr);
  LineMetrics m{t.metrics.size.height, t.metrics.firstBaseline, t.metrics.firstBaseline - ink.y / double(PANGO_SCALE)};
  const std::lock_guard lock(mutex_);
  lineCache_.emplace(key, m);
  return m;
}

}  // namespace korvel::ui
