#pragma once
// The one road from a widget request to bytes: place the widget, lay it out into a display
// list, hand the list to a backend. The render command, the gallery and the player all use it.
#include <cairo.h>

#include <optional>
#include <string>
#include <string_view>

#include <boost/describe/enum.hpp>

#include "base/error.h"
#include "faces/face_kind.h"
#include "faces/time_format.h"
#include "host/widget_container.h"
#include "kit/palette.h"
#include "ui/display_list.h"
#include "ui/text_measurer.h"
#include "widgets/catalog.h"
#include "widgets/week_entry.h"

namespace korvel::host {

enum class RenderFormat { png, svg, pdf, json };
BOOST_DESCRIBE_ENUM(RenderFormat, png, svg, pdf, json)

std::optional<RenderFormat> renderFormatFromName(std::string_view name);
std::string_view name(RenderFormat format);

// Pixel density bounds: below half a pixel per point nothing is legible, above 8 a large
// widget is already a 90 MB bitmap.
inline constexpr double kMinScale = 0.5;
inline constexpr double kMaxScale = 8;

struct RenderRequest {
  WeekFaceKind kind = WeekFaceKind::week;
  WidgetFamily family = WidgetFamily::systemLarge;
  WeekEntry entry;
  Appearance appearance = Appearance::light;
  double scale = 2;  // device pixels per point (PNG); recorded in the JSON dump
  RenderFormat format = RenderFormat::png;
  TimeFormat timeFormat;
  // Measures the texts; none means the process's Pango measurer (tests pass a fake one).
  const ui::TextMeasurer* measurer = nullptr;
};

struct LaidOutWidget {
  PlacedWidget widget;
  ui::DisplayList list;
};

LaidOutWidget layoutWidget(const RenderRequest& request);

// The bytes of the drawing, or an undrawable (or invalid: the scale) error without a place.
using RenderResult = Result<std::string>;

// Draws an already laid-out widget in the request's appearance, scale and format.
RenderResult renderLaidOut(const LaidOutWidget& widget, const RenderRequest& request);

// Draws an already laid-out widget onto `surface` (any Cairo surface, already sized: the layer
// host's shared-memory buffers) at `scale` pixels per point.
Status paintLaidOut(cairo_surface_t* surface, const LaidOutWidget& widget, Appearance appearance,
                    double scale);

// layoutWidget then renderLaidOut.
RenderResult renderWidget(const RenderRequest& request);

}  // namespace korvel::host
