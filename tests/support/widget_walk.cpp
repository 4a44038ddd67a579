#include "support/widget_walk.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>
#include <variant>

#include "host/render/cairo_painter.h"
#include "host/render/product_fonts.h"
#include "host/widget_container.h"
#include "kit/palette.h"
#include "ui/layout.h"
#include "ui/utf8.h"
#include "widgets/catalog.h"

namespace korvel::testing {
namespace {

// A visible text: the capped text, a cut ellipsis on top of the cap's, a line break per line.
constexpr std::size_t kEllipsisBytes = 3;
constexpr double kSlack = 1e-6;

bool finite(double v) { return std::isfinite(v); }
bool finite(const ui::Rect& r) { return finite(r.x) && finite(r.y) && finite(r.width) && finite(r.height); }

struct Checker {
  std::string where;
  ui::Size size;
  std::vector<std::string>& problems;

  void fail(const std::string& what) { problems.push_back(where + ": " + what); }

  void paint(const ui::Paint& p) {
    if (!finite(p.opacity) || p.opacity < 0 || p.opacity > 1) fail("opacity " + std::to_string(p.opacity));
    if (!findPaletteColor(p.color)) fail("colour \"" + p.color + "\" is not in the palette");
  }

  // `clipped`: a clip inside the widget is active, so the op may run past the widget's edge.
  // `slack`: how far the ink may reach past the frame (half a stroke's width).
  void within(const ui::Rect& r, const ui::ShapeGeometry* shape, double slack, bool clipped, const std::string& at) {
    slack += kSlack;
    const double right = clipped ? HUGE_VAL : size.width + slack;
    const double bottom = clipped ? HUGE_VAL : size.height + slack;
    if (r.x < -slack || r.y < -slack || r.x + r.width > right || r.y + r.height > bottom) {
      std::ostringstream s;
      s << at << " lies outside the widget: " << r.x << "," << r.y << " " << r.width << "x" << r.height;
      fail(s.str());
    }
    if (!shape) return;
    for (const ui::Point& p : shape->points) {
      if (!finite(p.x) || !finite(p.y) || p.x < -slack || p.y < -slack || p.x > right || p.y > bottom) {
        fail(at + " has a path point outside the widget");
      }
    }
  }

  void text(const ui::TextContent& t, const std::string& at) {
    if (!finite(t.baseline)) fail(at + " baseline is not finite");
    if (ui::validUtf8(t.shown) != t.shown || ui::validUtf8(t.text) != t.text) fail(at + " text is not UTF-8");
    const auto lines = static_cast<std::size_t>(std::max(t.lines, 1));
    if (t.shown.size() > ui::kMaxTextBytes + 2 * kEllipsisBytes + lines - 1) fail(at + " shows past the text cap");
    for (const ui::TextRunStyle& run : t.runs) {
      if (!finite(run.size) || run.size <= 0) fail(at + " run size");
      paint(run.color);
    }
  }

  void op(const ui::Op& o, bool clipped, std::size_t index) {
    const std::string at = "op " + std::to_string(index);
    const ui::Rect& r = ui::frameOf(o);
    if (!finite(r) || r.width < 0 || r.height < 0) return fail(at + " has a bad frame");
    std::visit(ui::Overloaded{
                   [&](const ui::FillShape& f) {
                     within(r, &f.shape, 0, clipped, at);
                     paint(f.paint);
                   },
                   [&](const ui::StrokeShape& s) {
                     if (!finite(s.stroke.lineWidth) || !finite(s.stroke.dashPhase)) fail(at + " bad stroke");
                     within(r, &s.shape, s.stroke.lineWidth / 2, clipped, at);
                     paint(s.paint);
                   },
                   [&](const ui::DrawText& t) {
                     within(r, nullptr, 0, clipped, at);
                     text(t.text, at);
                   },
                   [&](const ui::DrawSymbol& s) {
                     within(r, nullptr, 0, clipped, at);
                     paint(s.paint);
                   },
                   [&](const ui::PushClip& c) { within(r, &c.shape, 0, clipped, at); },
                   [](const ui::PopClip&) {},
               },
               o);
  }

  void list(const ui::DisplayList& l) {
    const ui::Rect whole{0, 0, size.width, size.height};
    if (l.ops.size() < 3 || ui::frameOf(l.ops[0]) != whole || !std::holds_alternative<ui::PushClip>(l.ops[1]) ||
        ui::frameOf(l.ops[1]) != whole || !std::holds_alternative<ui::PopClip>(l.ops.back())) {
      return fail("the container is not paper and a clip of the widget's size");
    }
    std::vector<bool> clips;  // per active clip: inside the widget
    for (std::size_t i = 0; i < l.ops.size(); ++i) {
      const ui::Op& o = l.ops[i];
      op(o, std::find(clips.begin(), clips.end(), true) != clips.end(), i);
      if (const auto* c = std::get_if<ui::PushClip>(&o)) {
        clips.push_back(c->rect.x >= -kSlack && c->rect.y >= -kSlack &&
                        c->rect.x + c->rect.width <= size.width + kSlack &&
                        c->rect.y + c->rect.height <= size.height + kSlack);
      }
      if (std::holds_alternative<ui::PopClip>(o)) {
        if (clips.empty()) return fail("an unclip without its clip");
        clips.pop_back();
      }
    }
    if (!clips.empty()) fail("a clip is never ended");
  }

  void work(const ui::LayoutStats& s, const WorkBounds& b) {
    if (s.opsEmitted > b.ops || s.measureCalls > b.measureCalls || s.nodeMeasures > b.nodeMeasures ||
        s.textsMeasured > b.textsMeasured) {
      fail("unbounded work: " + std::to_string(s.opsEmitted) + " ops, " + std::to_string(s.measureCalls) +
           " measure calls, " + std::to_string(s.nodeMeasures) + " node measures");
    }
  }

  // At two pixels per point; the paper under everything makes the centre opaque.
  void painted(const ui::DisplayList& l, Appearance appearance) {
    const int width = static_cast<int>(std::ceil(size.width * 2));
    const int height = static_cast<int>(std::ceil(size.height * 2));
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface{
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height), cairo_surface_destroy};
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr{cairo_create(surface.get()), cairo_destroy};
    cairo_scale(cr.get(), 2, 2);
    host::paintDisplayList(cr.get(), l, appearance);
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
      return fail(std::string("Cairo: ") + cairo_status_to_string(cairo_status(cr.get())));
    }
    cairo_surface_flush(surface.get());
    const unsigned char* row = cairo_image_surface_get_data(surface.get()) +
                               (height / 2) * cairo_image_surface_get_stride(surface.get());
    if (reinterpret_cast<const std::uint32_t*>(row)[width / 2] >> 24 != 0xFFu) {
      fail("the centre is not opaque in " + std::string(name(appearance)));
    }
  }
};

}  // namespace

std::vector<std::string> walkEveryPlacement(const std::optional<WeekSnapshot>& snapshot, double now,
                                            const WalkOptions& options,
                                            const std::function<void(const host::LaidOutWidget&)>& visit) {
  std::vector<std::string> problems;
  const WeekEntry entry{now, snapshot};
  const TimeFormat format;
  const ui::TextMeasurer& measurer = options.measurer ? *options.measurer : host::productTextMeasurer();
  for (const WidgetInfo& info : widgetCatalog()) {
    for (const WidgetFamily family : info.families) {
      host::LaidOutWidget w{host::placeWidget(info.faceKind, family, entry, format), {}};
      ui::LayoutStats stats;
      w.list = ui::layout(w.widget.view, w.widget.size, measurer, &stats);
      Checker check{std::string(info.kind) + " " + std::string(familyName(family)), w.widget.size, problems};
      if (w.widget.url != deepLinkURL(info.faceKind)) check.fail("deep link " + w.widget.url);
      check.list(w.list);
      check.work(stats, options.bounds);
      if (options.paint) {
        for (const Appearance a : {Appearance::light, Appearance::dark}) check.painted(w.list, a);
      }
      if (visit) visit(w);
    }
  }
  return problems;
}

}  // namespace korvel::testing
