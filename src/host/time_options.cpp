#include "host/time_options.h"

#include <string_view>

namespace korvel::host {

namespace {

void appendWarning(std::string& warning, const std::string& more) {
  if (more.empty()) return;
  if (!warning.empty()) warning += ' ';
  warning += more;
}

}  // namespace

Result<TimeSettings> resolveTimeOptions(const TimeOptions& options, const EnvLookup& env,
                                        std::string& warning) {
  // What the environment says, and of its warnings only those of what the options leave to it.
  const ResolvedTimeSettings fromEnv = timeSettingsFromEnvironment(env);
  TimeSettings settings = fromEnv.settings;
  if (options.locale.empty()) {
    appendWarning(warning, fromEnv.localeWarning);
  } else {
    const auto id = icuLocaleId(options.locale);
    if (!id) return Error{ErrorKind::usage, "", "unknown locale \"" + options.locale + "\""};
    settings.locale = *id;
  }
  if (options.timeZone.empty()) {
    appendWarning(warning, fromEnv.zoneWarning);
  } else {
    const auto zone = knownTimeZone(options.timeZone);
    if (!zone) return Error{ErrorKind::usage, "", "unknown time zone \"" + options.timeZone + "\""};
    settings.timeZone = *zone;
  }
  return settings;
}

}  // namespace korvel::host
