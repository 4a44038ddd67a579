#pragma once
// korvel-widgets gallery: every widget in every family it offers, light and dark, as PNG files
// plus an index.html contact sheet that shows them side by side.
#include <optional>
#include <ostream>
#include <string>

#include "faces/time_format.h"
#include "snapshot/loading.h"

namespace korvel::host {

struct GalleryOptions {
  std::string snapshotPath;   // empty: the snapshot at the platform's location
  std::optional<double> now;  // seconds since 1970-01-01 UTC; none: the clock
  std::string outputDir;
};

// Text made safe for HTML element content and quoted attribute values.
std::string escapeHtml(std::string_view text);

// Draws the gallery into options.outputDir (created when missing). Returns the exit code:
// 0 written, 1 the given snapshot is unusable or a file could not be written, 2 bad options.
int runGallery(const GalleryOptions& options, const TimeSettings& time,
               const PlatformLookups& lookups, std::ostream& out, std::ostream& err);

}  // namespace korvel::host
