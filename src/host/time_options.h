#pragma once
// The locale and time zone a command formats dates in: the environment's, unless the command
// line names others.
#include <string>

#include "base/error.h"
#include "faces/time_format.h"

namespace korvel::host {

struct TimeOptions {
  std::string locale;    // --locale; empty: from the environment
  std::string timeZone;  // --time-zone; empty: from the environment
};

// Settings from `env`, overridden by the options. An option ICU does not know is a usage error
// (the user asked for it by name); an unusable environment value falls back to en_US or UTC,
// and `warning` says so.
Result<TimeSettings> resolveTimeOptions(const TimeOptions& options, const EnvLookup& env,
                                        std::string& warning);

}  // namespace korvel::host
