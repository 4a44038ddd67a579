#include "host/render/png_encoder.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace korvel::host {

namespace {

// Cairo keeps premultiplied ARGB in native-endian 32-bit words; PNG wants straight RGBA bytes.
void unpremultiplyRow(const unsigned char* src, unsigned char* dst, int width) {
  for (int x = 0; x < width; ++x) {
    std::uint32_t px;
    std::memcpy(&px, src + 4 * x, 4);
    const std::uint32_t a = px >> 24;
    std::uint32_t r = (px >> 16) & 0xff, g = (px >> 8) & 0xff, b = px & 0xff;
    if (a != 0 && a != 255) {
      r = (r * 255 + a / 2) / a;
      g = (g * 255 + a / 2) / a;
      b = (b * 255 + a / 2) / a;
    }
    unsigned char* o = dst + 4 * x;
    o[0] = static_cast<unsigned char>(std::min<std::uint32_t>(r, 255));
    o[1] = static_cast<unsigned char>(std::min<std::uint32_t>(g, 255));
    o[2] = static_cast<unsigned char>(std::min<std::uint32_t>(b, 255));
    o[3] = static_cast<unsigned char>(a);
  }
}

void appendToString(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  bool failed = false;
  try {
    out->append(reinterpret_cast<const char*>(data), length);
  } catch (const std::bad_alloc&) {
    failed = true;
  }
  if (failed) png_error(png, "out of memory");  // jumps: only outside the handler
}

void flushNothing(png_structp) {}

// libpng reports errors by longjmp: each function that calls it keeps only trivially
// destructible locals, so the jump skips no destructor.
bool writeHeader(png_structp png, png_infop info, int width, int height, const PngOptions& options) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
  const double ppp = std::isfinite(options.pixelsPerPoint) && options.pixelsPerPoint > 0
                         ? options.pixelsPerPoint
                         : 1.0;
  const auto ppm = static_cast<png_uint_32>(std::lround(ppp * 72.0 / 0.0254));
  png_set_pHYs(png, info, ppm, ppm, PNG_RESOLUTION_METER);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, options.filters);
  png_set_compression_strategy(png, options.strategy);
  png_set_compression_level(png, std::clamp(options.compressionLevel, 0, 9));
  png_set_compression_buffer_size(png, 1 << 16);
  png_write_info(png, info);
  return true;
}

bool writeRows(png_structp png, const unsigned char* rows, int stride, int count, int width,
               unsigned char* scratch) {
  if (setjmp(png_jmpbuf(png))) return false;
  for (int y = 0; y < count; ++y) {
    unpremultiplyRow(rows + static_cast<std::ptrdiff_t>(y) * stride, scratch, width);
    png_write_row(png, scratch);
  }
  return true;
}

bool writeEnd(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_write_end(png, info);
  return true;
}

}  // namespace

struct PngWriter::State {
  png_structp png = nullptr;
  png_infop info = nullptr;
  int width = 0, height = 0, written = 0;
  bool ok = false;
  std::vector<unsigned char> row;  // one converted row
  std::string out;
};

PngWriter::PngWriter(int width, int height, const PngOptions& options) : state_(new State) {
  State& s = *state_;
  if (width <= 0 || height <= 0) return;
  s.width = width;
  s.height = height;
  s.row.resize(static_cast<std::size_t>(width) * 4);
  s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (s.png == nullptr) return;
  s.info = png_create_info_struct(s.png);
  if (s.info == nullptr) return;
  png_set_write_fn(s.png, &s.out, appendToString, flushNothing);
  s.ok = writeHeader(s.png, s.info, width, height, options);
}

PngWriter::~PngWriter() {
  if (state_->png != nullptr) png_destroy_write_struct(&state_->png, &state_->info);
  delete state_;
}

void PngWriter::write(const unsigned char* rows, int stride, int count) {
  State& s = *state_;
  count = std::min(count, s.height - s.written);
  if (!s.ok || count <= 0) return;
  s.ok = writeRows(s.png, rows, stride, count, s.width, s.row.data());
  s.written += count;
}

std::optional<std::string> PngWriter::finish() {
  State& s = *state_;
  if (!s.ok || s.written != s.height || !writeEnd(s.png, s.info)) return std::nullopt;
  s.ok = false;  // finished: nothing more to write
  return std::move(s.out);
}

std::optional<std::string> encodePng(cairo_surface_t* surface, const PngOptions& options) {
  if (surface == nullptr || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE ||
      cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32) {
    return std::nullopt;
  }
  cairo_surface_flush(surface);
  const int height = cairo_image_surface_get_height(surface);
  PngWriter writer(cairo_image_surface_get_width(surface), height, options);
  writer.write(cairo_image_surface_get_data(surface), cairo_image_surface_get_stride(surface),
               height);
  return writer.finish();
}

}  // namespace korvel::host
