#include "host/time_options.h"

#include <string_view>

namespace korvel::host {

namespace {

// The environment with only the time-zone variable, or without it, so each half of a warning
// can be kept or dropped on its own.
EnvLookup zoneOnly(const EnvLookup& env, bool wantZone) {
  return [&env, wantZone](const char* key) -> const char* {
    return (std::string_view(key) == "TZ") == wantZone ? env(key) : nullptr;
  };
}

void appendWarning(std::string& warning, const std::string& more) {
  if (more.empty()) return;
  if (!warning.empty()) warning += ' ';
  warning += more;
}

}  // namespace

Result<TimeSettings> resolveTimeOptions(const TimeOptions& options, const EnvLookup& env,
                                        std::string& warning) {
  TimeSettings settings = timeSettingsFromEnvironment(env).settings;
  if (options.locale.empty()) {
    appendWarning(warning, timeSettingsFromEnvironment(zoneOnly(env, false)).warning);
  } else {
    const auto id = icuLocaleId(options.locale);
    if (!id) return Error{ErrorKind::usage, "", "unknown locale \"" + options.locale + "\""};
    settings.locale = *id;
  }
  if (options.timeZone.empty()) {
    appendWarning(warning, timeSettingsFromEnvironment(zoneOnly(env, true)).warning);
  } else {
    const auto zone = knownTimeZone(options.timeZone);
    if (!zone) return Error{ErrorKind::usage, "", "unknown time zone \"" + options.timeZone + "\""};
    settings.timeZone = *zone;
  }
  return settings;
}

}  // namespace korvel::host
