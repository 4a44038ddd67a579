#pragma once
// PNG encoding of a Cairo image surface with libpng, tuned for speed: no row filter and a low
// zlib level. Cairo's own writer tries every filter at level 6, about three times slower for
// files a quarter smaller, and a widget image is rewritten every few minutes.
#include <cairo.h>

#include <optional>
#include <string>

namespace korvel::host {

struct PngOptions {
  int compressionLevel = 1;  // zlib level 0...9
  int filters = 0x08;        // libpng's PNG_FILTER_* bits (0x08: none)
  int strategy = 0;          // zlib strategy (0: default, 3: run-length)
  double pixelsPerPoint = 2;  // recorded in the file so viewers know the density
};

// Encodes an image a band of rows at a time, so that the whole image never needs to be held.
class PngWriter {
 public:
  PngWriter(int width, int height, const PngOptions& options = {});
  ~PngWriter();
  PngWriter(const PngWriter&) = delete;
  PngWriter& operator=(const PngWriter&) = delete;

  // The next `count` rows of the image: Cairo's ARGB32 (premultiplied), `stride` bytes apart.
  void write(const unsigned char* rows, int stride, int count);
  // The file once every row was written; nothing when a step failed or rows are missing.
  std::optional<std::string> finish();

 private:
  struct State;
  State* state_;
};

// The surface (ARGB32, premultiplied) as an RGBA PNG; nothing when the surface is not such an
// image or encoding failed.
std::optional<std::string> encodePng(cairo_surface_t* surface, const PngOptions& options = {});

}  // namespace korvel::host
