#include "host/render/render_widget.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <glib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <memory>
#include <unistd.h>

#include "base/enum_names.h"
#include "host/output_file.h"
#include "host/render/cairo_painter.h"
#include "host/render/json_dump.h"
#include "host/render/png_encoder.h"
#include "host/render/product_fonts.h"
#include "ui/layout.h"
#include "ui/utf8.h"

namespace korvel::host {

namespace {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
  try {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
  } catch (...) {
    return CAIRO_STATUS_NO_MEMORY;
  }
}

Error cairoError(const char* what, cairo_status_t status) {
  return {ErrorKind::undrawable, "", std::string(what) + ": " + cairo_status_to_string(status)};
}

// Draws the list on `surface` (already sized) and reports Cairo's verdict.
Status paint(cairo_surface_t* surface, const LaidOutWidget& w, Appearance appearance,
             double scale, int firstRow = 0) {
  Context cr{cairo_create(surface)};
  cairo_translate(cr.get(), 0, -firstRow);
  cairo_scale(cr.get(), scale, scale);
  paintDisplayList(cr.get(), w.list, appearance);
  const cairo_status_t status = cairo_status(cr.get());
  if (status != CAIRO_STATUS_SUCCESS) return cairoError("drawing failed", status);
  return {};
}

// The PDF's creation date is the entry's date, so the same request gives the same bytes.
std::string pdfDate(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0 || seconds > 253402300799.0) seconds = 0;
  const auto t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
  return buf;
}

// A PNG is drawn a band of rows at a time, each band encoded before the next is drawn: a large
// widget at 2x then needs a quarter of a megabyte of pixels instead of two. Bands start on whole
// device pixels, so every pixel comes out as it would on one surface.
constexpr int kBandPixels = 1 << 16;

// How far above and below its frame an operation may leave ink, and where: texts overhang by
// less than their own height, strokes by half their width (their mitres by more), and a path
// goes wherever its points go.
struct InkSpan {
  double top, bottom;
};

InkSpan inkSpan(const ui::Op& op) {
  const ui::Rect& frame = ui::frameOf(op);
  InkSpan span{frame.y, frame.y + frame.height};
  std::visit(
      [&span](const auto& o) {
        if constexpr (requires { o.shape; }) {
          for (const ui::Point& p : o.shape.points) {
            span.top = std::min(span.top, p.y);
            span.bottom = std::max(span.bottom, p.y);
          }
        }
      },
      op);
  double reach = std::max(frame.height, 0.0) + 8;
  if (const auto* stroke = std::get_if<ui::StrokeShape>(&op)) {
    reach += stroke->stroke.lineWidth / 2 * std::max(stroke->stroke.miterLimit, 1.0);
  }
  return {span.top - reach, span.bottom + reach};
}

// The operations that may leave ink between `top` and `bottom` (points): clips always (they
// nest), the others when their ink can reach the band.
ui::DisplayList bandOps(const ui::DisplayList& list, double top, double bottom) {
  ui::DisplayList band;
  for (const ui::Op& op : list.ops) {
    const bool clip = std::holds_alternative<ui::PushClip>(op) || std::holds_alternative<ui::PopClip>(op);
    const InkSpan ink = inkSpan(op);
    if (clip || (ink.top < bottom && ink.bottom > top)) band.ops.push_back(op);
  }
  return band;
}

RenderResult renderPng(const LaidOutWidget& w, const RenderRequest& r) {
  const int width = static_cast<int>(std::ceil(w.widget.size.width * r.scale));
  const int height = static_cast<int>(std::ceil(w.widget.size.height * r.scale));
  const int rows = std::clamp(kBandPixels / std::max(width, 1), 1, std::max(height, 1));
  Surface band{cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, rows)};
  if (const auto s = cairo_surface_status(band.get()); s != CAIRO_STATUS_SUCCESS) {
    return cairoError("cannot create the image", s);
  }
  PngWriter png(width, height, PngOptions{.pixelsPerPoint = r.scale});
  for (int y = 0; y < height; y += rows) {
    {
      Context cr{cairo_create(band.get())};
      cairo_set_operator(cr.get(), CAIRO_OPERATOR_CLEAR);
      cairo_paint(cr.get());
    }
    LaidOutWidget part{w.widget, bandOps(w.list, y / r.scale, (y + rows) / r.scale)};
    auto painted = paint(band.get(), part, r.appearance, r.scale, y);
    if (auto* error = std::get_if<Error>(&painted)) return std::move(*error);
    cairo_surface_flush(band.get());
    png.write(cairo_image_surface_get_data(band.get()), cairo_image_surface_get_stride(band.get()),
              std::min(rows, height - y));
  }
  auto bytes = png.finish();
  if (!bytes) return Error{ErrorKind::undrawable, "", "PNG encoding failed"};
  return std::move(*bytes);
}

// The title as the PDF's metadata can hold it: cairo refuses noncharacters (U+FDD0, U+FFFE
// ...) there, so each stands as U+FFFD.
std::string pdfTitle(const std::string& label) {
  std::string out;
  for (const char* p = label.c_str(); *p; p = g_utf8_next_char(p)) {
    if (ui::isNoncharacter(g_utf8_get_char(p))) out += "\uFFFD";
    else out.append(p, static_cast<std::size_t>(g_utf8_next_char(p) - p));
  }
  return out;
}

RenderResult renderVector(const LaidOutWidget& w, const RenderRequest& r) {
  std::string out;
  const double width = w.widget.size.width, height = w.widget.size.height;
  Surface surface{r.format == RenderFormat::svg
                      ? cairo_svg_surface_create_for_stream(appendBytes, &out, width, height)
                      : cairo_pdf_surface_create_for_stream(appendBytes, &out, width, height)};
  if (const auto s = cairo_surface_status(surface.get()); s != CAIRO_STATUS_SUCCESS) {
    return cairoError("cannot create the document", s);
  }
  if (r.format == RenderFormat::pdf) {
    const std::string date = pdfDate(r.entry.date);
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATE_DATE, date.c_str());
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_MOD_DATE, date.c_str());
    cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE,
                                   pdfTitle(w.widget.label).c_str());
  }
  auto painted = paint(surface.get(), w, r.appearance, 1);
  if (auto* error = std::get_if<Error>(&painted)) return std::move(*error);
  cairo_surface_finish(surface.get());
  if (const auto s = cairo_surface_status(surface.get()); s != CAIRO_STATUS_SUCCESS) {
    return cairoError("cannot write the document", s);
  }
  return out;
}

}  // namespace

std::optional<RenderFormat> renderFormatFromName(std::string_view n) { return enumFromName<RenderFormat>(n); }

std::string_view name(RenderFormat format) { return enumName(format); }

Status paintLaidOut(cairo_surface_t* surface, const LaidOutWidget& widget, Appearance appearance,
                    double scale) {
  return paint(surface, widget, appearance, scale);
}

LaidOutWidget layoutWidget(const RenderRequest& request) {
  LaidOutWidget out;
  out.widget = placeWidget(request.kind, request.family, request.entry, request.timeFormat);
  out.list = ui::layout(out.widget.view, out.widget.size,
                        request.measurer != nullptr ? *request.measurer : productTextMeasurer());
  return out;
}

RenderResult renderLaidOut(const LaidOutWidget& w, const RenderRequest& r) {
  if (!(r.scale >= kMinScale && r.scale <= kMaxScale)) {
    return Error{ErrorKind::invalid, "", "scale must lie between 0.5 and 8"};
  }
  switch (r.format) {
    case RenderFormat::png: return renderPng(w, r);
    case RenderFormat::svg:
    case RenderFormat::pdf: return renderVector(w, r);
    case RenderFormat::json: {
      const WidgetInfo& info = widgetFor(w.widget.kind);
      DumpHeader h{std::string(rawValue(w.widget.kind)),
                   std::string(info.kind),
                   std::string(familyName(w.widget.family)),
                   w.widget.size,
                   w.widget.content,
                   r.scale,
                   r.appearance,
                   w.widget.label,
                   w.widget.url};
      return dumpJson(h, w.list);
    }
  }
  return Error{ErrorKind::invalid, "", "unknown format"};
}

RenderResult renderWidget(const RenderRequest& request) {
  return renderLaidOut(layoutWidget(request), request);
}

}  // namespace korvel::host
