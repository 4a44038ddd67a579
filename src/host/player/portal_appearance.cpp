#include "host/player/portal_appearance.h"

#include <gio/gio.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace korvel::host {

namespace {

constexpr const char* kPortalName = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kSettings = "org.freedesktop.portal.Settings";
constexpr const char* kNamespace = "org.freedesktop.appearance";
constexpr const char* kKey = "color-scheme";

// One call of the portal's Settings interface; the reply's only child, or null with `error`.
GVariant* callSettings(GDBusConnection* bus, const char* method, int timeoutMs, GError** error) {
  GVariant* reply = g_dbus_connection_call_sync(
      bus, kPortalName, kPortalPath, kSettings, method, g_variant_new("(ss)", kNamespace, kKey),
      G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE, timeoutMs, nullptr, error);
  if (!reply) return nullptr;
  GVariant* value = g_variant_get_child_value(reply, 0);
  g_variant_unref(reply);
  return value;
}

}  // namespace

std::string sessionBusAddress() {
  if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address) {
    return address;
  }
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime == '/') {
    const std::string socket = std::string(runtime) + "/bus";
    struct stat st {};
    if (::stat(socket.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) {
      gchar* escaped = g_dbus_address_escape_value(socket.c_str());
      std::string address = std::string("unix:path=") + escaped;
      g_free(escaped);
      return address;
    }
  }
  return {};
}

Appearance appearanceFromColorScheme(std::uint32_t value) {
  return value == 1 ? Appearance::dark : Appearance::light;
}

std::optional<std::uint32_t> colorSchemeFromVariant(GVariant* value) {
  if (!value) return std::nullopt;
  g_variant_ref(value);
  for (int depth = 0; depth < 4 && g_variant_is_of_type(value, G_VARIANT_TYPE_VARIANT); ++depth) {
    GVariant* inner = g_variant_get_variant(value);
    g_variant_unref(value);
    value = inner;
  }
  std::optional<std::uint32_t> result;
  if (g_variant_is_of_type(value, G_VARIANT_TYPE_UINT32)) result = g_variant_get_uint32(value);
  g_variant_unref(value);
  return result;
}

PortalAppearance::PortalAppearance(const std::string& busAddress, int timeoutMs) {
  eventFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (busAddress.empty()) {
    problem_ = "no session bus";
    return;
  }
  GError* error = nullptr;
  bus_ = g_dbus_connection_new_for_address_sync(
      busAddress.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, &error);
  if (!bus_) {
    problem_ = std::string("cannot reach the session bus: ") + error->message;
    g_error_free(error);
    return;
  }
  g_dbus_connection_set_exit_on_close(bus_, FALSE);

  // Subscribe before reading, so a change between the two is not lost. The callbacks run in
  // our own context, on our own thread, never in whatever loop the program may run.
  context_ = g_main_context_new();
  g_main_context_push_thread_default(context_);
  subscription_ = g_dbus_connection_signal_subscribe(
      bus_, kPortalName, kSettings, "SettingChanged", kPortalPath, kNamespace,
      G_DBUS_SIGNAL_FLAGS_NONE, &PortalAppearance::onSettingChanged, this, nullptr);
  g_main_context_pop_thread_default(context_);

  GVariant* value = callSettings(bus_, "ReadOne", timeoutMs, &error);
  if (!value && g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_METHOD)) {
    g_clear_error(&error);  // portals before version 2 only have Read
    value = callSettings(bus_, "Read", timeoutMs, &error);
  }
  if (value) {
    if (const auto scheme = colorSchemeFromVariant(value)) {
      current_ = appearanceFromColorScheme(*scheme);
    }
    g_variant_unref(value);
    connected_ = true;
  } else {
    problem_ = std::string("no colour scheme from the settings portal: ") + error->message;
    g_error_free(error);
  }

  loop_ = g_main_loop_new(context_, FALSE);
  thread_ = std::thread([this] {
    g_main_context_push_thread_default(context_);
    g_main_loop_run(loop_);
    g_main_context_pop_thread_default(context_);
  });
}

PortalAppearance::~PortalAppearance() {
  if (thread_.joinable()) {
    // Quit from inside the loop: a quit that came before the loop started would be lost.
    GSource* quit = g_idle_source_new();
    g_source_set_callback(
        quit,
        [](gpointer loop) {
          g_main_loop_quit(static_cast<GMainLoop*>(loop));
          return G_SOURCE_REMOVE;
        },
        loop_, nullptr);
    g_source_attach(quit, context_);
    g_source_unref(quit);
    thread_.join();
  }
  if (bus_) {
    if (subscription_) g_dbus_connection_signal_unsubscribe(bus_, subscription_);
    g_object_unref(bus_);
  }
  if (context_) {
    // Let the unsubscription's last callbacks run where they were scheduled.
    while (g_main_context_iteration(context_, FALSE)) {
    }
  }
  if (loop_) g_main_loop_unref(loop_);
  if (context_) g_main_context_unref(context_);
  if (eventFd_ >= 0) ::close(eventFd_);
}

void PortalAppearance::acknowledge() {
  std::uint64_t count = 0;
  while (eventFd_ >= 0 && ::read(eventFd_, &count, sizeof count) > 0) {
  }
}

void PortalAppearance::set(Appearance appearance) {
  if (current_.exchange(appearance) == appearance) return;
  const std::uint64_t one = 1;
  if (eventFd_ < 0) return;
  while (::write(eventFd_, &one, sizeof one) < 0 && errno == EINTR) {
  }
}

void PortalAppearance::onSettingChanged(GDBusConnection*, const char*, const char*, const char*,
                                        const char*, GVariant* parameters, void* self) {
  if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ssv)"))) return;
  const char* ns = nullptr;
  const char* key = nullptr;
  GVariant* value = nullptr;
  g_variant_get(parameters, "(&s&sv)", &ns, &key, &value);
  if (std::string_view(ns) == kNamespace && std::string_view(key) == kKey) {
    if (const auto scheme = colorSchemeFromVariant(value)) {
      static_cast<PortalAppearance*>(self)->set(appearanceFromColorScheme(*scheme));
    }
  }
  g_variant_unref(value);
}

}  // namespace korvel::host
