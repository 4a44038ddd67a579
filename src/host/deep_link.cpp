#include "host/deep_link.h"

#include <gio/gio.h>

namespace korvel::host {

bool openDeepLink(const std::string& url, std::ostream& log, const std::string& who) {
  GAppInfo* handler = g_app_info_get_default_for_uri_scheme("korvel");
  if (!handler) {
    log << who << ": no application opens korvel: links here; " << url << " not opened\n"
        << std::flush;
    return false;
  }
  g_object_unref(handler);
  GError* error = nullptr;
  if (!g_app_info_launch_default_for_uri(url.c_str(), nullptr, &error)) {
    log << who << ": cannot open " << url << ": " << error->message << '\n' << std::flush;
    g_error_free(error);
    return false;
  }
  return true;
}

}  // namespace korvel::host
