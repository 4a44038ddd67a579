#include "host/layer/layer_host.h"

#include <linux/input-event-codes.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "host/deep_link.h"
#include "host/layer/fractional-scale-v1-client.h"
#include "host/layer/layer_shell_protocol-client.h"
#include "host/layer/viewporter-client.h"
#include "host/layer/shm_buffer.h"
#include "host/layer/surface_life.h"
#include "host/player/snapshot_watcher.h"
#include "host/player/live_timeline.h"
#include "host/player/wall_timer.h"
#include "host/render/render_widget.h"
#include "host/widget_container.h"

namespace korvel::host {

namespace {

struct Host;

struct Output {
  Host* host = nullptr;
  uint32_t name = 0;  // the registry's
  wl_output* proxy = nullptr;
  int scale = 1, pendingScale = 1;
  int width = 0, height = 0;  // the current mode, in pixels
};

// One placed widget and its surface; the surface goes when its output does and is made again
// when an output comes.
struct Widget {
  Host* host = nullptr;
  int index = 0;
  Placement placement;
  PlacementPosition position;
  ui::Size size;
  LaidOutWidget laidOut;
  wl_surface* surface = nullptr;
  zwlr_layer_surface_v1* layer = nullptr;
  // Where the compositor offers fractional scales: its preferred scale in 120ths (0: none
  // told yet), and the viewport that maps the buffer's pixels onto the surface's points.
  wp_fractional_scale_v1* fractional = nullptr;
  wp_viewport* viewport = nullptr;
  uint32_t preferred120 = 0;
  bool configured = false;
  SurfaceLife life;
  bool dirty = false;
  double drawnScale = 0;
  std::vector<wl_output*> entered;
};

struct Host {
  explicit Host(const DesktopRequest& r) : request(r), timeline(r.host.snapshotFile, r.host.time) {}

  const DesktopRequest& request;
  LiveTimeline timeline;
  Appearance appearance = Appearance::light;

  wl_display* display = nullptr;
  wl_registry* registry = nullptr;
  wl_compositor* compositor = nullptr;
  uint32_t compositorVersion = 0;
  wl_shm* shm = nullptr;
  zwlr_layer_shell_v1* shell = nullptr;
  uint32_t shellVersion = 0;
  wp_viewporter* viewporter = nullptr;
  wp_fractional_scale_manager_v1* fractionalScales = nullptr;
  wl_seat* seat = nullptr;
  wl_pointer* pointer = nullptr;
  std::vector<std::unique_ptr<Output>> outputs;
  bool outputsChanged = false;
  std::vector<std::unique_ptr<Widget>> widgets;
  ClickTracker clicks;
  std::optional<Error> drawError;
};

Output* findOutput(Host& h, wl_output* proxy) {
  for (auto& o : h.outputs) {
    if (o->proxy == proxy) return o.get();
  }
  return nullptr;
}

// The density a widget is drawn at: the compositor's preferred fractional scale where it tells
// one; else the highest integer scale of the outputs it shows on, or before it shows anywhere,
// of all outputs.
double scaleOf(Host& h, const Widget& w) {
  if (w.fractional && w.preferred120 > 0) {
    return std::clamp(w.preferred120 / 120.0, kMinScale, kMaxScale);
  }
  int scale = 0;
  for (wl_output* proxy : w.entered) {
    if (const Output* o = findOutput(h, proxy)) scale = std::max(scale, o->scale);
  }
  if (scale == 0) {
    for (const auto& o : h.outputs) scale = std::max(scale, o->scale);
  }
  return std::clamp(scale, 1, static_cast<int>(kMaxScale));
}

void markRescaled(Host& h) {
  for (auto& w : h.widgets) {
    if (w->drawnScale != 0 && w->drawnScale != scaleOf(h, *w)) w->dirty = true;
  }
}

// --- wl_output ---------------------------------------------------------------------------------

void outputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
                    const char*, int32_t) {}

void outputMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
  auto* o = static_cast<Output*>(data);
  if (flags & WL_OUTPUT_MODE_CURRENT) {
    o->width = width;
    o->height = height;
  }
}

// An output's new state is complete. Whatever changed (enabled again, a new mode), widgets whose
// surfaces were closed try again: compositors differ in whether they also remove the global.
void outputDone(void* data, wl_output*) {
  auto* o = static_cast<Output*>(data);
  o->host->outputsChanged = true;
  if (o->scale == o->pendingScale) return;
  o->scale = o->pendingScale;
  markRescaled(*o->host);
}

void outputScale(void* data, wl_output*, int32_t factor) {
  static_cast<Output*>(data)->pendingScale = std::max(1, factor);
}

const wl_output_listener kOutputListener = {
    .geometry = outputGeometry, .mode = outputMode, .done = outputDone, .scale = outputScale};

// --- wl_surface and the layer surface ------------------------------------------------------------

void surfaceEnter(void* data, wl_surface*, wl_output* output) {
  auto* w = static_cast<Widget*>(data);
  w->entered.push_back(output);
  markRescaled(*w->host);
}

void surfaceLeave(void* data, wl_surface*, wl_output* output) {
  auto* w = static_cast<Widget*>(data);
  std::erase(w->entered, output);
  markRescaled(*w->host);
}

const wl_surface_listener kSurfaceListener = {.enter = surfaceEnter, .leave = surfaceLeave};

void layerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t,
                    uint32_t) {
  auto* w = static_cast<Widget*>(data);
  zwlr_layer_surface_v1_ack_configure(layer, serial);
  // The size is ours (set_size); a configure asks for a frame, the first one for the first.
  if (!w->configured) w->dirty = true;
  w->configured = true;
}

void layerClosed(void* data, zwlr_layer_surface_v1*) { static_cast<Widget*>(data)->life.close(); }

const zwlr_layer_surface_v1_listener kLayerListener = {.configure = layerConfigure,
                                                       .closed = layerClosed};

void preferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale) {
  auto* w = static_cast<Widget*>(data);
  if (w->preferred120 == scale) return;
  w->preferred120 = scale;
  markRescaled(*w->host);
}

const wp_fractional_scale_v1_listener kFractionalListener = {.preferred_scale = preferredScale};

uint32_t layerValue(DesktopLayer layer) {
  switch (layer) {
    case DesktopLayer::background: return ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND;
    case DesktopLayer::top: return ZWLR_LAYER_SHELL_V1_LAYER_TOP;
    case DesktopLayer::bottom: break;
  }
  return ZWLR_LAYER_SHELL_V1_LAYER_BOTTOM;
}

// A surface on the compositor's choice of output, pinned by the widget's anchor and margins,
// taking no keyboard and pushing nothing aside; it shows once the compositor has configured it.
void createSurface(Host& h, Widget& w) {
  w.surface = wl_compositor_create_surface(h.compositor);
  wl_surface_add_listener(w.surface, &kSurfaceListener, &w);
  // The viewport wherever the compositor has one (integer scales go through it too, so that
  // one road serves both); fractional scales where it also tells them.
  if (h.viewporter) w.viewport = wp_viewporter_get_viewport(h.viewporter, w.surface);
  if (h.viewporter && h.fractionalScales) {
    w.fractional = wp_fractional_scale_manager_v1_get_fractional_scale(h.fractionalScales,
                                                                       w.surface);
    wp_fractional_scale_v1_add_listener(w.fractional, &kFractionalListener, &w);
  }
  w.layer = zwlr_layer_shell_v1_get_layer_surface(h.shell, w.surface, nullptr,
                                                  layerValue(h.request.layer), "korvel-widgets");
  zwlr_layer_surface_v1_add_listener(w.layer, &kLayerListener, &w);
  const EdgeMargins edges = edgeMargins(w.position);
  zwlr_layer_surface_v1_set_size(w.layer, static_cast<uint32_t>(std::ceil(w.size.width)),
                                 static_cast<uint32_t>(std::ceil(w.size.height)));
  zwlr_layer_surface_v1_set_anchor(w.layer, edges.edges);
  zwlr_layer_surface_v1_set_margin(w.layer, edges.margins[0], edges.margins[1], edges.margins[2],
                                   edges.margins[3]);
  zwlr_layer_surface_v1_set_exclusive_zone(w.layer, 0);
  zwlr_layer_surface_v1_set_keyboard_interactivity(
      w.layer, ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
  wl_surface_commit(w.surface);
  w.configured = false;
  w.drawnScale = 0;
}

void destroySurface(Widget& w) {
  if (w.fractional) wp_fractional_scale_v1_destroy(w.fractional);
  if (w.viewport) wp_viewport_destroy(w.viewport);
  w.fractional = nullptr;
  w.viewport = nullptr;
  w.preferred120 = 0;
  if (w.layer) zwlr_layer_surface_v1_destroy(w.layer);
  if (w.surface) wl_surface_destroy(w.surface);
  w.layer = nullptr;
  w.surface = nullptr;
  w.configured = false;
  w.entered.clear();
}

// Paints the widget's display list into a new buffer at its output's scale and shows it. The
// buffer is let go of as soon as it is committed: the compositor keeps its own mapping of the
// pixels for as long as it shows them, and we never draw into it again, so no second buffer
// waits here for the next frame (a widget redraws only when its picture changes, and a new
// buffer is a memfd of well under a megabyte at 1x).
// A new buffer with the widget painted into it at `scale` pixels per point.
Result<std::unique_ptr<ShmBuffer>> paintedBuffer(const Host& h, const Widget& w, double scale) {
  const int width = static_cast<int>(std::lround(std::ceil(w.size.width) * scale));
  const int height = static_cast<int>(std::lround(std::ceil(w.size.height) * scale));
  auto made = ShmBuffer::create(h.shm, width, height);
  if (const auto* buffer = std::get_if<std::unique_ptr<ShmBuffer>>(&made)) {
    Status painted = paintLaidOut((*buffer)->surface(), w.laidOut, h.appearance, scale);
    if (auto* error = std::get_if<Error>(&painted)) return std::move(*error);
  }
  return made;
}

void draw(Host& h, Widget& w) {
  w.dirty = false;
  if (!w.surface || !w.configured) return;
  const double scale = scaleOf(h, w);
  auto painted = paintedBuffer(h, w, scale);
  if (const auto* error = std::get_if<Error>(&painted)) {
    // Said once, not at every frame that fails the same way.
    if (!h.drawError || *h.drawError != *error) {
      std::cerr << "desktop: cannot draw a widget: " << error->describe() << '\n';
    }
    h.drawError = *error;
    return;
  }
  const std::unique_ptr<ShmBuffer> buffer = std::move(std::get<std::unique_ptr<ShmBuffer>>(painted));
  cairo_surface_flush(buffer->surface());
  if (w.viewport) {
    // The buffer in pixels, the surface in points: the viewport maps one onto the other.
    wp_viewport_set_destination(w.viewport, static_cast<int>(std::ceil(w.size.width)),
                                static_cast<int>(std::ceil(w.size.height)));
  } else {
    wl_surface_set_buffer_scale(w.surface, static_cast<int>(scale));
  }
  wl_surface_attach(w.surface, buffer->buffer(), 0, 0);
  if (h.compositorVersion >= 4) {
    wl_surface_damage_buffer(w.surface, 0, 0, INT32_MAX, INT32_MAX);
  } else {
    wl_surface_damage(w.surface, 0, 0, INT32_MAX, INT32_MAX);
  }
  wl_surface_commit(w.surface);
  w.drawnScale = scale;
}

// --- the pointer: a click opens the widget's deep link ------------------------------------------

Widget* widgetOf(Host& h, wl_surface* surface) {
  for (auto& w : h.widgets) {
    if (surface && w->surface == surface) return w.get();
  }
  return nullptr;
}

void pointerEnter(void* data, wl_pointer*, uint32_t, wl_surface* surface, wl_fixed_t,
                  wl_fixed_t) {
  auto& h = *static_cast<Host*>(data);
  if (Widget* w = widgetOf(h, surface)) {
    h.clicks.enter(w->index);
  } else {
    h.clicks.leave();
  }
}

void pointerLeave(void* data, wl_pointer*, uint32_t, wl_surface*) {
  static_cast<Host*>(data)->clicks.leave();
}

void pointerMotion(void*, wl_pointer*, uint32_t, wl_fixed_t, wl_fixed_t) {}

void pointerButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
  auto& h = *static_cast<Host*>(data);
  if (button != BTN_LEFT) return;
  if (state == WL_POINTER_BUTTON_STATE_PRESSED) {
    h.clicks.press();
  } else if (const auto index = h.clicks.release()) {
    openDeepLink(h.widgets[static_cast<std::size_t>(*index)]->laidOut.widget.url, std::cerr,
                 "desktop");
  }
}

void pointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}

const wl_pointer_listener kPointerListener = {.enter = pointerEnter,
                                              .leave = pointerLeave,
                                              .motion = pointerMotion,
                                              .button = pointerButton,
                                              .axis = pointerAxis};

void seatCapabilities(void* data, wl_seat* seat, uint32_t capabilities) {
  auto& h = *static_cast<Host*>(data);
  const bool hasPointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
  if (hasPointer && !h.pointer) {
    h.pointer = wl_seat_get_pointer(seat);
    wl_pointer_add_listener(h.pointer, &kPointerListener, &h);
  } else if (!hasPointer && h.pointer) {
    wl_pointer_destroy(h.pointer);
    h.pointer = nullptr;
    h.clicks.leave();
  }
}

const wl_seat_listener kSeatListener = {.capabilities = seatCapabilities};

// --- the registry --------------------------------------------------------------------------------

void registryGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                    uint32_t version) {
  auto& h = *static_cast<Host*>(data);
  const std::string_view is(interface);
  auto bind = [&](const wl_interface* type, uint32_t mine) {
    return wl_registry_bind(registry, name, type, std::min(version, mine));
  };
  if (is == wl_compositor_interface.name && !h.compositor) {
    h.compositorVersion = std::min(version, 4u);
    h.compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
  } else if (is == wl_shm_interface.name && !h.shm) {
    h.shm = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
  } else if (is == zwlr_layer_shell_v1_interface.name && !h.shell) {
    h.shellVersion = std::min(version, 3u);
    h.shell = static_cast<zwlr_layer_shell_v1*>(bind(&zwlr_layer_shell_v1_interface, 3));
  } else if (is == wp_viewporter_interface.name && !h.viewporter) {
    h.viewporter = static_cast<wp_viewporter*>(bind(&wp_viewporter_interface, 1));
  } else if (is == wp_fractional_scale_manager_v1_interface.name && !h.fractionalScales) {
    h.fractionalScales = static_cast<wp_fractional_scale_manager_v1*>(
        bind(&wp_fractional_scale_manager_v1_interface, 1));
  } else if (is == wl_seat_interface.name && !h.seat) {
    h.seat = static_cast<wl_seat*>(bind(&wl_seat_interface, 1));
    wl_seat_add_listener(h.seat, &kSeatListener, &h);
  } else if (is == wl_output_interface.name) {
    auto output = std::make_unique<Output>();
    output->host = &h;
    output->name = name;
    output->proxy = static_cast<wl_output*>(bind(&wl_output_interface, 2));
    wl_output_add_listener(output->proxy, &kOutputListener, output.get());
    h.outputs.push_back(std::move(output));
    h.outputsChanged = true;
  }
}

void registryGlobalRemove(void* data, wl_registry*, uint32_t name) {
  auto& h = *static_cast<Host*>(data);
  const auto gone = std::find_if(h.outputs.begin(), h.outputs.end(),
                                 [name](const auto& o) { return o->name == name; });
  if (gone == h.outputs.end()) return;
  for (auto& w : h.widgets) std::erase(w->entered, (*gone)->proxy);
  wl_output_destroy((*gone)->proxy);
  h.outputs.erase(gone);
  h.outputsChanged = true;
  markRescaled(h);
}

const wl_registry_listener kRegistryListener = {.global = registryGlobal,
                                                .global_remove = registryGlobalRemove};

// --- timelines -----------------------------------------------------------------------------------

// The player's rules: a new timeline when due, the entry whose date has come, and the timer set
// for the next moment anything is due.
void tick(Host& h, WallTimer& timer) {
  if (const WeekEntry* entry = h.timeline.advance(systemClock())) {
    for (auto& w : h.widgets) {
      w->laidOut = h.timeline.layout(w->placement, *entry);
      w->dirty = true;
    }
  }
  timer.arm(h.timeline.nextDeadline(systemClock()));
}

// Widgets without a position go side by side from the top-left corner, in rows as wide as the
// first output (in points) where it is known.
void placeWidgets(Host& h) {
  std::vector<ui::Size> unplaced;
  for (const Placement& p : h.request.host.placements) {
    if (!p.position) unplaced.push_back(familySize(p.family));
  }
  double width = 0;
  if (!h.outputs.empty() && h.outputs.front()->width > 0) {
    width = static_cast<double>(h.outputs.front()->width) / h.outputs.front()->scale;
  }
  const std::vector<PlacementPosition> flow = flowPositions(unplaced, width, kDesktopGap);
  std::size_t next = 0;
  for (const Placement& p : h.request.host.placements) {
    auto w = std::make_unique<Widget>();
    w->host = &h;
    w->index = static_cast<int>(h.widgets.size());
    w->placement = p;
    w->position = p.position ? *p.position : flow[next++];
    w->size = familySize(p.family);
    h.widgets.push_back(std::move(w));
  }
}

void disconnect(Host& h) {
  for (auto& w : h.widgets) destroySurface(*w);
  if (h.pointer) wl_pointer_destroy(h.pointer);
  if (h.seat) wl_seat_destroy(h.seat);
  for (auto& o : h.outputs) wl_output_destroy(o->proxy);
  h.outputs.clear();
  if (h.shell) {
    if (h.shellVersion >= 3) {
      zwlr_layer_shell_v1_destroy(h.shell);
    } else {
      wl_proxy_destroy(reinterpret_cast<wl_proxy*>(h.shell));
    }
  }
  if (h.fractionalScales) wp_fractional_scale_manager_v1_destroy(h.fractionalScales);
  if (h.viewporter) wp_viewporter_destroy(h.viewporter);
  if (h.shm) wl_shm_destroy(h.shm);
  if (h.compositor) wl_compositor_destroy(h.compositor);
  if (h.registry) wl_registry_destroy(h.registry);
  wl_display_flush(h.display);
  wl_display_disconnect(h.display);
}

std::string lostCompositor(Host& h) {
  const int error = wl_display_get_error(h.display);
  return std::string("desktop: the compositor went away (") +
         (error ? std::strerror(error) : "connection closed") + "); the widgets are gone";
}

// Blocks SIGINT and SIGTERM (before any thread starts, so that every thread inherits the mask)
// and reads them from a descriptor instead.
int stopSignalFd() {
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  if (pthread_sigmask(SIG_BLOCK, &stop, nullptr) != 0) return -1;
  return signalfd(-1, &stop, SFD_NONBLOCK | SFD_CLOEXEC);
}

int run(Host& h) {
  const int signals = stopSignalFd();
  if (signals < 0) {
    std::cerr << "desktop: cannot take the stop signals over: " << std::strerror(errno) << '\n';
    return 1;
  }
  std::unique_ptr<SnapshotWatcher> watcher;
  if (h.request.watch) {
    watcher = watchSnapshot(h.request.host.snapshotFile, std::cerr, "desktop");
  }
  const std::unique_ptr<AppearanceSource> appearance =
      makeAppearanceSource(h.request.host.appearance);
  h.appearance = appearance->current();
  WallTimer timer;

  placeWidgets(h);
  for (auto& w : h.widgets) createSurface(h, *w);
  h.outputsChanged = false;
  tick(h, timer);
  std::cerr << "desktop: " << h.widgets.size() << (h.widgets.size() == 1 ? " widget" : " widgets")
            << " on layer surfaces in " << name(h.appearance)
            << (h.request.host.appearance == AppearanceMode::automatic ? " (following the desktop)"
                                                                       : "")
            << "; snapshot " << h.request.host.snapshotFile.string() << (watcher ? ", watched" : "")
            << '\n' << std::flush;

  enum { kDisplay, kSignals, kTimer, kWatcher, kAppearance, kCount };
  pollfd fds[kCount] = {};
  fds[kDisplay] = {wl_display_get_fd(h.display), POLLIN, 0};
  fds[kSignals] = {signals, POLLIN, 0};
  fds[kTimer] = {timer.fd(), POLLIN, 0};
  fds[kWatcher] = {watcher ? watcher->fd() : -1, POLLIN, 0};
  fds[kAppearance] = {appearance->changeFd(), POLLIN, 0};

  int exitCode = 0;
  for (;;) {
    while (waitpid(-1, nullptr, WNOHANG) > 0) {  // link handlers that have finished
    }
    if (wl_display_prepare_read(h.display) != 0) {
      if (wl_display_dispatch_pending(h.display) < 0) break;
      continue;
    }
    // What the events asked for: surfaces back when outputs come or go, frames to paint.
    const bool outputsChanged = std::exchange(h.outputsChanged, false);
    int closed = 0;
    for (auto& w : h.widgets) {
      const SurfaceStep step = w->life.step(outputsChanged, !h.outputs.empty());
      if (step.destroy) destroySurface(*w), ++closed;
      if (step.create) createSurface(h, *w);
      if (w->dirty) draw(h, *w);
    }
    if (closed) {
      std::cerr << "desktop: the compositor took " << closed << " widget surface(s) away (an "
                << "output went); they come back with an output\n" << std::flush;
    }
    fds[kDisplay].events = POLLIN;
    if (wl_display_flush(h.display) < 0) {
      if (errno != EAGAIN) {
        wl_display_cancel_read(h.display);
        break;
      }
      fds[kDisplay].events |= POLLOUT;
    }
    if (poll(fds, kCount, -1) < 0) {
      wl_display_cancel_read(h.display);
      if (errno == EINTR) continue;
      std::cerr << "desktop: poll: " << std::strerror(errno) << '\n';
      exitCode = 1;
      break;
    }
    if (fds[kDisplay].revents & POLLIN) {
      if (wl_display_read_events(h.display) < 0) break;
    } else {
      wl_display_cancel_read(h.display);
      if (fds[kDisplay].revents & (POLLERR | POLLHUP)) break;
    }
    if (wl_display_dispatch_pending(h.display) < 0) break;

    if (fds[kSignals].revents & POLLIN) {
      signalfd_siginfo info;
      while (read(signals, &info, sizeof info) == sizeof info) {
      }
      close(signals);
      disconnect(h);
      return exitCode;
    }
    bool due = false;
    if (fds[kTimer].revents & POLLIN) {
      timer.consume();  // reached, or the clock was set: compare anew either way
      due = true;
    }
    if (watcher && (fds[kWatcher].revents & POLLIN)) {
      if (watcher->readEvents()) h.timeline.snapshotChanged(systemClock());
      due = true;
    }
    if (due) tick(h, timer);
    if (fds[kAppearance].revents & POLLIN) {
      appearance->acknowledge();
      if (const Appearance now = appearance->current(); now != h.appearance) {
        h.appearance = now;
        for (auto& w : h.widgets) w->dirty = true;
      }
    }
  }
  // Only a lost connection leaves the loop this way.
  std::cerr << lostCompositor(h) << '\n';
  close(signals);
  disconnect(h);  // the proxies go too: nothing may touch them once the display is gone
  return 1;
}

}  // namespace

std::variant<int, std::string> runLayerHost(const DesktopRequest& request) {
  Host h(request);
  h.display = wl_display_connect(nullptr);
  if (!h.display) {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (!name || !*name) return std::string("no Wayland display (WAYLAND_DISPLAY is not set)");
    return "cannot connect to the Wayland display " + std::string(name) + ": " +
           std::strerror(errno);
  }
  h.registry = wl_display_get_registry(h.display);
  wl_registry_add_listener(h.registry, &kRegistryListener, &h);
  // The globals, then what they say of themselves (outputs' modes and scales).
  if (wl_display_roundtrip(h.display) < 0 || wl_display_roundtrip(h.display) < 0) {
    wl_display_disconnect(h.display);
    return std::string("the Wayland display closed the connection at once");
  }
  if (!h.shell || !h.compositor || !h.shm) {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    disconnect(h);
    return "the compositor on " + std::string(name ? name : "wayland-0") +
           " offers no layer-shell (zwlr_layer_shell_v1); GNOME's does not";
  }
  return run(h);
}

}  // namespace korvel::host
