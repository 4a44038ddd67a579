#pragma once
// The desktop's colour scheme, read from the freedesktop settings portal on the session bus
// (org.freedesktop.appearance color-scheme: 1 prefers dark, anything else is light) and
// followed through its SettingChanged signal. Without a bus or a portal the answer is light.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

#include "host/player/appearance_source.h"

typedef struct _GDBusConnection GDBusConnection;
typedef struct _GMainContext GMainContext;
typedef struct _GMainLoop GMainLoop;
typedef struct _GVariant GVariant;

namespace korvel::host {

// DBUS_SESSION_BUS_ADDRESS, else $XDG_RUNTIME_DIR/bus where that socket exists, else empty.
// Never starts a bus of its own (no autolaunch): a host without a session simply draws light.
std::string sessionBusAddress();

// 1 ("prefer dark") is dark; 0 ("no preference"), 2 ("prefer light") and unknown values light.
Appearance appearanceFromColorScheme(std::uint32_t value);

// The color-scheme number in a portal reply or signal value, unwrapping nested variants (older
// portals answer Read with a variant inside a variant); nothing for any other shape.
std::optional<std::uint32_t> colorSchemeFromVariant(GVariant* value);

class PortalAppearance final : public AppearanceSource {
 public:
  // Connects to the bus at `busAddress` (empty: no bus) and reads the setting, waiting at most
  // `timeoutMs` for the portal. Signals arrive on a thread of its own; block the signals the
  // program handles itself before constructing one.
  explicit PortalAppearance(const std::string& busAddress, int timeoutMs = 2000);
  ~PortalAppearance() override;
  PortalAppearance(const PortalAppearance&) = delete;
  PortalAppearance& operator=(const PortalAppearance&) = delete;

  Appearance current() override { return current_.load(); }
  int changeFd() const override { return eventFd_; }
  void acknowledge() override;

  // Whether a bus was reached and the portal answered (for messages and tests).
  bool connected() const { return connected_; }
  const std::string& problem() const { return problem_; }

 private:
  static void onSettingChanged(GDBusConnection*, const char*, const char*, const char*,
                               const char*, GVariant* parameters, void* self);
  void set(Appearance appearance);

  std::atomic<Appearance> current_{Appearance::light};
  int eventFd_ = -1;
  bool connected_ = false;
  std::string problem_;
  GDBusConnection* bus_ = nullptr;
  unsigned subscription_ = 0;
  GMainContext* context_ = nullptr;
  GMainLoop* loop_ = nullptr;
  std::thread thread_;
};

}  // namespace korvel::host
