// Drawing and PNG encoding of a medium widget: our libpng encoder against Cairo's own writer on
// the same surface, plus the whole request (layout, draw, encode).
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <string>

#include "host/render/cairo_painter.h"
#include "host/render/png_encoder.h"
#include "host/render/render_widget.h"
#include "kit/palette.h"
#include "snapshot/loading.h"
#include "host/render/product_fonts.h"

namespace korvel::host {
namespace {

ui::FillShape fillOp(ui::Rect rect, ui::Paint paint, ui::ShapeKind shape) {
  return {.rect = rect, .paint = std::move(paint), .shape = {.kind = shape}};
}

// A medium face's worth of shapes: container, header mark, two meters with ticks, seven day
// columns, status dots, a dashed and a solid rule.
ui::DisplayList mediumShapes() {
  ui::DisplayList list;
  ui::FillShape container = fillOp({0, 0, 364, 170}, paper, ui::ShapeKind::roundedRect);
  container.shape.radii = {22, 22, 22, 22};
  list.ops.push_back(container);
  list.ops.push_back(ui::PushClip{.rect = container.rect, .shape = container.shape});
  for (int m = 0; m < 4; ++m) {
    const double y = 44 + m * 22;
    list.ops.push_back(fillOp({16, y, 160, 6}, hairline, ui::ShapeKind::capsule));
    list.ops.push_back(fillOp({16, y, 40.0 + 30 * m, 6}, m == 3 ? red : green, ui::ShapeKind::capsule));
    list.ops.push_back(fillOp({100, y - 2, 1.5, 10}, inkFaint, ui::ShapeKind::rect));
  }
  for (int d = 0; d < 7; ++d) {
    const double h = 20 + 9 * d % 60;
    ui::FillShape bar = fillOp({200 + d * 21.0, 140 - h, 14, h}, lime, ui::ShapeKind::roundedRect);
    bar.shape.radii = {3, 3, 0, 0};
    list.ops.push_back(bar);
    list.ops.push_back(fillOp({200 + d * 21.0, 141, 14, 3}, hairline, ui::ShapeKind::rect));
  }
  for (int i = 0; i < 6; ++i) {
    list.ops.push_back(fillOp({200, 30 + i * 14.0, 7, 7}, i % 2 ? orange : lime, ui::ShapeKind::circle));
  }
  ui::StrokeShape dashed{.rect = {16, 140, 160, 1}, .paint = hairline, .shape = {.kind = ui::ShapeKind::path}};
  dashed.shape.points = {{16, 140.5}, {176, 140.5}};
  dashed.shape.closed = false;
  dashed.stroke.dash = {3, 2};
  list.ops.push_back(dashed);
  list.ops.push_back(fillOp({16, 150, 332, 1}, hairline, ui::ShapeKind::rect));
  list.ops.push_back(ui::PopClip{});
  return list;
}

struct Canvas {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 728, 340);
  ~Canvas() { cairo_surface_destroy(surface); }
  void draw(const ui::DisplayList& list) {
    cairo_t* cr = cairo_create(surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_scale(cr, 2, 2);
    paintDisplayList(cr, list, Appearance::light);
    cairo_destroy(cr);
  }
};

void BM_DrawMediumShapes(benchmark::State& state) {
  const ui::DisplayList list = mediumShapes();
  Canvas canvas;
  for (auto _ : state) {
    canvas.draw(list);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(canvas.surface));
  }
}
BENCHMARK(BM_DrawMediumShapes)->Unit(benchmark::kMicrosecond);

// The sample's limits widget, medium, as every host draws it: laid out once, painted at 2x.
LaidOutWidget sampleMedium() {
  RenderRequest request;
  request.kind = WeekFaceKind::limits;
  request.family = WidgetFamily::systemMedium;
  request.entry.snapshot = loadSnapshotAt(std::string(KORVEL_SOURCE_DIR) + "/examples/week.json");
  request.entry.date =
      request.entry.snapshot ? static_cast<double>(request.entry.snapshot->generatedMs) / 1000 + 3600 : 0;
  return layoutWidget(request);
}

void BM_DrawMediumWidget(benchmark::State& state) {
  const LaidOutWidget widget = sampleMedium();
  Canvas canvas;
  for (auto _ : state) {
    canvas.draw(widget.list);
    benchmark::DoNotOptimize(cairo_image_surface_get_data(canvas.surface));
  }
}
BENCHMARK(BM_DrawMediumWidget)->Unit(benchmark::kMicrosecond);

// libpng on the drawn widget: zlib level, row filters (PNG_FILTER_* bits), zlib strategy.
void BM_EncodeLibpng(benchmark::State& state) {
  Canvas canvas;
  canvas.draw(sampleMedium().list);
  const PngOptions options{.compressionLevel = static_cast<int>(state.range(0)),
                           .filters = static_cast<int>(state.range(1)),
                           .strategy = static_cast<int>(state.range(2))};
  std::size_t bytes = 0;
  for (auto _ : state) {
    const auto png = encodePng(canvas.surface, options);
    bytes = png->size();
    benchmark::DoNotOptimize(png);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_EncodeLibpng)
    ->ArgNames({"level", "filters", "strategy"})
    ->Args({1, 0x08, 0})  // what the program writes: zlib level 1, no row filter
    ->Args({1, 0x10, 3})  // sub filter with run-length coding: faster to think, larger here
    ->Args({6, 0x08, 0})
    ->Args({6, 0xf8, 0})  // every filter at level 6, as Cairo's writer does
    ->Unit(benchmark::kMillisecond);

cairo_status_t count(void* closure, const unsigned char* /*data*/, unsigned int length) {
  *static_cast<std::size_t*>(closure) += length;
  return CAIRO_STATUS_SUCCESS;
}

void BM_EncodeCairoWriter(benchmark::State& state) {
  Canvas canvas;
  canvas.draw(sampleMedium().list);
  std::size_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    cairo_surface_write_to_png_stream(canvas.surface, count, &bytes);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_EncodeCairoWriter)->Unit(benchmark::kMillisecond);

// The budget: the whole road of one medium widget at 2x (layout, draw, encode), ours against
// the obvious one that ends in Cairo's own PNG writer.
void BM_MediumPipeline(benchmark::State& state) {
  RenderRequest request;
  request.kind = WeekFaceKind::limits;
  request.family = WidgetFamily::systemMedium;
  request.entry.snapshot = loadSnapshotAt(std::string(KORVEL_SOURCE_DIR) + "/examples/week.json");
  const bool cairoWriter = state.range(0) == 1;
  const bool warm = state.range(1) == 1;
  std::size_t bytes = 0;
  for (auto _ : state) {
    if (!warm) productTextMeasurer().clearCache();
    if (cairoWriter) {
      const LaidOutWidget widget = layoutWidget(request);
      Canvas canvas;
      canvas.draw(widget.list);
      bytes = 0;
      cairo_surface_write_to_png_stream(canvas.surface, count, &bytes);
    } else {
      const RenderResult r = renderWidget(request);
      bytes = std::get<std::string>(r).size();
      benchmark::DoNotOptimize(r);
    }
  }
  state.SetLabel(std::string(cairoWriter ? "layout+draw+cairo writer" : "layout+draw+libpng") +
                 (warm ? ", texts measured before" : ", texts new"));
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_MediumPipeline)
    ->ArgNames({"cairo", "warm"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

// The whole request for a medium widget over the sample week, per format.
void BM_RenderMediumWidget(benchmark::State& state) {
  RenderRequest request;
  request.kind = WeekFaceKind::limits;
  request.family = WidgetFamily::systemMedium;
  request.entry.date = 1700000000;
  request.entry.snapshot = loadSnapshotAt(std::string(KORVEL_SOURCE_DIR) + "/examples/week.json");
  request.format = static_cast<RenderFormat>(state.range(0));
  std::size_t bytes = 0;
  for (auto _ : state) {
    const RenderResult r = renderWidget(request);
    bytes = std::get<std::string>(r).size();
    benchmark::DoNotOptimize(r);
  }
  state.SetLabel(std::string(name(request.format)));
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_RenderMediumWidget)
    ->Arg(static_cast<int>(RenderFormat::png))
    ->Arg(static_cast<int>(RenderFormat::svg))
    ->Arg(static_cast<int>(RenderFormat::pdf))
    ->Arg(static_cast<int>(RenderFormat::json))
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korvel::host
