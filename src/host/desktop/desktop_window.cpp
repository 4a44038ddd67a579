#include "host/desktop/desktop_window.h"

#include <glib-unix.h>
#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/x11/gdkx.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/player/portal_appearance.h"
#include "host/player/snapshot_watcher.h"
#include "host/player/live_timeline.h"
#include "host/player/wall_timer.h"
#include "host/render/cairo_painter.h"
#include "host/render/render_widget.h"
#include "host/image_names.h"

namespace korvel::host {

namespace {

struct Desktop;

// One placed widget: its drawing area and the display list of the entry it shows.
struct Tile {
  Desktop* desktop = nullptr;
  Placement placement;
  GtkWidget* area = nullptr;
  LaidOutWidget laidOut;
};

struct Desktop {
  explicit Desktop(const DesktopRequest& r) : request(r), timeline(r.host.snapshotFile, r.host.time) {}

  const DesktopRequest& request;
  LiveTimeline timeline;
  std::unique_ptr<SnapshotWatcher> watcher;
  WallTimer timer;
  std::unique_ptr<AppearanceSource> appearance;
  Appearance current = Appearance::light;
  std::vector<std::unique_ptr<Tile>> tiles;
  GtkWidget* window = nullptr;
  GtkWidget* frame = nullptr;  // the window's content: the background, with the row inside
  GtkWidget* row = nullptr;
  bool done = false;
  int exitCode = 0;
  int framesSeen = 0;
  std::optional<std::pair<int, int>> leftAt;  // where it was left last time (X11)
  gulong xeventHandler = 0;
};

void drawTile(GtkDrawingArea*, cairo_t* cr, int, int, gpointer data) {
  const auto* tile = static_cast<Tile*>(data);
  paintDisplayList(cr, tile->laidOut.list, tile->desktop->current);
}

// Lays every widget out for `entry` and gives each its spoken label.
void showEntry(Desktop& d, const WeekEntry& entry) {
  for (auto& tile : d.tiles) {
    tile->laidOut = d.timeline.layout(tile->placement, entry);
    gtk_accessible_update_property(GTK_ACCESSIBLE(tile->area), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                   tile->laidOut.widget.label.c_str(), -1);
    gtk_widget_set_tooltip_text(tile->area, nullptr);
    gtk_widget_queue_draw(tile->area);
  }
}

// The player's rules: a new timeline when due, the entry whose date has come, and the timer
// set for the next moment anything is due.
void tick(Desktop& d) {
  if (const WeekEntry* entry = d.timeline.advance(systemClock())) showEntry(d, *entry);
  d.timer.arm(d.timeline.nextDeadline(systemClock()));
}

void applyAppearance(Desktop& d) {
  d.current = d.appearance->current();
  // The window around the widgets follows too: our background, and the theme's dark variant
  // for whatever the theme draws (focus rings, the title bar where GTK draws one).
  g_object_set(gtk_settings_get_default(), "gtk-application-prefer-dark-theme",
               d.current == Appearance::dark, nullptr);
  const bool dark = d.current == Appearance::dark;
  gtk_widget_remove_css_class(d.frame, dark ? "light" : "dark");
  gtk_widget_add_css_class(d.frame, dark ? "dark" : "light");
  for (auto& tile : d.tiles) gtk_widget_queue_draw(tile->area);
}

void openLink(const std::string& url) {
  GAppInfo* handler = g_app_info_get_default_for_uri_scheme("korvel");
  if (!handler) {
    std::cerr << "desktop: no application opens korvel: links here; " << url << " not opened\n";
    return;
  }
  g_object_unref(handler);
  GError* error = nullptr;
  GdkAppLaunchContext* context = gdk_display_get_app_launch_context(gdk_display_get_default());
  if (!g_app_info_launch_default_for_uri(url.c_str(), G_APP_LAUNCH_CONTEXT(context), &error)) {
    std::cerr << "desktop: cannot open " << url << ": " << error->message << '\n';
    g_error_free(error);
  }
  g_object_unref(context);
}

void onReleased(GtkGestureClick*, int, double, double, gpointer data) {
  openLink(static_cast<Tile*>(data)->laidOut.widget.url);
}

gboolean onKey(GtkEventControllerKey*, guint key, guint, GdkModifierType, gpointer data) {
  if (key != GDK_KEY_Return && key != GDK_KEY_KP_Enter && key != GDK_KEY_space) return FALSE;
  openLink(static_cast<Tile*>(data)->laidOut.widget.url);
  return TRUE;
}

gboolean onTimer(gint, GIOCondition, gpointer data) {
  auto& d = *static_cast<Desktop*>(data);
  d.timer.consume();  // reached, or the clock was set: compare anew either way
  tick(d);
  return G_SOURCE_CONTINUE;
}

gboolean onSnapshotEvent(gint, GIOCondition, gpointer data) {
  auto& d = *static_cast<Desktop*>(data);
  if (d.watcher->readEvents()) d.timeline.snapshotChanged(systemClock());
  tick(d);
  return G_SOURCE_CONTINUE;
}

gboolean onAppearance(gint, GIOCondition, gpointer data) {
  auto& d = *static_cast<Desktop*>(data);
  d.appearance->acknowledge();
  applyAppearance(d);
  return G_SOURCE_CONTINUE;
}

gboolean onStopSignal(gpointer data) {
  static_cast<Desktop*>(data)->done = true;
  g_main_context_wakeup(nullptr);
  return G_SOURCE_CONTINUE;
}

gboolean onCloseRequest(GtkWindow*, gpointer data) {
  static_cast<Desktop*>(data)->done = true;
  return FALSE;
}

// Saves what the window's content shows (background, margins and widgets) as GTK rendered
// it, and says what each widget is and where.
void saveScreenshot(Desktop& d) {
  const int width = gtk_widget_get_width(d.frame);
  const int height = gtk_widget_get_height(d.frame);
  GdkPaintable* paintable = gtk_widget_paintable_new(d.frame);
  GtkSnapshot* snapshot = gtk_snapshot_new();
  gdk_paintable_snapshot(paintable, GDK_SNAPSHOT(snapshot), width, height);
  GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
  bool saved = false;
  if (node) {
    GskRenderer* renderer = gtk_native_get_renderer(gtk_widget_get_native(d.frame));
    const graphene_rect_t viewport = GRAPHENE_RECT_INIT(0, 0, static_cast<float>(width),
                                                        static_cast<float>(height));
    GdkTexture* texture = gsk_renderer_render_texture(renderer, node, &viewport);
    saved = gdk_texture_save_to_png(texture, d.request.screenshot.c_str());
    g_object_unref(texture);
    gsk_render_node_unref(node);
  }
  g_object_unref(paintable);
  if (!saved) {
    std::cerr << "desktop: cannot save " << d.request.screenshot << '\n';
    d.exitCode = 1;
    return;
  }
  for (const auto& tile : d.tiles) {
    graphene_point_t at;
    const graphene_point_t origin = GRAPHENE_POINT_INIT(0, 0);
    if (!gtk_widget_compute_point(tile->area, d.frame, &origin, &at)) at = origin;
    const PlacedWidget& w = tile->laidOut.widget;
    std::cout << widgetImageName(rawValue(tile->placement.face()), familyName(tile->placement.family),
                                  name(d.current))
              << '\t' << at.x << ',' << at.y << '\t' << gtk_widget_get_width(tile->area) << 'x'
              << gtk_widget_get_height(tile->area) << '\t' << w.label << '\t' << w.url << '\n';
  }
  std::cout << "desktop: " << d.request.screenshot << ' ' << width << 'x' << height << '\n';
}

// Ticks until the first frame with the widgets has been painted, then takes the screenshot.
gboolean onFrame(GtkWidget*, GdkFrameClock*, gpointer data) {
  auto& d = *static_cast<Desktop*>(data);
  if (++d.framesSeen < 3) return G_SOURCE_CONTINUE;
  saveScreenshot(d);
  d.done = true;
  return G_SOURCE_REMOVE;
}

#ifdef GDK_WINDOWING_X11
// On X11 the window says what it is in properties the window manager reads when it maps the
// window: an ordinary window's type, kept below other windows, on every workspace, out of the
// taskbar and the pager. Not the desktop type: window managers stack every desktop-type window
// in one layer at the very bottom, with the file managers' full-screen desktop windows (XFCE,
// MATE, Cinnamon, KDE on X11), which come above ours the first time the desktop is clicked;
// kept below, ours stays above those and below every other window, and the user can still move
// it. GDK writes _NET_WM_STATE and deletes _NET_WM_DESKTOP just before its map request, so
// ours go right after that request, inside a server grab: no window manager reads the window
// before they are there (runDesktopWindow).
void setDesktopProperties(Display* x, Window window) {
  const auto atom = [x](const char* name) { return XInternAtom(x, name, False); };
  const Atom type = atom("_NET_WM_WINDOW_TYPE_NORMAL");
  XChangeProperty(x, window, atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&type), 1);
  const Atom states[] = {atom("_NET_WM_STATE_BELOW"), atom("_NET_WM_STATE_STICKY"),
                         atom("_NET_WM_STATE_SKIP_TASKBAR"), atom("_NET_WM_STATE_SKIP_PAGER")};
  XChangeProperty(x, window, atom("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(states), std::size(states));
  const long everyWorkspace = 0xFFFFFFFF;
  XChangeProperty(x, window, atom("_NET_WM_DESKTOP"), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&everyWorkspace), 1);
}

// Where the window was left: $XDG_STATE_HOME/korvel-widgets/window.ini (~/.local/state when
// XDG_STATE_HOME is unset or relative). X11 lets a window place itself; Wayland does not.
std::filesystem::path positionFile() {
  std::filesystem::path base;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/') {
    base = state;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::filesystem::path(home) / ".local" / "state";
  } else {
    return {};
  }
  return base / "korvel-widgets" / "window.ini";
}

void savePosition(GdkSurface* surface) {
  const std::filesystem::path file = positionFile();
  if (file.empty() || !GDK_IS_X11_SURFACE(surface)) return;
  Display* x = gdk_x11_display_get_xdisplay(gdk_surface_get_display(surface));
  int left = 0, top = 0;
  Window child = 0;
  if (!XTranslateCoordinates(x, gdk_x11_surface_get_xid(surface), DefaultRootWindow(x), 0, 0,
                             &left, &top, &child)) {
    return;
  }
  std::error_code ec;
  std::filesystem::create_directories(file.parent_path(), ec);
  GKeyFile* keys = g_key_file_new();
  g_key_file_set_integer(keys, "window", "x", left);
  g_key_file_set_integer(keys, "window", "y", top);
  if (!g_key_file_save_to_file(keys, file.c_str(), nullptr)) {
    std::cerr << "desktop: cannot remember the window's place in " << file.string() << '\n';
  }
  g_key_file_free(keys);
}

// Moves the window where it was left, before it is mapped.
std::optional<std::pair<int, int>> restorePosition(Display* x, Window window) {
  std::optional<std::pair<int, int>> remembered;
  GKeyFile* keys = g_key_file_new();
  GError* error = nullptr;
  if (g_key_file_load_from_file(keys, positionFile().c_str(), G_KEY_FILE_NONE, nullptr)) {
    const int left = g_key_file_get_integer(keys, "window", "x", &error);
    const int top = error ? 0 : g_key_file_get_integer(keys, "window", "y", &error);
    if (!error) {
      XMoveWindow(x, window, left, top);
      remembered.emplace(left, top);
    }
  }
  if (error) g_error_free(error);
  g_key_file_free(keys);
  return remembered;
}

// A position the user chose: window managers place a new window by their own rules unless its
// size hints say the position is the user's. GDK writes the hints anew as it maps and lays the
// window out, without that, so it is added after each of its writes (onXEvent).
void keepUserPosition(Display* x, Window window, std::pair<int, int> at) {
  XSizeHints* hints = XAllocSizeHints();
  long supplied = 0;
  XGetWMNormalHints(x, window, hints, &supplied);
  if (!(hints->flags & USPosition)) {
    hints->flags |= USPosition;
    hints->x = at.first;
    hints->y = at.second;
    XSetWMNormalHints(x, window, hints);
  }
  XFree(hints);
}

gboolean onXEvent(GdkX11Display* display, const XEvent* event, gpointer data) {
  const auto& d = *static_cast<Desktop*>(data);
  if (event->type != PropertyNotify || event->xproperty.atom != XA_WM_NORMAL_HINTS ||
      event->xproperty.state != PropertyNewValue || !d.leftAt) {
    return FALSE;
  }
  GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(d.window));
  if (event->xproperty.window == gdk_x11_surface_get_xid(surface)) {
    keepUserPosition(gdk_x11_display_get_xdisplay(GDK_DISPLAY(display)), event->xproperty.window,
                     *d.leftAt);
  }
  return FALSE;
}

// Runs as GTK maps the window, right after GDK's map request. Window managers that only react to
// requests get BELOW and STICKY asked again as the conventions describe.
void onMapped(GtkWidget* window, gpointer data) {
  GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(window));
  if (!GDK_IS_X11_SURFACE(surface)) return;
  Display* x = gdk_x11_display_get_xdisplay(gdk_surface_get_display(surface));
  const Window xid = gdk_x11_surface_get_xid(surface);
  setDesktopProperties(x, xid);
  if (const auto& at = static_cast<Desktop*>(data)->leftAt) keepUserPosition(x, xid, *at);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = xid;
  event.xclient.message_type = XInternAtom(x, "_NET_WM_STATE", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = 1;  // add
  event.xclient.data.l[1] = static_cast<long>(XInternAtom(x, "_NET_WM_STATE_BELOW", False));
  event.xclient.data.l[2] = static_cast<long>(XInternAtom(x, "_NET_WM_STATE_STICKY", False));
  event.xclient.data.l[3] = 1;  // from an application
  XSendEvent(x, DefaultRootWindow(x), False, SubstructureRedirectMask | SubstructureNotifyMask,
             &event);
  gdk_x11_surface_move_to_desktop(surface, 0xFFFFFFFF);  // every workspace
}
#endif

std::string cssColor(const Rgba& c) {
  char text[32];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(c.r * 255 + 0.5),
                static_cast<int>(c.g * 255 + 0.5), static_cast<int>(c.b * 255 + 0.5));
  return text;
}

// The width of the first monitor in points (0: unknown, one row).
double screenWidth() {
  GListModel* monitors = gdk_display_get_monitors(gdk_display_get_default());
  if (g_list_model_get_n_items(monitors) == 0) return 0;
  auto* monitor = static_cast<GdkMonitor*>(g_list_model_get_item(monitors, 0));
  GdkRectangle area{};
  gdk_monitor_get_geometry(monitor, &area);
  g_object_unref(monitor);
  return area.width;
}

void buildWindow(Desktop& d) {
  // The background is ours in both appearances, whatever the GTK theme (a theme may have no
  // dark variant, and GTK_THEME overrides the variant asked for).
  const std::string rules =
      ".korvel-desktop.light { background-color: " +
      cssColor(desktopBackground(Appearance::light)) + "; }\n" +
      ".korvel-desktop.dark { background-color: " + cssColor(desktopBackground(Appearance::dark)) +
      "; }\n";
  GtkCssProvider* css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css, rules.c_str(), -1);
  gtk_style_context_add_provider_for_display(gdk_display_get_default(), GTK_STYLE_PROVIDER(css),
                                             GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  g_object_unref(css);

  d.window = gtk_window_new();
  gtk_window_set_title(GTK_WINDOW(d.window), "Korvel widgets");
  gtk_window_set_resizable(GTK_WINDOW(d.window), FALSE);
  gtk_window_set_decorated(GTK_WINDOW(d.window), FALSE);
  d.frame = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_widget_add_css_class(d.frame, "korvel-desktop");
  // Side by side, in rows that fit the screen: the places the layer host gives widgets
  // without a position. The gap before the first row and column is in those places.
  d.row = gtk_fixed_new();
  gtk_widget_set_valign(d.row, GTK_ALIGN_START);
  gtk_widget_set_margin_end(d.row, kDesktopGap);
  gtk_widget_set_margin_bottom(d.row, kDesktopGap);
  gtk_box_append(GTK_BOX(d.frame), d.row);
  std::vector<ui::Size> sizes;
  for (const Placement& placement : d.request.host.placements) {
    sizes.push_back(familySize(placement.family));
  }
  const std::vector<PlacementPosition> places = flowPositions(sizes, screenWidth(), kDesktopGap);
  for (const Placement& placement : d.request.host.placements) {
    auto tile = std::make_unique<Tile>();
    tile->desktop = &d;
    tile->placement = placement;
    // One accessible element per widget: a link, named by the widget's spoken label.
    tile->area = GTK_WIDGET(g_object_new(GTK_TYPE_DRAWING_AREA, "accessible-role",
                                         GTK_ACCESSIBLE_ROLE_LINK, nullptr));
    const ui::Size size = familySize(placement.family);
    gtk_drawing_area_set_content_width(GTK_DRAWING_AREA(tile->area), static_cast<int>(size.width));
    gtk_drawing_area_set_content_height(GTK_DRAWING_AREA(tile->area),
                                        static_cast<int>(size.height));
    gtk_widget_set_valign(tile->area, GTK_ALIGN_START);
    gtk_widget_set_focusable(tile->area, TRUE);
    gtk_widget_set_cursor_from_name(tile->area, "pointer");
    gtk_drawing_area_set_draw_func(GTK_DRAWING_AREA(tile->area), drawTile, tile.get(), nullptr);
    GtkGesture* click = gtk_gesture_click_new();
    gtk_gesture_single_set_button(GTK_GESTURE_SINGLE(click), GDK_BUTTON_PRIMARY);
    g_signal_connect(click, "released", G_CALLBACK(onReleased), tile.get());
    gtk_widget_add_controller(tile->area, GTK_EVENT_CONTROLLER(click));
    GtkEventController* keys = gtk_event_controller_key_new();
    g_signal_connect(keys, "key-pressed", G_CALLBACK(onKey), tile.get());
    gtk_widget_add_controller(tile->area, keys);
    const PlacementPosition& at = places[d.tiles.size()];
    gtk_fixed_put(GTK_FIXED(d.row), tile->area, at.x, at.y);
    d.tiles.push_back(std::move(tile));
  }
  gtk_window_set_child(GTK_WINDOW(d.window), d.frame);
  g_signal_connect(d.window, "close-request", G_CALLBACK(onCloseRequest), &d);
#ifdef GDK_WINDOWING_X11
  gtk_widget_realize(d.window);
  if (GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(d.window));
      GDK_IS_X11_SURFACE(surface)) {
    Display* x = gdk_x11_display_get_xdisplay(gdk_surface_get_display(surface));
    d.leftAt = restorePosition(x, gdk_x11_surface_get_xid(surface));
    if (d.leftAt) {
      d.xeventHandler =
          g_signal_connect(gdk_display_get_default(), "xevent", G_CALLBACK(onXEvent), &d);
    }
  }
  g_signal_connect(d.window, "map", G_CALLBACK(onMapped), &d);
#endif
}

}  // namespace

int runDesktopWindow(const DesktopRequest& request) {
  g_set_prgname("korvel-widgets");  // the application id, and WM_CLASS's name on X11
  if (!gtk_init_check()) {
    std::cerr << "desktop: cannot open a display (is DISPLAY or WAYLAND_DISPLAY set?)\n";
    return 1;
  }
#ifdef GDK_WINDOWING_X11
  if (GDK_IS_X11_DISPLAY(gdk_display_get_default())) {
    gdk_x11_display_set_program_class(gdk_display_get_default(), "korvel-widgets");
  }
#endif
  Desktop d(request);
  if (request.watch) {
    d.watcher = watchSnapshot(request.host.snapshotFile, std::cerr, "desktop");
  }
  d.appearance = makeAppearanceSource(request.host.appearance);
  buildWindow(d);
  applyAppearance(d);
  tick(d);

  std::vector<guint> sources;
  if (d.timer.fd() >= 0) sources.push_back(g_unix_fd_add(d.timer.fd(), G_IO_IN, onTimer, &d));
  if (d.watcher) sources.push_back(g_unix_fd_add(d.watcher->fd(), G_IO_IN, onSnapshotEvent, &d));
  if (d.appearance->changeFd() >= 0) {
    sources.push_back(g_unix_fd_add(d.appearance->changeFd(), G_IO_IN, onAppearance, &d));
  }
  sources.push_back(g_unix_signal_add(SIGINT, onStopSignal, &d));
  sources.push_back(g_unix_signal_add(SIGTERM, onStopSignal, &d));
  if (!request.screenshot.empty()) gtk_widget_add_tick_callback(d.frame, onFrame, &d, nullptr);

#ifdef GDK_WINDOWING_X11
  // Every other client, the window manager too, waits from GDK's map request until our
  // properties have replaced GDK's (onMapped, run within gtk_window_present).
  const bool x11 = GDK_IS_X11_DISPLAY(gdk_display_get_default());
  if (x11) gdk_x11_display_grab(gdk_display_get_default());
#endif
  gtk_window_present(GTK_WINDOW(d.window));
#ifdef GDK_WINDOWING_X11
  if (x11) gdk_x11_display_ungrab(gdk_display_get_default());
#endif
  while (!d.done) g_main_context_iteration(nullptr, TRUE);

  for (const guint source : sources) g_source_remove(source);
#ifdef GDK_WINDOWING_X11
  if (request.screenshot.empty() && GTK_IS_WINDOW(d.window)) {
    savePosition(gtk_native_get_surface(GTK_NATIVE(d.window)));
  }
#endif
  if (d.xeventHandler) g_signal_handler_disconnect(gdk_display_get_default(), d.xeventHandler);
  if (GTK_IS_WINDOW(d.window)) gtk_window_destroy(GTK_WINDOW(d.window));
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  return d.exitCode;
}

}  // namespace korvel::host
