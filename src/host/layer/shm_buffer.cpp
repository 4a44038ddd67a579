#include "host/layer/shm_buffer.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstring>

namespace korvel::host {

namespace {
Error noBuffer(std::string why) { return {ErrorKind::unavailable, "", std::move(why)}; }
}  // namespace

Result<std::unique_ptr<ShmBuffer>> ShmBuffer::create(wl_shm* shm, int width, int height) {
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
  if (width <= 0 || height <= 0 || stride <= 0) {
    return noBuffer("no buffer of " + std::to_string(width) + "x" + std::to_string(height) + " pixels");
  }
  std::unique_ptr<ShmBuffer> out(new ShmBuffer);
  out->width_ = width;
  out->height_ = height;
  out->bytes_ = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
  const int fd = memfd_create("korvel-widgets", MFD_CLOEXEC | MFD_ALLOW_SEALING);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(out->bytes_)) != 0) {
    Error error = noBuffer(std::string("cannot make shared memory: ") + std::strerror(errno));
    if (fd >= 0) close(fd);
    return error;
  }
  void* pixels = mmap(nullptr, out->bytes_, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (pixels == MAP_FAILED) {
    Error error = noBuffer(std::string("cannot map shared memory: ") + std::strerror(errno));
    close(fd);
    return error;
  }
  out->pixels_ = pixels;
  wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(out->bytes_));
  out->buffer_ = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_ARGB8888);
  wl_shm_pool_destroy(pool);  // the buffer keeps the memory shared
  close(fd);
  out->surface_ = cairo_image_surface_create_for_data(static_cast<unsigned char*>(pixels),
                                                      CAIRO_FORMAT_ARGB32, width, height, stride);
  return out;
}

ShmBuffer::~ShmBuffer() {
  if (surface_) cairo_surface_destroy(surface_);
  if (buffer_) wl_buffer_destroy(buffer_);
  if (pixels_) munmap(pixels_, bytes_);
}

}  // namespace korvel::host
