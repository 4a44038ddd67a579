#pragma once
// A picture the compositor reads straight from our memory: a memfd mapped here and shared with
// it as a wl_buffer, with a Cairo image surface over the same pixels (premultiplied ARGB, the
// byte order both call ARGB32/ARGB8888). New pixels are transparent. Destroying it once
// committed is allowed: the compositor's mapping keeps the pixels it shows, as long as nobody
// writes them again.
#include <cairo.h>

#include <memory>
#include <string>

#include "base/error.h"

struct wl_buffer;
struct wl_shm;

namespace korvel::host {

class ShmBuffer {
 public:
  // A width x height pixel buffer, or why there is none.
  static Result<std::unique_ptr<ShmBuffer>> create(wl_shm* shm, int width, int height);
  ~ShmBuffer();
  ShmBuffer(const ShmBuffer&) = delete;
  ShmBuffer& operator=(const ShmBuffer&) = delete;

  wl_buffer* buffer() const { return buffer_; }
  cairo_surface_t* surface() const { return surface_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  ShmBuffer() = default;

  wl_buffer* buffer_ = nullptr;
  cairo_surface_t* surface_ = nullptr;
  void* pixels_ = nullptr;
  std::size_t bytes_ = 0;
  int width_ = 0, height_ = 0;
};

}  // namespace korvel::host
