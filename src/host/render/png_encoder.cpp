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

struct Image {
  const unsigned char* data;
  int width, height, stride;
  unsigned char* row;  // scratch for one converted row
};

// libpng reports errors by longjmp: this function keeps only trivially destructible locals so
// the jump skips no destructor.
bool writeImage(png_structp png, png_infop info, const Image& img, const PngOptions& options) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(img.width),
               static_cast<png_uint_32>(img.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
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
  for (int y = 0; y < img.height; ++y) {
    unpremultiplyRow(img.data + static_cast<std::ptrdiff_t>(y) * img.stride, img.row, img.width);
    png_write_row(png, img.row);
  }
  png_write_end(png, info);
  return true;
}

}  // namespace

std::optional<std::string> encodePng(cairo_surface_t* surface, const PngOptions& options) {
  if (surface == nullptr || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
      cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE ||
      cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32) {
    return std::nullopt;
  }
  cairo_surface_flush(surface);
  const int width = cairo_image_surface_get_width(surface);
  const int height = cairo_image_surface_get_height(surface);
  if (width <= 0 || height <= 0) return std::nullopt;
  std::vector<unsigned char> row(static_cast<std::size_t>(width) * 4);
  std::string out;
  out.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) / 2);

  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return std::nullopt;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return std::nullopt;
  }
  png_set_write_fn(png, &out, appendToString, flushNothing);
  const Image img{cairo_image_surface_get_data(surface), width, height,
                  cairo_image_surface_get_stride(surface), row.data()};
  const bool ok = writeImage(png, info, img, options);
  png_destroy_write_struct(&png, &info);
  if (!ok) return std::nullopt;
  return out;
}

}  // namespace korvel::host
