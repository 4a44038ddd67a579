// libFuzzer target: any bytes through the decoder and, when accepted, through the whole drawing
// road of every widget: placed in every family it offers, laid out with the real Pango
// measurer, and the display list painted in both appearances. No image is encoded.
//
// Beyond the sanitizers it insists that Cairo never ends up in an error state (a widget that
// would come out blank) and that every widget gives a non-empty display list.
#include <cairo.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "host/render/cairo_painter.h"
#include "host/render/render_widget.h"
#include "snapshot/decode.h"
#include "snapshot/generation_time.h"
#include "widgets/catalog.h"

namespace {

using namespace korvel;

[[noreturn]] void fail(const char* what, const host::LaidOutWidget& widget) {
  std::fprintf(stderr, "render_fuzzer: %s (%s, %s)\n", what,
               std::string(rawValue(widget.widget.kind)).c_str(),
               std::string(familyName(widget.widget.family)).c_str());
  std::abort();
}

void paintBoth(const host::LaidOutWidget& widget) {
  const int width = static_cast<int>(std::ceil(widget.widget.size.width));
  const int height = static_cast<int>(std::ceil(widget.widget.size.height));
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  for (const Appearance appearance : {Appearance::light, Appearance::dark}) {
    cairo_t* cr = cairo_create(surface);
    host::paintDisplayList(cr, widget.list, appearance);
    const cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    if (status != CAIRO_STATUS_SUCCESS) {
      std::fprintf(stderr, "cairo: %s\n", cairo_status_to_string(status));
      cairo_surface_destroy(surface);
      fail("drawing left Cairo in an error state", widget);
    }
  }
  cairo_surface_destroy(surface);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<WeekSnapshot> snapshot =
      decodeSnapshot(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!snapshot) return 0;

  // The widgets read fresh an hour after generation, stale after four, and odd before it; the
  // input's length picks one so that the corpus covers all three.
  static constexpr double offsets[] = {3600, 4 * 3600 + 1, -60};
  host::RenderRequest request;
  request.entry.date = generationTime(*snapshot) + offsets[size % 3];
  request.entry.snapshot = snapshot;
  for (const WidgetInfo& info : widgetCatalog()) {
    for (const WidgetFamily family : info.families) {
      request.kind = info.faceKind;
      request.family = family;
      const host::LaidOutWidget widget = host::layoutWidget(request);
      if (widget.list.ops.empty()) fail("an empty display list", widget);
      paintBoth(widget);
    }
  }
  return 0;
}
