// Replays the inputs the fuzzers kept (tests/data/fuzz-regressions: inputs that once crashed,
// and a small minimized corpus) through the same road as fuzz/render_fuzzer.cpp: decode, and
// when accepted, place, lay out and paint every widget in every family in both appearances.
#include <cairo.h>
#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/render/cairo_painter.h"
#include "host/render/render_widget.h"
#include "snapshot/decode.h"
#include "snapshot/generation_time.h"

namespace korvel::host {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> regressionFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(fs::path(KORVEL_TEST_DATA_DIR) / "fuzz-regressions")) {
    if (entry.is_regular_file() && entry.path().filename() != "README.md") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string bytesOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

cairo_status_t paintStatus(const LaidOutWidget& widget, Appearance appearance) {
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(widget.widget.size.width),
                                 static_cast<int>(widget.widget.size.height));
  cairo_t* cr = cairo_create(surface);
  paintDisplayList(cr, widget.list, appearance);
  const cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return status;
}

TEST(FuzzRegressions, EveryKeptInputDecodesAndDrawsSafely) {
  const std::vector<fs::path> files = regressionFiles();
  ASSERT_GE(files.size(), 10u) << "the regression corpus is missing";
  std::size_t accepted = 0;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    const std::string bytes = bytesOf(file);
    const DecodeResult result = decodeSnapshotDetailed(bytes);
    if (const auto* error = std::get_if<DecodeError>(&result)) {
      EXPECT_FALSE(error->message.empty());
      EXPECT_EQ(decodeSnapshot(bytes), std::nullopt);
      continue;
    }
    ++accepted;
    const WeekSnapshot& snapshot = std::get<WeekSnapshot>(result);
    EXPECT_EQ(decodeSnapshot(encodeSnapshot(snapshot)), snapshot) << "encoding round trip";

    // The moment the fuzzer picked for these bytes: fresh, stale or before generation.
    const double offsets[] = {3600.0, 4 * 3600.0 + 1, -60.0};
    {
      RenderRequest request;
      request.entry = {generationTime(snapshot) + offsets[bytes.size() % 3], snapshot};
      for (const WidgetInfo& info : widgetCatalog()) {
        for (const WidgetFamily family : info.families) {
          SCOPED_TRACE(std::string(info.kind) + " " + std::string(familyName(family)));
          request.kind = info.faceKind;
          request.family = family;
          const LaidOutWidget widget = layoutWidget(request);
          ASSERT_FALSE(widget.list.ops.empty());
          EXPECT_EQ(widget.widget.url, deepLinkURL(info.faceKind));
          for (const ui::Op& op : widget.list.ops) {
            if (op.op != ui::OpKind::text) continue;
            EXPECT_TRUE(g_utf8_validate(op.text.shown.data(),
                                        static_cast<gssize>(op.text.shown.size()), nullptr));
            EXPECT_TRUE(std::isfinite(op.text.baseline));
          }
          for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
            EXPECT_EQ(paintStatus(widget, appearance), CAIRO_STATUS_SUCCESS);
          }
        }
      }
    }
  }
  EXPECT_GE(accepted, 3u) << "the corpus should keep snapshots that draw, not only refusals";
}

}  // namespace
}  // namespace korvel::host
