#pragma once
// Measures texts with Pango and the project's fonts. One per process (see shared()); it keeps
// Pango's font map and context alive.
//
// Widgets are redrawn all day with mostly the same texts (both appearances, every entry of a
// timeline, every reload of an unchanged week), and Pango's line breaking is the dearest part of
// a layout pass. So measurements are kept in a bounded least-recently-used cache keyed by
// everything that changes how a text measures; colours do not.
#include <cstddef>
#include <list>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <unordered_map>

#include "ui/text_measurer.h"

namespace korvel::ui {

class PangoTextMeasurer : public TextMeasurer {
 public:
  static const PangoTextMeasurer& shared();

  TextMetrics measure(const TextRequest& request) const override;
  LineMetrics lineMetrics(double size, Weight weight, Design design) const override;

  // The cache's bounds: entries, and bytes of keys and shown texts together.
  static constexpr std::size_t kCacheEntries = 1024;
  static constexpr std::size_t kCacheBytes = std::size_t{1} << 20;

  struct CacheStats {
    std::size_t entries = 0, bytes = 0, hits = 0, misses = 0;
  };
  CacheStats cacheStats() const;
  // Forgets every measurement (benchmarks of a cold process use it).
  void clearCache() const;

 private:
  PangoTextMeasurer() = default;

  struct Entry {
    std::string key;
    TextMetrics metrics;
  };
  void remember(std::string key, const TextMetrics& metrics) const;

  mutable std::mutex mutex_;
  mutable std::map<std::tuple<double, Weight, Design>, LineMetrics> lineCache_;
  mutable std::list<Entry> recent_;  // most recently used first
  mutable std::unordered_map<std::string_view, std::list<Entry>::iterator> index_;
  mutable std::size_t cachedBytes_ = 0;
  mutable std::size_t hits_ = 0, misses_ = 0;
};

// Everything about a request that changes its measurement, as one string.
std::string measureKey(const TextRequest& request);

}  // namespace korvel::ui
